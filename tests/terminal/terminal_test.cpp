#include "terminal/terminal.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_serial_port.h"

namespace velmora {
namespace {

// Both hosts in one: what the terminal shows, in order.
class RecordingHost : public TransmitHost, public ReceiveHost {
 public:
  SendInputs CurrentSendInputs() override { return send; }
  ReceiveInputs CurrentReceiveInputs() override { return {}; }
  void ShowPortError() override { shown.push_back("port error"); }
  void HistoryRecorded() override {}
  void AppendLogLine(const Bytes& line) override { shown.push_back(line); }
  bool WriteLogFile(const Bytes&) override { return true; }
  void ShowByteCounters(const Bytes& text) override { counters = text; }
  void ShowSendCount(const Bytes&) override {}
  void ShowReadCount(const Bytes&) override {}
  void ShowGaps(const Bytes&, const Bytes&) override {}
  void AfterAnswer() override {}

  SendInputs send{DataMode::Ascii, false, "", "$0D", ""};
  std::vector<Bytes> shown;
  Bytes counters;
};

class TerminalTest : public ::testing::Test {
 protected:
  TerminalTest()
      : terminal(
            [this] {
              auto port = std::make_unique<testing::FakeSerialPort>();
              port_ = port.get();
              return port;
            },
            [](int) {}, clock) {}

  void Connect() { ASSERT_EQ(terminal.Link().OpenPort({"ttyV0", 9600, 8, 0}), OpenResult::Opened); }

  ManualClock clock;
  testing::FakeSerialPort* port_ = nullptr;
  Terminal terminal;
  RecordingHost host;
};

TEST_F(TerminalTest, ASendGoesOutOnItsLinkAndIsRecordedInItsHistory) {
  Connect();
  host.send.console = "ping";
  terminal.SendPortData("ping", host);
  EXPECT_EQ(port_->written, "ping\r");
  EXPECT_EQ(terminal.History().Entry(1), "ping");
  EXPECT_EQ(terminal.Counters().txBytes, 5);
}

TEST_F(TerminalTest, BothPathsCountInTheSameCounters) {
  Connect();
  host.send.console = "ab";
  terminal.SendPortData("ab", host);
  port_->Feed("xyz");
  terminal.ReceivePath().RxTimerTimer(host);
  EXPECT_EQ(terminal.Counters().txBytes, 3);
  EXPECT_EQ(terminal.Counters().rxBytes, 3);
  EXPECT_EQ(host.counters, "TX: 3 RX: 3");
}

TEST_F(TerminalTest, ASendWithoutAnOpenPortReportsAndRecordsNothing) {
  terminal.SendPortData("ping", host);
  EXPECT_EQ(host.shown, std::vector<Bytes>{"port error"});
  EXPECT_EQ(terminal.History().Entry(1), "");
  EXPECT_EQ(terminal.Counters().txBytes, 0);
}

}  // namespace
}  // namespace velmora
