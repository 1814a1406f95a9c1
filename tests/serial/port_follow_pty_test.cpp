// The watch follows a device through real pseudo-terminals played by the
// simulated device: who is behind each link is told by the test (the
// identity source is injected), the opens, writes and hang-ups are real.

#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pty_device.h"
#include "serial/port_discovery.h"
#include "serial/port_watch.h"
#include "serial/serial_link.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Who is behind each link, as the test says; a link that is not there now
// is not listed and unknown.
class InjectedIdentities : public PortDiscovery {
 public:
  std::vector<std::string> PortNames() override {
    std::vector<std::string> names;
    for (const ListedPort& port : Ports()) names.push_back(port.name);
    return names;
  }
  std::vector<ListedPort> Ports() override {
    std::vector<ListedPort> ports;
    for (const auto& [name, identity] : identities) {
      if (fs::exists(name)) ports.push_back({name, identity});
    }
    return ports;
  }
  PortIdentity IdentityOf(const std::string& name) override {
    const auto found = identities.find(name);
    return found != identities.end() && fs::exists(name) ? found->second : PortIdentity{};
  }
  std::map<std::string, PortIdentity> identities;
};

// The window as the watch sees it: connected, AutoConnect on, the send on
// connect a real write of "hello\r".
class FollowWindow : public PortWatchHost {
 public:
  explicit FollowWindow(SerialLink& link) : link_(link) {}
  bool ConnectTag() override { return true; }
  bool AutoConnectChecked() override { return true; }
  bool SendAsReconnChecked() override { return true; }
  PortRequest CurrentRequest() override { return {portName, 9600, 8, 0}; }
  void ColourPort(PortColour colour) override { colours.push_back(colour); }
  void PortStateChanged() override {}
  void BlockingWait(int) override {}
  void SendAfterConnect() override {
    const std::string line = "hello\r";
    link_.Port().Write(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
  }
  void PortMoved(const std::string& name, const std::vector<ListedPort>&) override {
    portName = name;
  }

  std::string portName;
  std::vector<PortColour> colours;

 private:
  SerialLink& link_;
};

PortIdentity Adapter(std::string serial) {
  PortIdentity identity;
  identity.kind = PortKind::Usb;
  identity.vendorId = "0403";
  identity.productId = "6001";
  identity.manufacturer = "FTDI";
  identity.product = "FT232R USB UART";
  identity.serial = std::move(serial);
  identity.usbPath = "1-1";
  return identity;
}

class FollowPtyTest : public ::testing::Test {
 protected:
  FollowPtyTest()
      : dir_(fs::temp_directory_path() / ("velmora-follow-" + std::to_string(::getpid()))) {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  ~FollowPtyTest() override {
    devices_.clear();
    fs::remove_all(dir_);
  }

  std::string Link(const std::string& name) const { return (dir_ / name).string(); }

  devsim::PtyDevice& Plug(const std::string& name) {
    devsim::DeviceOptions options;
    options.mode = devsim::Mode::Silent;
    options.linkPath = Link(name);
    devices_.push_back(std::make_unique<devsim::PtyDevice>(options));
    return *devices_.back();
  }

  // Connected to the adapter "A" behind ttyVIRT0.
  devsim::PtyDevice& ConnectToA() {
    devsim::PtyDevice& a = Plug("ttyVIRT0");
    discovery.identities[Link("ttyVIRT0")] = Adapter("A");
    window.portName = Link("ttyVIRT0");
    EXPECT_EQ(link.OpenPort(window.CurrentRequest()), OpenResult::Opened);
    watch.Connected(window.portName);
    return a;
  }

  InjectedIdentities discovery;
  SerialLink link{[] { return CreateSerialPort(); }, [](int) {}};
  FollowWindow window{link};
  PortWatch watch{link, &discovery};

 private:
  fs::path dir_;
  std::vector<std::unique_ptr<devsim::PtyDevice>> devices_;
};

TEST_F(FollowPtyTest, TheDeviceBackUnderANewLinkIsReopenedThere) {
  devsim::PtyDevice& a = ConnectToA();
  a.Unplug();
  devsim::PtyDevice& back = Plug("ttyVIRT1");
  discovery.identities[Link("ttyVIRT1")] = Adapter("A");

  watch.CheckConnectTimer(window);

  EXPECT_EQ(window.portName, Link("ttyVIRT1"));
  EXPECT_EQ(window.colours, std::vector<PortColour>{PortColour::Lime});
  ASSERT_TRUE(link.PortOpen());
  ASSERT_TRUE(back.WaitForReceived(6, 5s));
  EXPECT_EQ(back.Received(), "hello\r");
  EXPECT_EQ(a.Received(), "");
}

TEST_F(FollowPtyTest, TheLinkRepointedToTheSameDeviceIsReopenedByName) {
  devsim::PtyDevice& a = ConnectToA();
  a.Unplug();
  a.PlugBack();

  watch.CheckConnectTimer(window);

  EXPECT_EQ(window.portName, Link("ttyVIRT0"));
  EXPECT_EQ(window.colours, std::vector<PortColour>{PortColour::Lime});
  ASSERT_TRUE(a.WaitForReceived(6, 5s));
  EXPECT_EQ(a.Received(), "hello\r");
}

TEST_F(FollowPtyTest, AStrangerOnTheOldLinkIsRefusedAndTheDeviceFollowedWhenBack) {
  devsim::PtyDevice& a = ConnectToA();
  a.Unplug();
  // Another adapter takes the old link.
  devsim::PtyDevice& stranger = Plug("ttyVIRT0");
  discovery.identities[Link("ttyVIRT0")] = Adapter("B");

  watch.CheckConnectTimer(window);
  watch.CheckConnectTimer(window);

  EXPECT_EQ(window.colours, (std::vector<PortColour>{PortColour::Yellow, PortColour::Yellow}));
  EXPECT_FALSE(link.PortOpen());
  EXPECT_FALSE(link.Port().IsValid());
  // A pseudo-terminal starts at 38400 baud: 9600 would be our open's.
  const std::optional<termios> strangerSettings = stranger.LineSettings();
  ASSERT_TRUE(strangerSettings.has_value());
  EXPECT_NE(cfgetospeed(&*strangerSettings), B9600) << "the stranger was configured";
  EXPECT_EQ(window.portName, Link("ttyVIRT0"));

  devsim::PtyDevice& back = Plug("ttyVIRT2");
  discovery.identities[Link("ttyVIRT2")] = Adapter("A");
  watch.CheckConnectTimer(window);

  EXPECT_EQ(window.portName, Link("ttyVIRT2"));
  ASSERT_TRUE(back.WaitForReceived(6, 5s));
  EXPECT_EQ(back.Received(), "hello\r");
  const std::optional<termios> backSettings = back.LineSettings();
  ASSERT_TRUE(backSettings.has_value());
  EXPECT_EQ(cfgetospeed(&*backSettings), B9600);
  EXPECT_EQ(stranger.Received(), "");
}

}  // namespace
}  // namespace velmora
