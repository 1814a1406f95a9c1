// The send modes end to end through the real tty driver: the transmit and
// receive paths and the sequencer tied together as the window ties them,
// against the simulated device.

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/send_automation.h"
#include "common/clock.h"
#include "pty_device.h"
#include "receive/receive_host.h"
#include "receive/receiver.h"
#include "serial/serial_link.h"
#include "transmit/transmit_host.h"
#include "transmit/transmitter.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// The window's part: the controls the paths read, the log, and the event
// loop of the receive tick and the parked 1 ms TimerPeriod.
class Terminal : public AutomationHost, public TransmitHost, public ReceiveHost {
 public:
  explicit Terminal(const std::string& port) {
    EXPECT_EQ(link.OpenPort({port, 115200, 8, 0}), OpenResult::Opened);
  }

  // AutomationHost
  SendMode ChosenMode() override { return mode; }
  bool FilePanelShown() override { return !file.empty(); }
  std::size_t FileLineCount() override { return file.size(); }
  Bytes FileLine(std::size_t index) override { return file.at(index); }
  Bytes ConsoleLine() override { return console; }
  Bytes PeriodText() override { return period; }
  bool CiklSendChecked() override { return cikl; }
  bool PortOpen() override { return link.PortOpen(); }
  std::uint32_t BytesWaiting() override {
    std::uint32_t waiting = 0;
    link.Port().BytesWaiting(waiting);
    return waiting;
  }
  void SendPortData(const Bytes& command) override { transmitter.SendPortData(command, *this); }
  void ShowAllSent() override { ++notices; }

  // TransmitHost
  SendInputs CurrentSendInputs() override { return {DataMode::Ascii, false, "", "$0D", console}; }
  void ShowPortError() override { ++portErrors; }
  void HistoryRecorded() override {}
  void AppendLogLine(const Bytes& line) override { log.push_back(line); }
  bool WriteLogFile(const Bytes&) override { return true; }
  void ShowByteCounters(const Bytes&) override {}
  void ShowSendCount(const Bytes&) override {}

  // ReceiveHost
  ReceiveInputs CurrentReceiveInputs() override { return {DataMode::Ascii, false, ""}; }
  void ShowReadCount(const Bytes&) override {}
  void ShowGaps(const Bytes&, const Bytes&) override {}
  void AfterAnswer() override { automation.AfterAnswer(*this); }

  void WakeTimerPeriod() {
    const std::optional<int> delay = automation.NextTickDelay(*this);
    timerDue = delay ? std::optional(SteadyClock::now() + std::chrono::milliseconds(*delay))
                     : std::nullopt;
  }

  // The event loop for `duration`, or until `done` holds.
  template <typename Done>
  void Run(std::chrono::milliseconds duration, Done done) {
    const auto end = SteadyClock::now() + duration;
    while (SteadyClock::now() < end && !done()) {
      receiver.RxTimerTimer(*this);
      if (timerDue && SteadyClock::now() >= *timerDue) {
        automation.TimerPeriodTimer(*this);
        WakeTimerPeriod();
      }
      pollfd watch{link.Port().ReadinessDescriptor(), POLLIN, 0};
      (void)::poll(&watch, 1, 1);
    }
  }

  std::unique_ptr<Clock> clock = CreateSystemClock();
  SerialLink link{[] { return CreateSerialPort(); }, [](int) {}};
  SentHistory history;
  Traffic traffic;
  Transmitter transmitter{link, history, traffic, *clock};
  Receiver receiver{link, traffic, *clock};
  SendAutomation automation{*clock};
  std::optional<SteadyClock::time_point> timerDue;

  SendMode mode = SendMode::Manual;
  std::vector<Bytes> file;
  Bytes console;
  Bytes period = "1000";
  bool cikl = false;
  int notices = 0;
  int portErrors = 0;
  std::vector<Bytes> log;
};

class AutomationPty : public ::testing::Test {
 protected:
  AutomationPty() {
    devsim::DeviceOptions options;
    options.mode = devsim::Mode::Echo;
    device = std::make_unique<devsim::PtyDevice>(options);
    terminal = std::make_unique<Terminal>(device->PortName());
  }

  std::unique_ptr<devsim::PtyDevice> device;
  std::unique_ptr<Terminal> terminal;
};

TEST_F(AutomationPty, AnAfterAnswerFileRunWalksTheFileOnTheEchoes) {
  Terminal& t = *terminal;
  t.file = {"one", "two", "three"};
  t.mode = SendMode::AfterAnswer;
  t.automation.FileModeEntered();
  t.automation.StartSendCommands(t);
  t.Run(10s, [&] { return t.notices > 0; });
  EXPECT_EQ(t.notices, 1);
  EXPECT_EQ(device->Received(), "one\rtwo\rthree\r");
  // A later unsolicited packet starts the file again.
  device->Send("x");
  t.Run(10s, [&] { return device->Received().size() >= 18; });
  EXPECT_EQ(device->Received(), "one\rtwo\rthree\rone\r");
}

TEST_F(AutomationPty, AnAfterAnswerRunWithCiklGoesRoundWithoutPause) {
  Terminal& t = *terminal;
  t.file = {"a", "b"};
  t.mode = SendMode::AfterAnswer;
  t.cikl = true;
  t.automation.StartSendCommands(t);
  t.Run(10s, [&] { return device->Received().size() >= 12; });
  EXPECT_EQ(device->Received().substr(0, 12), "a\rb\ra\rb\ra\rb\r");
  EXPECT_EQ(t.notices, 0);
}

TEST_F(AutomationPty, APeriodicFileRunWithoutCiklEndsWithTheNotice) {
  Terminal& t = *terminal;
  t.file = {"p1", "p2", "p3"};
  t.mode = SendMode::Period;
  t.period = "20";
  t.automation.StartSendCommands(t);
  t.WakeTimerPeriod();
  t.Run(10s, [&] { return t.notices > 0; });
  EXPECT_EQ(t.notices, 1);
  EXPECT_FALSE(t.automation.TimerPeriodEnabled());
  EXPECT_FALSE(t.timerDue.has_value()) << "the timer parks once the run has ended";
  t.Run(100ms, [] { return false; });
  EXPECT_EQ(device->Received(), "p1\rp2\rp3\r");
}

TEST_F(AutomationPty, APeriodicFileRunWithCiklStartsOver) {
  Terminal& t = *terminal;
  t.file = {"p1", "p2"};
  t.mode = SendMode::Period;
  t.period = "10";
  t.cikl = true;
  t.automation.StartSendCommands(t);
  t.WakeTimerPeriod();
  t.Run(10s, [&] { return device->Received().size() >= 12; });
  EXPECT_EQ(device->Received().substr(0, 12), "p1\rp2\rp1\rp2\r");
  EXPECT_EQ(t.notices, 0);
}

}  // namespace
}  // namespace velmora
