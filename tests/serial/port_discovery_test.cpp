#include "serial/port_discovery.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "serial/registry_port_names.h"
#include "serial/sysfs_port_discovery.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// A sysfs tty class and a device directory in a fresh temporary directory,
// removed again by the destructor.
class FakeSystem : public ::testing::Test {
 protected:
  FakeSystem() {
    root_ = fs::temp_directory_path() /
            ("velmora-sysfs-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    sys_ = root_ / "sys" / "class" / "tty";
    dev_ = root_ / "dev";
    fs::remove_all(root_);
    fs::create_directories(sys_);
    fs::create_directories(dev_ / "pts");
    fs::create_directories(root_ / "devices");
  }
  ~FakeSystem() override { fs::remove_all(root_); }

  // /sys/class/tty/NAME, with a `device` link when `hardware`, a `type`
  // file when `uartType` >= 0, and /dev/NAME.
  void AddTty(const std::string& name, bool hardware, int uartType = -1) {
    fs::create_directories(sys_ / name);
    if (hardware) fs::create_directory_symlink(root_ / "devices", sys_ / name / "device");
    if (uartType >= 0) std::ofstream(sys_ / name / "type") << uartType << '\n';
    std::ofstream(dev_ / name).put('\0');
  }
  void AddPts(int number) { std::ofstream(dev_ / "pts" / std::to_string(number)).put('\0'); }
  void Link(const std::string& name, const fs::path& target) {
    fs::create_symlink(target, dev_ / name);
  }
  std::string Dev(const std::string& name) const { return (dev_ / name).string(); }
  Names List() const { return ListSerialPorts(sys_, dev_); }

  fs::path root_;
  fs::path sys_;
  fs::path dev_;
};

TEST_F(FakeSystem, ListsHardwareTtysByTheirShortNamesInNaturalOrder) {
  AddTty("ttyUSB10", true);
  AddTty("ttyUSB2", true);
  AddTty("ttyS0", true, 4);
  AddTty("ttyACM0", true);
  AddTty("ttyAMA0", true);
  EXPECT_EQ(List(), (Names{"ACM0", "AMA0", "S0", "USB2", "USB10"}));
}

TEST_F(FakeSystem, ListsShortNamesThenOtherTtysAsPathsThenPseudoTerminalLinks) {
  AddPts(4);
  Link("ttyVIRT0", "pts/4");
  AddTty("rfcomm1", true);
  AddTty("rfcomm0", true);
  AddTty("ttyUSB0", true);
  AddTty("ttyS1", true, 4);
  EXPECT_EQ(List(), (Names{"S1", "USB0", Dev("rfcomm0"), Dev("rfcomm1"), Dev("ttyVIRT0")}));
}

TEST_F(FakeSystem, DropsPhantomUartsAndTtysWithoutADevice) {
  AddTty("ttyS0", true, 1);
  AddTty("ttyS1", true, 0);
  AddTty("tty0", false);
  AddTty("console", false);
  EXPECT_EQ(List(), (Names{"S0"}));
}

TEST_F(FakeSystem, DropsATtyWithoutANodeInTheDeviceDirectory) {
  AddTty("ttyUSB0", true);
  fs::remove(dev_ / "ttyUSB0");
  EXPECT_EQ(List(), Names{});
}

TEST_F(FakeSystem, AppendsLinksToLivePseudoTerminals) {
  AddTty("ttyUSB0", true);
  AddPts(3);
  AddPts(12);
  Link("ttyVIRT10", dev_ / "pts" / "12");
  Link("ttyVIRT2", "pts/3");            // relative to the device directory
  Link("stdin", "/proc/self/fd/0");     // not a pseudo-terminal
  Link("ptmx", "pts/ptmx");             // the multiplexer, no terminal
  Link("ttyGONE", dev_ / "pts" / "7");  // its tool has ended
  EXPECT_EQ(List(), (Names{"USB0", Dev("ttyVIRT2"), Dev("ttyVIRT10")}));
}

TEST_F(FakeSystem, MissingDirectoriesGiveNoPorts) {
  EXPECT_EQ(ListSerialPorts(root_ / "nosys", root_ / "nodev"), Names{});
}

TEST(NaturalLess, ComparesRunsOfDigitsByValue) {
  EXPECT_TRUE(NaturalLess("ttyUSB2", "ttyUSB10"));
  EXPECT_FALSE(NaturalLess("ttyUSB10", "ttyUSB2"));
  EXPECT_TRUE(NaturalLess("ttyACM0", "ttyS0"));
  EXPECT_TRUE(NaturalLess("ttyS9", "ttyUSB0"));
  EXPECT_TRUE(NaturalLess("tty", "tty0"));
  EXPECT_FALSE(NaturalLess("ttyS1", "ttyS1"));
}

TEST(PortNamesFromRegistry, TakesTheStringDataInEnumerationOrder) {
  const std::vector<RegistryValue> values = {
      {"\\Device\\Serial2", kRegistryString, std::string("COM3\0", 5)},
      {"\\Device\\VCP0", kRegistryString, std::string("COM7\0\0", 6)},
      {"\\Device\\Odd", 4, std::string("\x01\x00\x00\x00", 4)},  // REG_DWORD
      {"\\Device\\Serial0", kRegistryString, "COM3"},
  };
  EXPECT_EQ(PortNamesFromRegistry(values), (Names{"COM3", "COM7", "COM3"}));
}

class ListedPorts : public PortDiscovery {
 public:
  explicit ListedPorts(Names names) : names_(std::move(names)) {}
  Names PortNames() override { return names_; }

 private:
  Names names_;
};

TEST(ScanPorts, SelectsTheFirstFoundPort) {
  ListedPorts discovery({"COM3", "COM7"});
  const PortScan scan = ScanPorts(discovery);
  EXPECT_EQ(scan.items, (Names{"COM3", "COM7"}));
  EXPECT_EQ(scan.selected, 0);
  EXPECT_TRUE(scan.foundAny);
}

TEST(ScanPorts, FallsBackToComOneToNineWithNothingSelected) {
  ListedPorts discovery({});
  const PortScan scan = ScanPorts(discovery);
  EXPECT_EQ(scan.items,
            (Names{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"}));
  EXPECT_EQ(scan.selected, -1);
  EXPECT_FALSE(scan.foundAny);
}

}  // namespace
}  // namespace velmora
