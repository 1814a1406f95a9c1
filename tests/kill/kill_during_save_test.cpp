// The real program, killed with SIGKILL at random moments of its saves: the
// "Сохранить" save of the 10 MB "CmdConfig" and the shut-down saves of
// "OldCmd" and "Cfg". Every file must afterwards be byte for byte the image
// it had before the save or the one the save writes, never a mix or a short
// file; and the next start removes a temporary the kill left and runs.
//
// The program is started offscreen with VELMORA_SAVE_SIGNALS=1 (see
// ui/save_signals.h): SIGUSR1 presses "Сохранить", SIGTERM closes the window.
// VELMORA_KILL_ROUNDS (default 100) and VELMORA_KILL_SEED (default: from the
// clock, printed) change the run.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "macros/cmd_list_store.h"
#include "storage/file_store.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char* const kFiles[] = {"CmdConfig", "OldCmd", "Cfg"};

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Written beside and renamed over, so that the program never sees half.
void PutFile(const fs::path& path, BytesView bytes) {
  const fs::path beside = path.string() + ".put";
  {
    std::ofstream out(beside, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  fs::rename(beside, path);
}

Bytes CmdConfigImage(const std::string& listPrefix) {
  CmdListStore store;
  store.Rebuild();
  for (int n = 1; n <= kListCount; ++n) {
    store.SetListName(n, listPrefix + std::to_string(n));
    for (int m = 1; m <= kMacroCount; m += 7) {
      store.SetCmdData(n, m, listPrefix + " command " + std::to_string(m));
    }
  }
  const auto image = store.Image();
  return Bytes(reinterpret_cast<const char*>(image.data()), image.size());
}

struct Images {
  Bytes cmdConfig, oldCmd, cfg;
  const Bytes& Of(int i) const { return i == 0 ? cmdConfig : i == 1 ? oldCmd : cfg; }
};

// One run of the program in a directory, talking through its stdout.
class Program {
 public:
  explicit Program(const fs::path& directory) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, STDERR_FILENO);
      if (::chdir(directory.c_str()) != 0) ::_exit(126);
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::setenv("VELMORA_SAVE_SIGNALS", "1", 1);
      // Under the sanitizers a memory error still aborts the program (and
      // fails the rounds); leaks at exit are the window tests' business.
      const char* asan = std::getenv("ASAN_OPTIONS");
      const std::string options = std::string(asan ? asan : "") + ":detect_leaks=0";
      ::setenv("ASAN_OPTIONS", options.c_str(), 1);
      ::execl(VELMORA_BINARY, VELMORA_BINARY, static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(out[1]);
    out_ = out[0];
  }
  ~Program() {
    if (pid_ > 0 && !reaped_) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
    if (out_ >= 0) ::close(out_);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Waits for a line the program prints; false on its end or the time limit.
  bool WaitForLine(const std::string& wanted, std::chrono::seconds limit) {
    return WaitForLineUntil(wanted, Clock::now() + limit);
  }
  bool WaitForLineUntil(const std::string& wanted, Clock::time_point deadline) {
    for (;;) {
      for (std::size_t end; (end = buffer_.find('\n')) != std::string::npos;) {
        const std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        if (line == wanted) return true;
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return false;
      pollfd waiting{out_, POLLIN, 0};
      if (::poll(&waiting, 1, static_cast<int>(left.count())) <= 0) continue;
      char chunk[256];
      const ssize_t got = ::read(out_, chunk, sizeof chunk);
      if (got <= 0) return false;
      buffer_.append(chunk, static_cast<std::size_t>(got));
    }
  }
  void Signal(int number) { ::kill(pid_, number); }
  // The wait status, or -1 after the time limit.
  int Wait(std::chrono::seconds limit = std::chrono::seconds(60)) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
      int status = 0;
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        reaped_ = true;
        return status;
      }
      ::usleep(2000);
    }
    return -1;
  }
  bool Started() const { return pid_ > 0 && out_ >= 0; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  bool reaped_ = false;
  std::string buffer_;
};

class KillDuringSave : public ::testing::Test {
 protected:
  void SetUp() override {
    // In memory where the system has it: a kill of the process (not of the
    // machine) is what is tested, and a hundred rounds of 10 MB stay fast.
    const fs::path base =
        fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "velmora-kill-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  void PutImages(const Images& images) {
    for (int i = 0; i < 3; ++i) PutFile(dir_ / kFiles[i], images.Of(i));
  }
  Images ReadImages() const {
    return {ReadFile(dir_ / kFiles[0]), ReadFile(dir_ / kFiles[1]), ReadFile(dir_ / kFiles[2])};
  }
  std::vector<std::string> Temporaries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      if (entry.path().extension() == ".tmp") names.push_back(entry.path().filename().string());
    }
    return names;
  }

  fs::path dir_;
};

TEST_F(KillDuringSave, EveryFileIsTheOldOrTheNewImageAndTheNextStartCleansUp) {
  const int rounds =
      std::getenv("VELMORA_KILL_ROUNDS") ? std::atoi(std::getenv("VELMORA_KILL_ROUNDS")) : 100;
  const unsigned seed =
      std::getenv("VELMORA_KILL_SEED")
          ? static_cast<unsigned>(std::strtoul(std::getenv("VELMORA_KILL_SEED"), nullptr, 10))
          : static_cast<unsigned>(Clock::now().time_since_epoch().count());
  std::printf("kill test: %d rounds, VELMORA_KILL_SEED=%u\n", rounds, seed);
  std::mt19937 random(seed);

  // What the program loads: a "CmdConfig" made here, and the "OldCmd" and
  // "Cfg" it creates itself on its first start.
  PutFile(dir_ / "CmdConfig", CmdConfigImage("Loaded "));
  {
    Program first(dir_);
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(first.WaitForLine("ready", std::chrono::seconds(60)));
    first.Signal(SIGTERM);
    ASSERT_EQ(first.Wait(), 0);
  }
  const Images loaded = ReadImages();
  ASSERT_EQ(loaded.cmdConfig.size(), kCmdConfigSize);
  ASSERT_EQ(loaded.oldCmd.size(), 12'800u);
  ASSERT_EQ(loaded.cfg.size(), 792u);

  // What is on the disk when the saves start: other, sound images, put
  // there after the program has read its files.
  Images before = loaded;
  before.cmdConfig = CmdConfigImage("On disk ");
  before.oldCmd[0] = 3;
  before.oldCmd.replace(1, 3, "old");
  before.cfg[10] ^= 0x5A;  // padding, carried as it is

  // What the saves write, from one run that is not killed; and how long
  // they take, to spread the kills over.
  PutImages(loaded);
  Clock::duration saving{};
  {
    Program reference(dir_);
    ASSERT_TRUE(reference.WaitForLine("ready", std::chrono::seconds(60)));
    PutImages(before);
    const auto start = Clock::now();
    reference.Signal(SIGUSR1);
    ASSERT_TRUE(reference.WaitForLine("saved", std::chrono::seconds(60)));
    reference.Signal(SIGTERM);
    ASSERT_EQ(reference.Wait(), 0);
    saving = Clock::now() - start;
  }
  const Images saved = ReadImages();
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(saved.Of(i), before.Of(i)) << kFiles[i] << ": the saves must change every file";
  }
  const auto spread = std::chrono::duration_cast<std::chrono::microseconds>(saving) * 13 / 10;
  std::printf("kill test: the saves took %lld ms\n",
              static_cast<long long>(
                  std::chrono::duration_cast<std::chrono::milliseconds>(saving).count()));

  int asOld[3] = {0, 0, 0};
  int asNew[3] = {0, 0, 0};
  int temporariesLeft = 0;
  int cleanedUp = 0;
  for (int round = 0; round < rounds; ++round) {
    // The temporary the last kill left stays: this start must remove it.
    PutImages(loaded);
    const bool stale = !Temporaries().empty();
    {
      Program program(dir_);
      ASSERT_TRUE(program.WaitForLine("ready", std::chrono::seconds(60))) << "round " << round;
      EXPECT_TRUE(Temporaries().empty()) << "a stale temporary survived the start, round " << round;
      cleanedUp += stale;
      PutImages(before);
      // As a user would: "Сохранить", then closing the window once the save
      // is done; the kill falls anywhere in the two.
      const auto killAt =
          Clock::now() + std::chrono::microseconds(
                             std::uniform_int_distribution<long long>(0, spread.count())(random));
      program.Signal(SIGUSR1);
      if (program.WaitForLineUntil("saved", killAt)) program.Signal(SIGTERM);
      std::this_thread::sleep_until(killAt);
      program.Signal(SIGKILL);
      program.Wait();
    }
    const Images after = ReadImages();
    for (int i = 0; i < 3; ++i) {
      const bool old = after.Of(i) == before.Of(i);
      const bool fresh = after.Of(i) == saved.Of(i);
      asOld[i] += old;
      asNew[i] += fresh;
      ASSERT_TRUE(old || fresh) << kFiles[i] << " is neither image after round " << round << " ("
                                << after.Of(i).size() << " bytes)";
    }

    temporariesLeft += !Temporaries().empty();
  }

  // The start after the last kill, and then a whole run: it shuts down
  // normally and writes sound files.
  {
    Program next(dir_);
    ASSERT_TRUE(next.WaitForLine("ready", std::chrono::seconds(60)));
    EXPECT_TRUE(Temporaries().empty()) << "a stale temporary survived the last start";
    next.Signal(SIGTERM);
    ASSERT_EQ(next.Wait(), 0);
  }
  const Images last = ReadImages();
  EXPECT_EQ(last.cmdConfig.size(), kCmdConfigSize);
  EXPECT_EQ(last.oldCmd.size(), 12'800u);
  EXPECT_EQ(last.cfg.size(), 792u);
  std::printf(
      "kill test: CmdConfig old %d new %d, OldCmd old %d new %d, Cfg old %d new %d; "
      "%d kills left a temporary, %d starts removed one\n",
      asOld[0], asNew[0], asOld[1], asNew[1], asOld[2], asNew[2], temporariesLeft, cleanedUp);
}

}  // namespace
}  // namespace velmora
