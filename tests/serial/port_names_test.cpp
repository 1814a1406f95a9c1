// How a port name becomes the device the backend opens: the rule itself, and
// the POSIX backend opening names in a device directory of the test's own,
// whose entries link to pseudo-terminals played by the simulated device.

#include "serial/port_names.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "pty_device.h"
#include "serial/serial_port.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

struct PathCase {
  const char* name;
  const char* path;
};

TEST(DevicePathOf, AddsTheDeviceDirectoryOnlyToNamesWithoutASlash) {
  const PathCase cases[] = {
      {"USB0", "/dev/ttyUSB0"},
      {"S0", "/dev/ttyS0"},
      {"ACM0", "/dev/ttyACM0"},
      {"ttyUSB0", "/dev/ttyUSB0"},  // typed with its "tty"
      {"ttyAMA0", "/dev/ttyAMA0"},
      {"COM1", "/dev/ttyCOM1"},  // no such device on Linux: the open fails
      {"tty", "/dev/ttytty"},    // never the controlling terminal
      {"/dev/ttyUSB0", "/dev/ttyUSB0"},
      {"/tmp/ttyVIRT0", "/tmp/ttyVIRT0"},
      {"./p", "./p"},  // a link in the working directory
      {"/dev/serial/by-id/usb-x", "/dev/serial/by-id/usb-x"},
      {"", ""},  // nothing to open
  };
  for (const PathCase& c : cases) {
    EXPECT_EQ(DevicePathOf(c.name, "/dev"), c.path) << c.name;
  }
}

TEST(ListedPortName, ShortensOnlyTtyNames) {
  EXPECT_EQ(ListedPortName("ttyUSB0", "/dev"), "USB0");
  EXPECT_EQ(ListedPortName("ttyS0", "/dev"), "S0");
  EXPECT_EQ(ListedPortName("rfcomm0", "/dev"), "/dev/rfcomm0");
  EXPECT_EQ(ListedPortName("tty", "/dev"), "/dev/tty");
}

// A device directory in a fresh temporary directory, with ttyUSB0 a link to
// the simulated device's pseudo-terminal.
class FakeDeviceDirectory : public ::testing::Test {
 protected:
  FakeDeviceDirectory() : device_({devsim::Mode::Silent, "", {}, 0, false, true, {}}) {
    dev_ = fs::temp_directory_path() /
           ("velmora-dev-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dev_);
    fs::create_directories(dev_);
    fs::create_symlink(device_.SlavePath(), dev_ / "ttyUSB0");
    DeviceDirectories directories;
    directories.dev = dev_.string();
    port_ = CreateSerialPort(directories);
  }
  ~FakeDeviceDirectory() override {
    port_.reset();
    fs::remove_all(dev_);
  }

  // Opens `name`, writes one byte and checks that the device got it.
  void ExpectOpensTheDevice(const std::string& name) {
    ASSERT_EQ(port_->Open(name), SerialError::None) << name;
    const std::uint8_t byte = 'x';
    const std::size_t before = device_.Received().size();
    ASSERT_EQ(port_->Write(&byte, 1), SerialError::None);
    EXPECT_TRUE(device_.WaitForReceived(before + 1, std::chrono::seconds(3))) << name;
    port_->Close();
  }

  devsim::PtyDevice device_;
  fs::path dev_;
  std::unique_ptr<SerialPort> port_;
};

TEST_F(FakeDeviceDirectory, OpensAShortNameATtyNameAndAPath) {
  ExpectOpensTheDevice("USB0");
  ExpectOpensTheDevice("ttyUSB0");
  ExpectOpensTheDevice((dev_ / "ttyUSB0").string());
  ExpectOpensTheDevice(device_.SlavePath());
}

TEST_F(FakeDeviceDirectory, AnEmptyOrUnknownNameOpensNothing) {
  EXPECT_EQ(port_->Open(""), SerialError::NotFound);
  EXPECT_FALSE(port_->IsValid());
  EXPECT_NE(port_->Open("USB1"), SerialError::None);
  EXPECT_FALSE(port_->IsValid());
  EXPECT_NE(port_->Open("tty"), SerialError::None);
  EXPECT_FALSE(port_->IsValid());
}

}  // namespace
}  // namespace velmora
