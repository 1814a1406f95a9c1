#pragma once

#include <string>
#include <vector>

#include "serial/port_discovery.h"
#include "serial/port_identity.h"
#include "serial/serial_link.h"

namespace velmora {

// The colours the port watch gives the port box ComPort.
enum class PortColour {
  Window,  // the system window colour: the user is disconnected
  Lime,    // re-opened
  Red,     // lost, and no automatic re-open
  Yellow,  // a re-open attempt failed; the next tick tries again
};

// What the watch reads from the window and asks of it.
class PortWatchHost {
 public:
  virtual ~PortWatchHost() = default;
  // The tag of BTConnect is 1: the user wants to be connected.
  virtual bool ConnectTag() = 0;
  virtual bool AutoConnectChecked() = 0;
  virtual bool SendAsReconnChecked() = 0;
  // The request "Connect" would make from the port bar as it stands.
  virtual PortRequest CurrentRequest() = 0;
  // Colours ComPort and repaints it at once (the wait that may follow
  // blocks the event loop).
  virtual void ColourPort(PortColour colour) = 0;
  // The port was closed or opened here: drop or make the receive notifier,
  // wake TimerPeriod after an open.
  virtual void PortStateChanged() = 0;
  // A plain blocking sleep on the window thread, never a nested event loop:
  // no receive tick, periodic send or click may run inside a re-open.
  virtual void BlockingWait(int milliseconds) = 0;
  // CheckSendDataAftConnect.
  virtual void SendAfterConnect() = 0;
  // The watch has re-opened the port's device under `name`, found in
  // `ports`: the port box shows that list and that name.
  virtual void PortMoved(const std::string& name, const std::vector<ListedPort>& ports) = 0;
};

// The wait between a re-open by the watch and its send on connect.
inline constexpr int kReopenSendDelayMs = 2000;

// The once-a-second watch of the port (CheckConnect): finds a vanished
// port, turns the indicator red or re-opens the port when AutoConnect is
// checked. It never shows a message box, and never changes the tag, the
// caption "Disconnect" or the port controls.
//
// A port whose device can be told apart from any other (a USB adapter with a
// serial number, or without one at the same place on the bus) is followed:
// the re-open takes the name only while the same device is under it, looks
// for the device under another name when it is not, and never opens another
// device in its place. Without an identity the name alone counts.
class PortWatch {
 public:
  // `discovery` tells who is under a name; without it every port is
  // followed by its name.
  explicit PortWatch(SerialLink& link, PortDiscovery* discovery = nullptr);

  // The user has connected to `name`: remember who is there. Forgotten at a
  // disconnect (Forget) and replaced by the next connect.
  void Connected(const std::string& name);
  void Forget() { followed_ = {}; }
  const PortIdentity& Followed() const { return followed_; }

  // One tick, in this order: probe; red when the loss has just happened
  // without AutoConnect; red while the user stays connected to a lost port
  // without AutoConnect; close a port that is not present; with AutoConnect,
  // re-open (lime, the wait, the send on connect; or yellow) or give the
  // window colour when the user is disconnected.
  void CheckConnectTimer(PortWatchHost& host);

 private:
  // The re-open of a lost port; false when it did not open (yellow).
  bool Reopen(PortWatchHost& host);

  SerialLink& link_;
  PortDiscovery* discovery_;
  PortIdentity followed_;
};

}  // namespace velmora
