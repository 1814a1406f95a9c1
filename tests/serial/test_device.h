#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace velmora::testing {

// The line settings as the device end of the line sees them.
struct DeviceLine {
  std::uint32_t baud = 0;
  int stopBits = 1;  // 1 or 2
  bool parity = false;
};

// A simulated device on the far end of the port under test: a pseudo-terminal
// played in this process on Linux, or, for the Windows build under Wine, a
// pseudo-terminal that Wine maps as a COM port, played by a Linux process this
// one talks to. The device answers nothing and keeps what it receives.
class TestDevice {
 public:
  virtual ~TestDevice() = default;
  // The name the port under test opens ("/tmp/velmora-dev-..." or "COM7").
  virtual std::string PortName() const = 0;
  // Sends bytes as the device; true once the line has taken all of them.
  virtual bool Send(const std::string& bytes) = 0;
  // Waits until at least `size` bytes have been received; false on time-out.
  virtual bool WaitForReceived(std::size_t size, std::chrono::milliseconds timeout) = 0;
  // Everything received since the device was plugged in.
  virtual std::string Received() = 0;
  // The line settings the port applied; none when they cannot be read.
  virtual std::optional<DeviceLine> Line() = 0;
  // The device goes away with its name; PlugBack brings both back.
  virtual void Unplug() = 0;
  virtual void PlugBack() = 0;
};

// A fresh device; the test fails (and the pointer is empty) when none can be had.
std::unique_ptr<TestDevice> PlugTestDevice();
// Linux only: a device whose name is the link `linkPath` (for the Wine driver).
std::unique_ptr<TestDevice> PlugTestDeviceAt(const std::string& linkPath);

// Where the system under the tests is known to behave unlike the real one.
enum class KnownDifference {
  SharedOpen,           // a second open of a held port succeeds
  OpenOfAVanishedPort,  // opening a port whose device is gone succeeds
  ModemLinesReadAsSet,  // DTR and RTS read back as set on a pseudo-terminal
};

// Why a test cannot show its behaviour here, or empty when it can.
std::string KnownDifferenceHere(KnownDifference difference);

}  // namespace velmora::testing
