// The test device on Linux: the simulated device in this process.

#include <unistd.h>

#include <atomic>
#include <filesystem>

#include "pty_device.h"
#include "test_device.h"

namespace velmora::testing {
namespace {

// A link beside the other temporary files, so that the device keeps its name
// across unplugging as a USB adapter's port does.
std::string FreshLinkPath() {
  static std::atomic<int> counter{0};
  return (std::filesystem::temp_directory_path() /
          ("velmora-dev-" + std::to_string(::getpid()) + "-" + std::to_string(++counter)))
      .string();
}

class LocalDevice final : public TestDevice {
 public:
  explicit LocalDevice(const std::string& linkPath) : device_(Options(linkPath)) {}

  std::string PortName() const override { return device_.PortName(); }
  bool Send(const std::string& bytes) override {
    device_.Send(bytes);
    return device_.WaitUntilSent(std::chrono::seconds(5));
  }
  bool WaitForReceived(std::size_t size, std::chrono::milliseconds timeout) override {
    return device_.WaitForReceived(size, timeout);
  }
  std::string Received() override { return device_.Received(); }
  std::optional<DeviceLine> Line() override {
    const auto seen = device_.LineSettings();
    if (!seen) return std::nullopt;
    return DeviceLine{BaudOf(cfgetospeed(&*seen)), (seen->c_cflag & CSTOPB) != 0 ? 2 : 1,
                      (seen->c_cflag & PARENB) != 0};
  }
  void Unplug() override { device_.Unplug(); }
  void PlugBack() override { device_.PlugBack(); }

 private:
  static devsim::DeviceOptions Options(const std::string& linkPath) {
    devsim::DeviceOptions options;
    options.mode = devsim::Mode::Silent;
    options.linkPath = linkPath;
    return options;
  }
  static std::uint32_t BaudOf(speed_t speed) {
    switch (speed) {
      case B1200: return 1200;
      case B2400: return 2400;
      case B4800: return 4800;
      case B9600: return 9600;
      case B19200: return 19200;
      case B38400: return 38400;
      case B57600: return 57600;
      case B115200: return 115200;
      default: return 0;
    }
  }

  devsim::PtyDevice device_;
};

}  // namespace

std::unique_ptr<TestDevice> PlugTestDevice() {
  return std::make_unique<LocalDevice>(FreshLinkPath());
}

std::unique_ptr<TestDevice> PlugTestDeviceAt(const std::string& linkPath) {
  return std::make_unique<LocalDevice>(linkPath);
}

std::string KnownDifferenceHere(KnownDifference) { return {}; }

}  // namespace velmora::testing
