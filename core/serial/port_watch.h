#pragma once

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
};

// The wait between a re-open by the watch and its send on connect.
inline constexpr int kReopenSendDelayMs = 2000;

// The once-a-second watch of the port (CheckConnect): finds a vanished
// port, turns the indicator red or re-opens the port when AutoConnect is
// checked. It never shows a message box, and never changes the tag, the
// caption "Disconnect" or the port controls.
class PortWatch {
 public:
  explicit PortWatch(SerialLink& link);

  // One tick, in this order: probe; red when the loss has just happened
  // without AutoConnect; red while the user stays connected to a lost port
  // without AutoConnect; close a port that is not present; with AutoConnect,
  // re-open (lime, the wait, the send on connect; or yellow) or give the
  // window colour when the user is disconnected.
  void CheckConnectTimer(PortWatchHost& host);

 private:
  SerialLink& link_;
};

}  // namespace velmora
