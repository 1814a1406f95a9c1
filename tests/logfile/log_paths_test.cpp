// Both paths writing through one log file, as the window joins them: the
// bytes of each record, and a full disk while packets arrive and a send runs.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/cp1251.h"
#include "fake_serial_port.h"
#include "faulty_log_file.h"
#include "logfile/log_file.h"
#include "receive/receiver.h"
#include "transmit/transmitter.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

constexpr LocalTime kStart{2026, 12, 8, 2, 9, 5, 3, 7};
constexpr char kName[] = "LOG_2026 12 8 9 5 3.txt";
constexpr std::int32_t kTimeRx = 20;

// The window's one log sink: both hosts append to the log and write the
// shown line through the same log file; a failed write gives one box.
class Sink : public TransmitHost, public ReceiveHost {
 public:
  explicit Sink(LogFile& log) : log_(log) {}

  SendInputs CurrentSendInputs() override { return send; }
  ReceiveInputs CurrentReceiveInputs() override { return {send.mode, send.visTime, send.filter}; }
  void ShowPortError() override {}
  void HistoryRecorded() override {}
  void AppendLogLine(const Bytes& line) override { shown.push_back(line); }
  bool WriteLogFile(const Bytes& line) override {
    const std::optional<LogFileError> error = log_.WriteLine(line);
    if (!error) return true;
    boxes.push_back(error->Message());
    return false;
  }
  void ShowByteCounters(const Bytes&) override {}
  void ShowSendCount(const Bytes&) override {}
  void ShowReadCount(const Bytes&) override {}
  void ShowGaps(const Bytes&, const Bytes&) override {}
  void AfterAnswer() override { ++afterAnswers; }

  SendInputs send{DataMode::Ascii, false, "", "$0D", ""};
  std::vector<Bytes> shown;
  std::vector<std::string> boxes;
  int afterAnswers = 0;

 private:
  LogFile& log_;
};

class Terminal {
 public:
  Terminal() {
    std::string pattern = (fs::temp_directory_path() / "velmora-paths-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp: " << std::strerror(errno);
    dir = pattern;
    log = std::make_unique<LogFile>(clock, creator, dir);
    sink = std::make_unique<Sink>(*log);
    clock.Set(kStart);
    receiver.SetTimeRx(kTimeRx);
    EXPECT_EQ(link.OpenPort({"ttyV0", 9600, 8, 0}), OpenResult::Opened);
  }
  ~Terminal() {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  void Send(const Bytes& command) {
    sink->send.console = command;
    transmitter.SendPortData(command, *sink);
  }
  // One packet from the device, shown after the quiet time-out.
  void Receive(const Bytes& bytes) {
    port->Feed(bytes);
    receiver.RxTimerTimer(*sink);
    clock.AdvanceMs(kTimeRx + 1);
    receiver.RxTimerTimer(*sink);
  }
  Bytes File() const {
    std::ifstream in(dir + "/" + kName, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::string dir;
  ManualClock clock;
  testing::FaultyLogFileCreator creator;
  std::unique_ptr<LogFile> log;
  std::unique_ptr<Sink> sink;
  testing::FakeSerialPort* port = nullptr;
  SerialLink link{[this] {
                    auto created = std::make_unique<testing::FakeSerialPort>();
                    port = created.get();
                    return created;
                  },
                  [](int) {}};
  SentHistory history;
  Traffic traffic;
  Transmitter transmitter{link, history, traffic, clock};
  Receiver receiver{link, traffic, clock};
};

TEST(LogRecords, AreTheShownLineAsHeldFollowedByCrLf) {
  const Bytes privet = Utf8ToCp1251("Привет");
  const Bytes test = Utf8ToCp1251("Тест");
  const struct {
    const char* what;
    bool sent;  // else received
    DataMode mode;
    bool visTime;
    const char* tail;
    Bytes input;
    Bytes file;
  } rows[] = {
      {"received CR LF", false, DataMode::Ascii, false, "", "OK\r\n", "OK\r\r\n"},
      {"received two lines", false, DataMode::Ascii, false, "", "a\r\nb\r\n", "a\r\nb\r\r\n"},
      {"received final CR", false, DataMode::Ascii, false, "", "x\r", "x\r\r\n"},
      {"received NUL inside", false, DataMode::Ascii, false, "", "A\0B"s, "A<NULL>\r\n"},
      {"received NUL last", false, DataMode::Ascii, false, "", "A\0"s, "A<NULL\r\n"},
      {"received HEX", false, DataMode::Hex, false, "", "OK\r\n", "4F 4B 0D 0A\r\n"},
      {"received stamped", false, DataMode::Hex, true, "", "\x01\xFF",
       " [ 09:05:03:028 < ] 01 FF\r\n"},
      {"received Cyrillic", false, DataMode::Ascii, false, "", privet + "\r", privet + "\r\r\n"},
      {"sent CR LF tail", true, DataMode::Ascii, false, "$0D$0A", "abc", "abc\r\n\r\n"},
      {"sent stamped", true, DataMode::Ascii, true, "$0D", "abc", " [ 09:05:03:007 > ] abc\r\r\n"},
      {"sent HEX", true, DataMode::Hex, false, "$0D", "01 02", "01 02$0D\r\n"},
      {"sent Cyrillic", true, DataMode::Ascii, false, "", test, test + "\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Terminal t;
    t.sink->send.mode = row.mode;
    t.sink->send.visTime = row.visTime;
    t.sink->send.tail = row.tail;
    t.log->StartLogClick();
    if (row.sent) {
      t.Send(row.input);
    } else {
      t.Receive(row.input);
    }
    EXPECT_EQ(t.File(), row.file);
    ASSERT_EQ(t.sink->shown.size(), 1u);
    EXPECT_EQ(t.sink->shown[0] + "\r\n", row.file) << "the file holds the shown line";
  }
}

TEST(LogRecords, AFilteredLineReachesNeitherTheLogNorTheFile) {
  Terminal t;
  t.log->StartLogClick();
  t.sink->send.filter = "OK";
  t.Receive("no\r\n");
  t.Send("nope");
  t.Receive("OK\r\n");
  EXPECT_EQ(t.File(), "OK\r\r\n");
}

TEST(LogRecords, AFullDiskGivesOneBoxStopsTheFailingSendAndLetsTheNextOneOut) {
  Terminal t;
  t.log->StartLogClick();
  t.Receive("first\r\n");
  ASSERT_EQ(t.sink->afterAnswers, 1);
  t.creator.spaceLeft = 2;

  t.Send("fails");
  EXPECT_EQ(t.sink->boxes,
            std::vector<std::string>{Utf8ToCp1251(std::string("Не удалось записать файл «") +
                                                  kName + "»: нет места на диске")});
  EXPECT_EQ(t.port->written, "") << "the failing send's bytes stay off the wire";
  EXPECT_EQ(t.traffic.txBytes, 0);
  EXPECT_EQ(t.traffic.sendPackets, 0);
  EXPECT_EQ(t.sink->shown.back(), "fails\r");
  EXPECT_EQ(t.log->Caption(), "Go Log");

  t.Receive("during\r\n");
  t.Send("next");
  EXPECT_EQ(t.sink->boxes.size(), 1u);
  EXPECT_EQ(t.port->written, "next\r");
  EXPECT_EQ(t.traffic.sendPackets, 1);
  EXPECT_EQ(t.sink->afterAnswers, 2);
  EXPECT_EQ(t.File(), "first\r\r\nfa");

  t.creator.spaceLeft.reset();
  t.log->StartLogClick();  // "Go Log"
  t.Receive("again\r\n");
  EXPECT_EQ(t.File(), "first\r\r\nfaagain\r\r\n");
  EXPECT_EQ(t.sink->boxes.size(), 1u);
}

TEST(LogRecords, AFailingReceivedLineSkipsOnlyItsAfterAnswerStep) {
  Terminal t;
  t.log->StartLogClick();
  t.creator.spaceLeft = 0;
  t.Receive("lost\r\n");
  EXPECT_EQ(t.sink->boxes.size(), 1u);
  EXPECT_EQ(t.sink->afterAnswers, 0);
  t.Receive("shown\r\n");
  EXPECT_EQ(t.sink->afterAnswers, 1);
  EXPECT_EQ(t.sink->shown, (std::vector<Bytes>{"lost\r", "shown\r"}));
  EXPECT_EQ(t.File(), "");
}

}  // namespace
}  // namespace velmora
