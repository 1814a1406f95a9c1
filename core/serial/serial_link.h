#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "serial/line_settings.h"
#include "serial/serial_port.h"

namespace velmora {

// What the port bar holds when "Connect" is pressed. A value the user typed
// that is none of the items arrives as nullopt.
struct PortRequest {
  std::string name;                       // the port combo box's text, unchanged
  std::optional<std::uint32_t> baudRate;  // the selected item's number
  std::optional<std::uint8_t> dataBits;   // the selected item's number
  std::optional<int> stopBitsItem;        // 0 = "1", 1 = "1,5", 2 = "2"
};

enum class OpenResult {
  Opened,           // open and configured
  NoSelection,      // a line setting is no item of its list; nothing was touched
  EmptyName,        // no port name; the open failed
  OpenFailed,       // absent, in use, or a name the platform refuses
  SettingsRefused,  // opened, but the device refused the settings
};

// The one serial port of the terminal: its handle, its line settings and
// whether it is open and configured.
class SerialLink {
 public:
  using PortFactory = std::function<std::unique_ptr<SerialPort>()>;
  using Sleeper = std::function<void(int milliseconds)>;

  SerialLink(PortFactory factory, Sleeper sleeper);

  OpenResult OpenPort(const PortRequest& request);
  void ClosePort();

  bool PortOpen() const { return portOpen_; }
  // The port has vanished (the watch will close it); keeps the handle.
  void MarkLost() { portOpen_ = false; }
  // The watch's probe: the settings can be applied to the handle again.
  // Fails on a closed or never-opened handle.
  bool Probe() { return port_->Probe(settings_) == SerialError::None; }
  // The handle is valid and its device has hung up.
  bool PortHungUp() { return port_->IsValid() && port_->HungUp(); }
  // Closes the handle of a port that has hung up, at once, but leaves
  // PortOpen as it is: the watch's next probe fails on the closed handle and
  // handles the loss (red, or the re-open). Delete whatever watches the
  // handle's descriptor first.
  void ReleaseHungUpHandle() { port_->Close(); }
  const LineSettings& Settings() const { return settings_; }
  // The current handle; may be invalid (closed, or a failed open).
  SerialPort& Port() { return *port_; }
  SerialError LastError() const { return lastError_; }
  // Counts the successful opens: whatever was learnt about the port of an
  // earlier count (a hang-up, a failed read) says nothing about this one.
  std::uint32_t OpenCount() const { return openCount_; }

 private:
  PortFactory factory_;
  Sleeper sleeper_;
  std::unique_ptr<SerialPort> port_;
  LineSettings settings_{};
  bool portOpen_ = false;
  SerialError lastError_ = SerialError::None;
  std::uint32_t openCount_ = 0;
};

}  // namespace velmora
