#include "logfile/log_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/cp1251.h"
#include "faulty_log_file.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::FaultyLogFileCreator;

// A fresh directory standing in for the working directory, removed with
// everything in it when the test ends.
class LogDir {
 public:
  LogDir() {
    std::string pattern = (fs::temp_directory_path() / "velmora-log-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp: " << std::strerror(errno);
    path_ = pattern;
  }
  ~LogDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  LogDir(const LogDir&) = delete;
  LogDir& operator=(const LogDir&) = delete;

  std::string Path() const { return path_.string(); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }
  Bytes Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  fs::path path_;
};

const Bytes kNoSpace =
    Utf8ToCp1251("Не удалось записать файл «LOG_2026 12 7 2 36 57.txt»: нет места на диске");
const Bytes kIdle = Utf8ToCp1251("Запись в файл не ведётся");
Bytes Writing(const std::string& name) { return Utf8ToCp1251("Лог записывается в файл ") + name; }
Bytes Paused(const std::string& name) {
  return Utf8ToCp1251("Запись в файл лога приостановлена (") + name + ")";
}

constexpr LocalTime kCreation{2026, 12, 7, 1, 2, 36, 57, 480};
constexpr char kName[] = "LOG_2026 12 7 2 36 57.txt";

class LogFileTest : public ::testing::Test {
 protected:
  LogFileTest() { clock.Set(kCreation); }

  void ExpectState(int tag, const char* caption, const Bytes& status) {
    EXPECT_EQ(log.Tag(), tag);
    EXPECT_EQ(log.LogToFile(), tag == 1);
    EXPECT_EQ(log.Caption(), caption);
    EXPECT_EQ(log.StatusText(), status);
  }
  // True when this process holds the file open.
  bool HeldOpen(const std::string& name) const {
    std::error_code error;
    const fs::path target = fs::canonical(dir.File(name), error);
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
      std::error_code ignored;
      if (fs::read_symlink(fd.path(), ignored) == target) return true;
    }
    return false;
  }

  LogDir dir;
  ManualClock clock;
  FaultyLogFileCreator creator;
  LogFile log{clock, creator, dir.Path()};
};

TEST(LogFileName, IsTheLocalTimeInDecimalWithoutLeadingZerosAndSingleBlanks) {
  const struct {
    LocalTime time;
    const char* name;
  } rows[] = {
      {{2026, 12, 7, 1, 2, 36, 57, 0}, "LOG_2026 12 7 2 36 57.txt"},
      {{2027, 1, 2, 6, 3, 4, 5, 999}, "LOG_2027 1 2 3 4 5.txt"},
      {{2026, 1, 1, 4, 0, 0, 0, 0}, "LOG_2026 1 1 0 0 0.txt"},
      {{2026, 10, 31, 6, 23, 59, 59, 0}, "LOG_2026 10 31 23 59 59.txt"},
  };
  for (const auto& row : rows) EXPECT_EQ(LogFileNameAt(row.time), row.name);
}

TEST_F(LogFileTest, StartsIdleAndWalksStartPauseGoPause) {
  ExpectState(0, "Start Log", kIdle);
  EXPECT_FALSE(log.LogFileOpen());
  EXPECT_EQ(log.StartLogClick(), std::nullopt);
  ExpectState(1, "Pause Log", Writing(kName));
  EXPECT_TRUE(log.LogFileOpen());
  EXPECT_EQ(log.LogFileName(), kName);
  log.StartLogClick();
  ExpectState(0, "Go Log", Paused(kName));
  EXPECT_TRUE(log.LogFileOpen());
  log.StartLogClick();
  ExpectState(1, "Pause Log", Writing(kName));
  log.StartLogClick();
  ExpectState(0, "Go Log", Paused(kName));
}

TEST_F(LogFileTest, NoFileBeforeTheFirstStartAndItsLinesNeverReachOne) {
  EXPECT_EQ(log.WriteLine("before"), std::nullopt);
  EXPECT_TRUE(dir.Names().empty());
  log.StartLogClick();
  log.WriteLine("after");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{kName});
  EXPECT_EQ(dir.Read(kName), "after\r\n");
}

TEST_F(LogFileTest, OneFileAcrossPauseAndGoWithoutThePausedLines) {
  log.StartLogClick();
  log.WriteLine("one");
  clock.AdvanceMs(5000);
  log.StartLogClick();  // pause
  log.WriteLine("paused");
  clock.AdvanceMs(5000);
  log.StartLogClick();  // go
  log.WriteLine("two");
  EXPECT_EQ(creator.created.size(), 1u);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{kName});
  EXPECT_EQ(dir.Read(kName), "one\r\ntwo\r\n");
}

TEST_F(LogFileTest, EachRecordIsInTheFileAsSoonAsItIsWritten) {
  log.StartLogClick();
  log.WriteLine("first");
  EXPECT_EQ(dir.Read(kName), "first\r\n");
  log.WriteLine("second");
  EXPECT_EQ(dir.Read(kName), "first\r\nsecond\r\n");
}

TEST_F(LogFileTest, AnExistingFileOfTheSameNameIsTruncated) {
  std::ofstream(dir.File(kName)) << "an older run's lines\r\n";
  log.StartLogClick();
  log.WriteLine("new");
  EXPECT_EQ(dir.Read(kName), "new\r\n");
}

TEST_F(LogFileTest, IsCreatedReadableByAllLessTheUmask) {
  const mode_t old = ::umask(022);
  log.StartLogClick();
  ::umask(old);
  struct stat st {};
  ASSERT_EQ(::stat(dir.File(kName).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(LogFileTest, IsClosedAtShutDownAndWritesNothingAfter) {
  log.StartLogClick();
  log.WriteLine("last");
  EXPECT_TRUE(HeldOpen(kName));
  log.Close();
  EXPECT_FALSE(HeldOpen(kName));
  EXPECT_EQ(log.WriteLine("late"), std::nullopt);
  EXPECT_EQ(dir.Read(kName), "last\r\n");
}

TEST_F(LogFileTest, ACreationThatFailsLeavesTheStateAsBeforeAndTheNextStartTriesAFreshName) {
  const struct {
    const char* what;
    bool directoryInTheWay;
    std::optional<int> refused;
    const char* reason;
  } rows[] = {
      {"a directory of the log's name", true, std::nullopt, "это каталог"},
      {"a refused creation", false, EACCES, "нет доступа"},
      {"an uncommon cause keeps the system's text", false, ENAMETOOLONG, "File name too long"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    LogDir here;
    ManualClock at;
    at.Set(kCreation);
    FaultyLogFileCreator faulty;
    faulty.failCreate = row.refused;
    if (row.directoryInTheWay) fs::create_directory(here.File(kName));
    LogFile file(at, faulty, here.Path());

    const std::optional<LogFileError> error = file.StartLogClick();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->Message(),
              Utf8ToCp1251(std::string("Не удалось записать файл «") + kName + "»: " + row.reason));
    EXPECT_EQ(file.Tag(), 0);
    EXPECT_EQ(file.Caption(), "Start Log");
    EXPECT_FALSE(file.LogToFile());
    EXPECT_FALSE(file.LogFileOpen());
    EXPECT_EQ(file.StatusText(), kIdle);
    EXPECT_EQ(file.WriteLine("not written"), std::nullopt);

    faulty.failCreate.reset();
    at.AdvanceMs(1000);
    EXPECT_EQ(file.StartLogClick(), std::nullopt);
    EXPECT_EQ(file.LogFileName(), "LOG_2026 12 7 2 36 58.txt");
    EXPECT_EQ(file.StatusText(), Writing("LOG_2026 12 7 2 36 58.txt"));
    file.WriteLine("retried");
    EXPECT_EQ(here.Read("LOG_2026 12 7 2 36 58.txt"), "retried\r\n");
  }
}

TEST_F(LogFileTest, AFullDiskPausesWritingFirstReportsOnceKeepsTheCutRecordAndGoAppends) {
  log.StartLogClick();
  log.WriteLine("kept");
  creator.spaceLeft = 3;
  const std::optional<LogFileError> error = log.WriteLine("cut short");
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->Message(), kNoSpace);
  ExpectState(0, "Go Log", Paused(kName));
  EXPECT_TRUE(log.LogFileOpen());
  // Writing is off: later lines neither reach the file nor fail again.
  EXPECT_EQ(log.WriteLine("while off"), std::nullopt);
  EXPECT_EQ(dir.Read(kName), "kept\r\ncut");

  creator.spaceLeft.reset();
  EXPECT_EQ(log.StartLogClick(), std::nullopt);
  ExpectState(1, "Pause Log", Writing(kName));
  log.WriteLine("resumed");
  EXPECT_EQ(creator.created.size(), 1u);
  EXPECT_EQ(dir.Read(kName), "kept\r\ncutresumed\r\n");
}

TEST_F(LogFileTest, ALogNameLinkedToDevFullFailsAtTheFirstWriteOnly) {
  fs::create_symlink("/dev/full", dir.File(kName));
  LogFile full(clock, SystemLogFileCreator(), dir.Path());
  EXPECT_EQ(full.StartLogClick(), std::nullopt);
  const std::optional<LogFileError> error = full.WriteLine("line");
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->Message(), kNoSpace);
  EXPECT_FALSE(full.LogToFile());
  EXPECT_EQ(full.Caption(), "Go Log");
  EXPECT_EQ(full.WriteLine("line"), std::nullopt);
}

}  // namespace
}  // namespace velmora
