// Who the ports of a Linux system are, read from a sysfs tree written by the
// test: two identical adapters told apart by their serial numbers, one
// without a serial number, a built-in UART and a pseudo-terminal's link. The
// descriptions, the identity found again after the names swap, and a
// stranger under the old name refused.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fake_sysfs.h"
#include "serial/port_discovery.h"
#include "serial/port_identity.h"
#include "serial/sysfs_port_discovery.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::FakeSysfs;

const FakeSysfs::Usb kFtdiA{"0403", "6001", "FTDI", "FT232R USB UART", "A50285BI"};
const FakeSysfs::Usb kFtdiB{"0403", "6001", "FTDI", "FT232R USB UART", "A50285BJ"};
const FakeSysfs::Usb kCh340{"1a86", "7523", "", "USB Serial", ""};

class SysfsIdentity : public ::testing::Test {
 protected:
  SysfsIdentity()
      : sysfs(fs::temp_directory_path() /
              ("velmora-identity-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    directories.sysClassTty = sysfs.ClassTty().string();
    directories.dev = sysfs.Dev().string();
    sysfs.PlugUsb("1-1", kFtdiA);
    sysfs.PlugUsb("1-2", kFtdiB);
    sysfs.PlugUsb("1-3", kCh340);
    sysfs.AddUsbTty("ttyUSB0", "1-1");
    sysfs.AddUsbTty("ttyUSB1", "1-2");
    sysfs.AddUsbTty("ttyUSB2", "1-3");
    sysfs.AddBuiltInTty("ttyS0");
    sysfs.AddPtyLink("ttyVIRT0", 3);
    discovery = CreatePortDiscovery(directories);
  }

  std::vector<std::pair<std::string, Bytes>> Descriptions() {
    std::vector<std::pair<std::string, Bytes>> lines;
    for (const ListedPort& port : discovery->Ports()) {
      lines.emplace_back(port.name, DescribePort(port.identity));
    }
    return lines;
  }
  std::string Dev(const std::string& name) const { return (sysfs.Dev() / name).string(); }

  // ttyUSB0 and ttyUSB1 trade their devices, as after a reboot.
  void SwapTheAdapters() {
    sysfs.RemoveTty("ttyUSB0");
    sysfs.RemoveTty("ttyUSB1");
    sysfs.AddUsbTty("ttyUSB0", "1-2");
    sysfs.AddUsbTty("ttyUSB1", "1-1");
  }

  ReopenChoice Reopen(const PortIdentity& wanted, const std::string& name) {
    return ChooseReopen(wanted, name, discovery->IdentityOf(name), discovery->Ports());
  }

  FakeSysfs sysfs;
  DeviceDirectories directories;
  std::unique_ptr<PortDiscovery> discovery;
};

TEST_F(SysfsIdentity, EveryPortIsDescribedInListOrder) {
  using Lines = std::vector<std::pair<std::string, Bytes>>;
  EXPECT_EQ(Descriptions(), (Lines{{"S0", "built-in serial port"},
                                   {"USB0", "FTDI FT232R USB UART (A50285BI)"},
                                   {"USB1", "FTDI FT232R USB UART (A50285BJ)"},
                                   {"USB2", "USB Serial"},
                                   {Dev("ttyVIRT0"), "virtual port (pty)"}}));
  // The names alone stay what the list holds.
  EXPECT_EQ(discovery->PortNames(),
            (std::vector<std::string>{"S0", "USB0", "USB1", "USB2", Dev("ttyVIRT0")}));
}

TEST_F(SysfsIdentity, AUsbTtyKnowsItsIdsSerialPlaceAndInterface) {
  const PortIdentity identity = discovery->IdentityOf("USB0");
  EXPECT_EQ(identity.kind, PortKind::Usb);
  EXPECT_EQ(identity.vendorId, "0403");
  EXPECT_EQ(identity.productId, "6001");
  EXPECT_EQ(identity.manufacturer, "FTDI");
  EXPECT_EQ(identity.product, "FT232R USB UART");
  EXPECT_EQ(identity.serial, "A50285BI");
  EXPECT_EQ(identity.usbPath, "1-1");
  EXPECT_EQ(identity.usbInterface, "1.0");
}

TEST_F(SysfsIdentity, EveryWayOfWritingANameFindsTheSameDevice) {
  const PortIdentity usb0 = discovery->IdentityOf("USB0");
  EXPECT_EQ(discovery->IdentityOf("ttyUSB0"), usb0);
  EXPECT_EQ(discovery->IdentityOf(Dev("ttyUSB0")), usb0);
  const fs::path byId =
      sysfs.AddByIdLink("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ttyUSB0");
  EXPECT_EQ(discovery->IdentityOf(byId.string()), usb0);
  EXPECT_EQ(discovery->IdentityOf("S0").kind, PortKind::BuiltIn);
  EXPECT_EQ(discovery->IdentityOf(Dev("ttyVIRT0")).kind, PortKind::PseudoTerminal);
  EXPECT_EQ(discovery->IdentityOf("USB9").kind, PortKind::Unknown);
  EXPECT_EQ(discovery->IdentityOf("").kind, PortKind::Unknown);
}

TEST_F(SysfsIdentity, AByIdLinkFollowsItsDeviceToTheNewName) {
  const fs::path byId = sysfs.AddByIdLink("usb-FTDI-A50285BI", "ttyUSB0");
  const PortIdentity wanted = discovery->IdentityOf(byId.string());
  SwapTheAdapters();
  sysfs.AddByIdLink("usb-FTDI-A50285BI", "ttyUSB1");
  // The link itself leads to the device again: re-opened under its name.
  const ReopenChoice choice = Reopen(wanted, byId.string());
  EXPECT_EQ(choice.action, ReopenChoice::Action::ByName);
  EXPECT_EQ(choice.name, byId.string());
}

TEST_F(SysfsIdentity, AfterTheNamesSwapTheDeviceIsFoundUnderTheOtherName) {
  const PortIdentity wanted = discovery->IdentityOf("USB0");
  SwapTheAdapters();
  const ReopenChoice choice = Reopen(wanted, "USB0");
  EXPECT_EQ(choice.action, ReopenChoice::Action::Elsewhere);
  EXPECT_EQ(choice.name, "USB1");
}

TEST_F(SysfsIdentity, AStrangerUnderTheOldNameIsRefused) {
  const PortIdentity wanted = discovery->IdentityOf("USB0");
  // Ours is gone; its twin took the name.
  sysfs.RemoveTty("ttyUSB0");
  sysfs.RemoveTty("ttyUSB1");
  sysfs.AddUsbTty("ttyUSB0", "1-2");
  EXPECT_EQ(Reopen(wanted, "USB0").action, ReopenChoice::Action::Refuse);
}

TEST_F(SysfsIdentity, WithoutSerialTheSamePlaceOnTheBusIsFollowed) {
  const PortIdentity wanted = discovery->IdentityOf("USB2");
  ASSERT_TRUE(CanFollow(wanted));
  // Re-plugged in the same socket, it came back as ttyUSB4.
  sysfs.RemoveTty("ttyUSB2");
  sysfs.AddUsbTty("ttyUSB4", "1-3");
  const ReopenChoice choice = Reopen(wanted, "USB2");
  EXPECT_EQ(choice.action, ReopenChoice::Action::Elsewhere);
  EXPECT_EQ(choice.name, "USB4");
}

TEST_F(SysfsIdentity, WithoutSerialAnotherSocketIsAStranger) {
  const PortIdentity wanted = discovery->IdentityOf("USB2");
  sysfs.RemoveTty("ttyUSB2");
  sysfs.PlugUsb("1-4", kCh340);
  sysfs.AddUsbTty("ttyUSB2", "1-4");
  EXPECT_EQ(Reopen(wanted, "USB2").action, ReopenChoice::Action::Refuse);
}

TEST_F(SysfsIdentity, BuiltInAndPseudoTerminalsGoByName) {
  EXPECT_EQ(Reopen(discovery->IdentityOf("S0"), "S0").action, ReopenChoice::Action::ByName);
  const std::string virt = Dev("ttyVIRT0");
  EXPECT_EQ(Reopen(discovery->IdentityOf(virt), virt).action, ReopenChoice::Action::ByName);
}

TEST_F(SysfsIdentity, ThePortsOfAMultiPortAdapterAreTwoDevices) {
  sysfs.PlugUsb("1-5", {"0403", "6010", "FTDI", "Dual RS232", "FT2X"});
  sysfs.AddUsbTty("ttyUSB5", "1-5", "1.0");
  sysfs.AddUsbTty("ttyUSB6", "1-5", "1.1");
  const PortIdentity second = discovery->IdentityOf("USB6");
  EXPECT_EQ(second.usbInterface, "1.1");
  sysfs.RemoveTty("ttyUSB5");
  sysfs.RemoveTty("ttyUSB6");
  sysfs.AddUsbTty("ttyUSB7", "1-5", "1.0");
  sysfs.AddUsbTty("ttyUSB8", "1-5", "1.1");
  const ReopenChoice choice = Reopen(second, "USB6");
  EXPECT_EQ(choice.action, ReopenChoice::Action::Elsewhere);
  EXPECT_EQ(choice.name, "USB8");
}

TEST_F(SysfsIdentity, TheEnvironmentPutsTheFakeSystemInPlace) {
  ::setenv(kSysfsRootVariable, sysfs.Sys().c_str(), 1);
  ::setenv(kDevDirVariable, sysfs.Dev().c_str(), 1);
  const DeviceDirectories fromEnvironment =
      DeviceDirectoriesFrom([](const char* name) { return std::getenv(name); });
  ::unsetenv(kSysfsRootVariable);
  ::unsetenv(kDevDirVariable);
  const auto fake = CreatePortDiscovery(fromEnvironment);
  EXPECT_EQ(DescribePort(fake->IdentityOf("USB1")), "FTDI FT232R USB UART (A50285BJ)");
  EXPECT_EQ(fake->PortNames(), discovery->PortNames());
}

}  // namespace
}  // namespace velmora
