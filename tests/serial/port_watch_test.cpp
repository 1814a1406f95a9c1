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
  PortRequest CurrentRequest() override { return {portName, 9600, 8, 0}; }
  void ColourPort(PortColour colour) override {
    static const char* const kNames[] = {"window", "lime", "red", "yellow"};
    events_.push_back(std::string("colour ") + kNames[static_cast<int>(colour)]);
  }
  void PortStateChanged() override { events_.push_back("state"); }
  void BlockingWait(int milliseconds) override {
    events_.push_back("wait " + std::to_string(milliseconds));
  }
  void SendAfterConnect() override { events_.push_back("send on connect"); }
  void PortMoved(const std::string& name, const std::vector<ListedPort>& ports) override {
    std::string line = "moved " + name + " in";
    for (const ListedPort& port : ports) line += " " + port.name;
    events_.push_back(line);
    portName = name;
  }

  std::string portName = "COM3";
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

// Who is under each name, as the test sets it.
class FakeDiscovery : public PortDiscovery {
 public:
  std::vector<std::string> PortNames() override {
    std::vector<std::string> names;
    for (const ListedPort& port : ports) names.push_back(port.name);
    return names;
  }
  std::vector<ListedPort> Ports() override { return ports; }
  PortIdentity IdentityOf(const std::string& name) override {
    for (const ListedPort& port : ports) {
      if (port.name == name) return port.identity;
    }
    return {};
  }
  std::vector<ListedPort> ports;
};

PortIdentity Adapter(std::string serial) {
  PortIdentity identity;
  identity.kind = PortKind::Usb;
  identity.vendorId = "0403";
  identity.productId = "6001";
  identity.serial = std::move(serial);
  identity.usbPath = "1-1";
  return identity;
}

class FollowingWatchTest : public PortWatchTest {
 protected:
  // Connected to COM3, the adapter "A", and lost, with AutoConnect.
  void ConnectAndLose() {
    discovery.ports = {{"COM3", Adapter("A")}};
    Connect();
    following.Connected("COM3");
    window.autoConnect = true;
    port->probeError = SerialError::DeviceRemoved;
    events.clear();
  }
  void FollowTick() { following.CheckConnectTimer(window); }

  FakeDiscovery discovery;
  PortWatch following{link, &discovery};
};

TEST_F(FollowingWatchTest, TheSameDeviceUnderAnotherNameIsReopenedThere) {
  ConnectAndLose();
  discovery.ports = {{"COM5", Adapter("B")}, {"COM4", Adapter("A")}};
  FollowTick();
  EXPECT_EQ(events, (Events{"probe", "close", "state", "open COM4", "moved COM4 in COM5 COM4",
                            "state", "colour lime", "wait 2000", "send on connect"}));
  EXPECT_TRUE(link.PortOpen());
  // Lost again: followed from its new name on.
  port->probeError = SerialError::DeviceRemoved;
  discovery.ports = {{"COM3", Adapter("A")}};
  events.clear();
  FollowTick();
  EXPECT_EQ(events, (Events{"probe", "close", "state", "open COM3", "moved COM3 in COM3", "state",
                            "colour lime", "wait 2000", "send on connect"}));
}

TEST_F(FollowingWatchTest, TheSameDeviceUnderItsNameIsReopenedByName) {
  ConnectAndLose();
  FollowTick();
  EXPECT_EQ(events, (Events{"probe", "close", "state", "open COM3", "state", "colour lime",
                            "wait 2000", "send on connect"}));
}

TEST_F(FollowingWatchTest, AStrangerUnderTheOldNameIsNeverOpened) {
  ConnectAndLose();
  discovery.ports = {{"COM3", Adapter("B")}};
  FollowTick();
  FollowTick();
  EXPECT_EQ(events, (Events{"probe", "close", "state", "colour yellow", "probe", "colour yellow"}));
  EXPECT_FALSE(link.PortOpen());
  // Ours comes back beside the stranger.
  discovery.ports.push_back({"COM6", Adapter("A")});
  events.clear();
  FollowTick();
  EXPECT_EQ(events.at(1), "open COM6");
  EXPECT_TRUE(link.PortOpen());
}

TEST_F(FollowingWatchTest, AFailedOpenElsewhereIsYellowAndKeepsTheName) {
  ConnectAndLose();
  discovery.ports = {{"COM4", Adapter("A")}};
  port->openError = SerialError::InUse;
  FollowTick();
  EXPECT_EQ(events, (Events{"probe", "close", "state", "open COM4", "colour yellow"}));
  EXPECT_EQ(window.portName, "COM3");
}

TEST_F(FollowingWatchTest, APortWithoutIdentityGoesByName) {
  discovery.ports = {{"COM3", IdentityOfKind(PortKind::BuiltIn)}};
  Connect();
  following.Connected("COM3");
  window.autoConnect = true;
  port->probeError = SerialError::DeviceRemoved;
  discovery.ports = {{"COM4", IdentityOfKind(PortKind::BuiltIn)}};
  events.clear();
  FollowTick();
  EXPECT_EQ(events.at(3), "open COM3");
}

TEST_F(FollowingWatchTest, ADisconnectForgetsTheDevice) {
  ConnectAndLose();
  following.Forget();
  discovery.ports = {{"COM3", Adapter("B")}};
  FollowTick();
  EXPECT_EQ(events.at(3), "open COM3") << "nothing is followed after a disconnect";
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
