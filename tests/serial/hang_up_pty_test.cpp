// A vanished port through the real tty driver: the hang-up is seen, the
// descriptor released at once, the probe and the watch's re-open work on the
// pseudo-terminal the simulated device plugs back.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "port_waiting.h"
#include "pty_device.h"
#include "serial/port_watch.h"
#include "serial/serial_link.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// How many of our descriptors refer to `path` (a closed-on-the-other-side
// pseudo-terminal shows as "/dev/pts/N (deleted)").
int DescriptorsOn(const std::string& path) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const std::string target = fs::read_symlink(entry.path(), error).string();
    if (!error && target.rfind(path, 0) == 0 &&
        (target.size() == path.size() || target[path.size()] == ' ')) {
      ++count;
    }
  }
  return count;
}

// The window as the watch sees it: the user connected, with the wait a real
// sleep and the send on connect a real write.
class WatchWindow : public PortWatchHost {
 public:
  explicit WatchWindow(SerialLink& link) : link_(link) {}
  bool ConnectTag() override { return true; }
  bool AutoConnectChecked() override { return autoConnect; }
  bool SendAsReconnChecked() override { return true; }
  PortRequest CurrentRequest() override { return {portName, 9600, 8, 0}; }
  void ColourPort(PortColour colour) override {
    colours.push_back(colour);
    if (colour == PortColour::Lime) limeAt = SteadyClock::now();
  }
  void PortStateChanged() override {}
  void BlockingWait(int milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  void SendAfterConnect() override {
    const std::string line = "hello\r";
    sentAt = SteadyClock::now();
    link_.Port().Write(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
  }
  // Never called: this watch has no discovery and follows names only.
  void PortMoved(const std::string& name, const std::vector<ListedPort>&) override {
    portName = name;
  }

  bool autoConnect = true;
  std::string portName;
  std::vector<PortColour> colours;
  SteadyClock::time_point limeAt{};
  SteadyClock::time_point sentAt{};

 private:
  SerialLink& link_;
};

class HangUpTest : public ::testing::Test {
 protected:
  void Plug(devsim::Mode mode = devsim::Mode::Silent) {
    devsim::DeviceOptions options;
    options.mode = mode;
    options.linkPath =
        (fs::temp_directory_path() / ("velmora-ttyHUP-" + std::to_string(getpid()))).string();
    device = std::make_unique<devsim::PtyDevice>(options);
    window.portName = device->PortName();
  }

  void Connect() {
    if (!device) Plug();
    ASSERT_EQ(link.OpenPort(window.CurrentRequest()), OpenResult::Opened);
  }
  std::size_t ReadAll() {
    std::uint32_t waiting = 0;
    link.Port().BytesWaiting(waiting);
    std::vector<std::uint8_t> buffer(waiting + 1);
    SerialError error = SerialError::None;
    return link.Port().Read(buffer.data(), waiting, error);
  }

  std::unique_ptr<devsim::PtyDevice> device;
  SerialLink link{[] { return CreateSerialPort(); }, [](int) {}};
  WatchWindow window{link};
  PortWatch watch{link};
};

TEST_F(HangUpTest, ALivePortIsNoHangUpWithOrWithoutBytes) {
  Connect();
  EXPECT_FALSE(link.PortHungUp());
  device->Send("abc");
  ASSERT_TRUE(testing::WaitForWaiting(link.Port(), 3));
  EXPECT_FALSE(link.PortHungUp());
  EXPECT_EQ(ReadAll(), 3u);
  // Nothing waits: a raw port reads 0 bytes, and that is no hang-up.
  std::uint8_t byte = 0;
  SerialError error = SerialError::None;
  EXPECT_EQ(link.Port().Read(&byte, 1, error), 0u);
  EXPECT_EQ(error, SerialError::None);
  EXPECT_FALSE(link.PortHungUp());
}

TEST_F(HangUpTest, AnUnpluggedDeviceIsAHangUp) {
  Connect();
  EXPECT_FALSE(link.PortHungUp());
  device->Unplug();
  EXPECT_TRUE(link.PortHungUp());
}

TEST_F(HangUpTest, AReadOfNothingAfterCountedBytesIsAHangUp) {
  Connect();
  device->Send("abc");
  ASSERT_TRUE(testing::WaitForWaiting(link.Port(), 3));
  device->Unplug();
  std::uint8_t buffer[8];
  SerialError error = SerialError::None;
  EXPECT_EQ(link.Port().Read(buffer, sizeof buffer, error), 0u);
  EXPECT_EQ(error, SerialError::DeviceRemoved);
  EXPECT_TRUE(link.PortHungUp());
}

TEST_F(HangUpTest, TheProbeKeepsWaitingBytesAndFailsOnceUnplugged) {
  Connect();
  device->Send("abc");
  ASSERT_TRUE(testing::WaitForWaiting(link.Port(), 3));
  EXPECT_TRUE(link.Probe());
  std::uint32_t waiting = 0;
  EXPECT_EQ(link.Port().BytesWaiting(waiting), SerialError::None);
  EXPECT_EQ(waiting, 3u) << "a probe must not flush the input";
  device->Unplug();
  EXPECT_FALSE(link.Probe());
}

TEST_F(HangUpTest, AReleasedDescriptorFreesThePortAndTheWatchReopensIt) {
  Connect();
  bool indexReused = false;
  for (int attempt = 0; attempt < 3 && !indexReused; ++attempt) {
    const std::string slave = device->SlavePath();
    ASSERT_EQ(DescriptorsOn(slave), 2) << "ours and the device's own";
    device->Unplug();
    ASSERT_TRUE(link.PortHungUp());
    link.ReleaseHungUpHandle();
    EXPECT_EQ(DescriptorsOn(slave), 0) << "the descriptor is closed at once";
    EXPECT_TRUE(link.PortOpen()) << "PortOpen is left to the watch";

    window.colours.clear();
    watch.CheckConnectTimer(window);  // the device is away: yellow
    device->PlugBack();
    // Other tests on the machine may take the freed index in between; one
    // of three plugs gets it back only when nothing of ours holds it.
    indexReused = device->SlavePath() == slave;
    watch.CheckConnectTimer(window);  // back: lime, the wait, the send
    EXPECT_EQ(window.colours, (std::vector<PortColour>{PortColour::Yellow, PortColour::Lime}));
    ASSERT_TRUE(link.PortOpen());
    ASSERT_TRUE(device->WaitForReceived(6, 5s));
    EXPECT_EQ(device->Received(), "hello\r");
    const auto wait = window.sentAt - window.limeAt;
    EXPECT_GE(wait, 2000ms);
    EXPECT_LT(wait, 3000ms) << "a loaded machine may be late, never that late";
  }
  EXPECT_TRUE(indexReused) << "the pseudo-terminal's index never came back";
}

TEST_F(HangUpTest, WithoutAutoConnectTheLostPortStaysClosedAndRed) {
  window.autoConnect = false;
  Connect();
  const std::string slave = device->SlavePath();
  device->Unplug();
  link.ReleaseHungUpHandle();
  EXPECT_EQ(DescriptorsOn(slave), 0);
  watch.CheckConnectTimer(window);
  device->PlugBack();
  watch.CheckConnectTimer(window);
  EXPECT_EQ(window.colours, (std::vector<PortColour>{PortColour::Red, PortColour::Red}));
  EXPECT_FALSE(link.PortOpen());
  EXPECT_EQ(DescriptorsOn(device->SlavePath()), 1) << "only the device's own: nothing re-opened";
}

}  // namespace
}  // namespace velmora
