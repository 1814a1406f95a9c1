// The once-a-second port watch on a fake port: the effects of one tick in
// every state, and the order of its steps.

#include "serial/port_watch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_serial_port.h"

namespace velmora {
namespace {

using Events = std::vector<std::string>;

// Notes the probe, the open and the close among the window's events.
class RecordingPort : public testing::FakeSerialPort {
 public:
  explicit RecordingPort(Events& events) : events_(events) {}
  SerialError Probe(const LineSettings& settings) override {
    events_.push_back("probe");
    return FakeSerialPort::Probe(settings);
  }
  SerialError Open(const std::string& name) override {
    events_.push_back("open " + name);
    return FakeSerialPort::Open(name);
  }
  void Close() override {
    if (valid) events_.push_back("close");
    FakeSerialPort::Close();
  }

 private:
  Events& events_;
};

class FakeWatchWindow : public PortWatchHost {
 public:
  explicit FakeWatchWindow(Events& events) : events_(events) {}
  bool ConnectTag() override { return tag; }
  bool AutoConnectChecked() override { return autoConnect; }
  bool SendAsReconnChecked() override { return sendAsReconn; }
  PortRequest CurrentRequest() override { return {"COM3", 9600, 8, 0}; }
  void ColourPort(PortColour colour) override {
    static const char* const kNames[] = {"window", "lime", "red", "yellow"};
    events_.push_back(std::string("colour ") + kNames[static_cast<int>(colour)]);
  }
  void PortStateChanged() override { events_.push_back("state"); }
  void BlockingWait(int milliseconds) override {
    events_.push_back("wait " + std::to_string(milliseconds));
  }
  void SendAfterConnect() override { events_.push_back("send on connect"); }

  bool tag = false;
  bool autoConnect = false;
  bool sendAsReconn = true;

 private:
  Events& events_;
};

class PortWatchTest : public ::testing::Test {
 protected:
  PortWatchTest()
      : link(
            [this] {
              auto made = std::make_unique<RecordingPort>(events);
              port = made.get();
              return made;
            },
            [](int) {}),
        window(events) {}

  void Connect() {
    ASSERT_EQ(link.OpenPort({"COM3", 9600, 8, 0}), OpenResult::Opened);
    window.tag = true;
  }
  void Tick() { watch.CheckConnectTimer(window); }

  Events events;
  RecordingPort* port = nullptr;
  SerialLink link;
  FakeWatchWindow window;
  PortWatch watch{link};
};

enum class Probe { Present, Fails };
enum class Reopen { Works, Fails };

struct StateRow {
  const char* what;
  bool tag;
  bool portOpen;
  bool autoConnect;
  Probe probe;
  Reopen reopen;
  Events events;
  bool portOpenAfter;
};

class WatchTick : public PortWatchTest, public ::testing::WithParamInterface<StateRow> {};

TEST_P(WatchTick, HasTheEffectsOfItsState) {
  const StateRow& row = GetParam();
  if (row.tag) Connect();
  // A port lost earlier: the watch has closed it already.
  if (row.tag && !row.portOpen) link.ClosePort();
  window.tag = row.tag;
  window.autoConnect = row.autoConnect;
  if (row.probe == Probe::Fails) port->probeError = SerialError::DeviceRemoved;
  if (row.reopen == Reopen::Fails) port->openError = SerialError::NotFound;
  events.clear();

  Tick();

  EXPECT_EQ(events, row.events);
  EXPECT_EQ(link.PortOpen(), row.portOpenAfter);
}

INSTANTIATE_TEST_SUITE_P(
    StateTable, WatchTick,
    ::testing::Values(
        StateRow{"ConnectedAndPresent", true, true, false, Probe::Present, Reopen::Works,
                 Events{"probe"}, true},
        StateRow{"ConnectedAndPresentWithAutoConnect", true, true, true, Probe::Present,
                 Reopen::Works, Events{"probe"}, true},
        StateRow{"LossWithoutAutoConnectTurnsRedAndCloses",
                 true,
                 true,
                 false,
                 Probe::Fails,
                 Reopen::Works,
                 {"probe", "colour red", "close", "state"},
                 false},
        StateRow{"StillLostWithoutAutoConnectStaysRed", true, false, false, Probe::Fails,
                 Reopen::Works, Events{"probe", "colour red"}, false},
        StateRow{"LossWithAutoConnectReopensInTheSameTick",
                 true,
                 true,
                 true,
                 Probe::Fails,
                 Reopen::Works,
                 {"probe", "close", "state", "open COM3", "state", "colour lime", "wait 2000",
                  "send on connect"},
                 true},
        StateRow{"LossWithAutoConnectAndTheDeviceAwayIsYellow",
                 true,
                 true,
                 true,
                 Probe::Fails,
                 Reopen::Fails,
                 {"probe", "close", "state", "open COM3", "colour yellow"},
                 false},
        StateRow{"LostWithAutoConnectReopensWhenBack",
                 true,
                 false,
                 true,
                 Probe::Fails,
                 Reopen::Works,
                 {"probe", "open COM3", "state", "colour lime", "wait 2000", "send on connect"},
                 true},
        StateRow{"LostWithAutoConnectRetriesEveryTick", true, false, true, Probe::Fails,
                 Reopen::Fails, Events{"probe", "open COM3", "colour yellow"}, false},
        StateRow{"DisconnectedWithAutoConnectKeepsTheWindowColour", false, false, true,
                 Probe::Fails, Reopen::Works, Events{"probe", "colour window"}, false},
        StateRow{"DisconnectedWithoutAutoConnectDoesNothing", false, false, false, Probe::Fails,
                 Reopen::Works, Events{"probe"}, false}),
    [](const auto& row) { return std::string(row.param.what); });

TEST_F(PortWatchTest, WithoutSendAsReconnTheReopenSendsNothing) {
  Connect();
  window.autoConnect = true;
  window.sendAsReconn = false;
  port->probeError = SerialError::DeviceRemoved;
  events.clear();
  Tick();
  EXPECT_EQ(events,
            (Events{"probe", "close", "state", "open COM3", "state", "colour lime", "wait 2000"}));
}

TEST_F(PortWatchTest, ALostPortIsReleasedExactlyOnce) {
  Connect();
  port->probeError = SerialError::DeviceRemoved;
  Tick();
  Tick();
  EXPECT_EQ(port->closeCount, 1);
  EXPECT_EQ(port->purgeCount, 1);
}

TEST_F(PortWatchTest, CheckingAutoConnectWhileRedStartsTheAttemptsOnTheNextTick) {
  Connect();
  port->probeError = SerialError::DeviceRemoved;
  port->openError = SerialError::NotFound;
  Tick();
  window.autoConnect = true;
  events.clear();
  Tick();
  port->openError = SerialError::None;
  Tick();
  EXPECT_EQ(events, (Events{"probe", "open COM3", "colour yellow", "probe", "open COM3", "state",
                            "colour lime", "wait 2000", "send on connect"}));
  EXPECT_TRUE(link.PortOpen());
}

// The receive notifier saw the hang-up and the descriptor was closed at
// once; the next tick's probe fails on the closed handle and the watch
// handles the loss as any other.
TEST_F(PortWatchTest, AHandleReleasedOnHangUpIsALossOnTheNextTick) {
  Connect();
  port->hungUp = true;
  ASSERT_TRUE(link.PortHungUp());
  link.ReleaseHungUpHandle();
  EXPECT_TRUE(link.PortOpen()) << "the colours and PortOpen are left to the tick";
  EXPECT_FALSE(link.PortHungUp());
  port->hungUp = false;
  window.autoConnect = true;
  events.clear();
  Tick();
  EXPECT_EQ(events, (Events{"probe", "state", "open COM3", "state", "colour lime", "wait 2000",
                            "send on connect"}));
}

TEST_F(PortWatchTest, ANeverOpenedPortFailsTheProbe) {
  EXPECT_FALSE(link.Probe());
  Connect();
  EXPECT_TRUE(link.Probe());
  link.ClosePort();
  EXPECT_FALSE(link.Probe());
}

}  // namespace
}  // namespace velmora
