#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "serial/device_directories.h"
#include "serial/line_settings.h"
#include "serial/serial_error.h"

namespace velmora {

// One serial port handle. The backend file (termios or Win32) is chosen by
// the build; nothing else in the program knows which one it is.
class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens the device of the name, read and write, exclusively, only if
  // it exists, without blocking on modem lines. A previous handle of this
  // object is closed first.
  virtual SerialError Open(const std::string& name) = 0;
  // Driver queue sizes; a refusal is not an error worth reporting.
  virtual void SetQueueSizes(std::uint32_t rx, std::uint32_t tx) = 0;
  // Applies the settings and checks that the device took them.
  virtual SerialError Apply(const LineSettings& settings) = 0;
  // The port watch's probe: applies the settings again at once, without
  // reading them back and without waiting for output to drain. Fails on a
  // vanished or closed handle.
  virtual SerialError Probe(const LineSettings& settings) { return Apply(settings); }
  // The device has hung up (unplugged adapter, closed pseudo-terminal
  // master): the handle only fails from now on and should be closed, so the
  // system can give the device its name back when it returns.
  virtual bool HungUp() { return false; }
  // Discards everything pending in both directions.
  virtual SerialError Purge() = 0;
  // Number of received bytes waiting in the driver.
  virtual SerialError BytesWaiting(std::uint32_t& count) = 0;
  // Reads at most `size` bytes that are already waiting; never blocks.
  // Returns the count read (0 on an error, which goes to `error`).
  virtual std::size_t Read(std::uint8_t* data, std::size_t size, SerialError& error) = 0;
  // One synchronous write of the whole packet. Returns when the bytes have
  // left, or after a bounded wait, dropping what the device did not take.
  virtual SerialError Write(const std::uint8_t* data, std::size_t size) = 0;
  // Closes the handle; afterwards every operation fails with NotOpen.
  virtual void Close() = 0;
  virtual bool IsValid() const = 0;
  // A descriptor that becomes readable when bytes arrive (POSIX), or -1.
  virtual int ReadinessDescriptor() const { return -1; }
};

// The backend of this platform. On Linux a port name is opened by the rule
// of port_names.h, in `directories.dev`.
std::unique_ptr<SerialPort> CreateSerialPort(const DeviceDirectories& directories = {});

}  // namespace velmora
