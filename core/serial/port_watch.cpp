#include "serial/port_watch.h"

namespace velmora {

PortWatch::PortWatch(SerialLink& link) : link_(link) {}

void PortWatch::CheckConnectTimer(PortWatchHost& host) {
  const bool present = link_.Probe();
  const bool autoConnect = host.AutoConnectChecked();
  const bool tag = host.ConnectTag();
  // The loss has just happened.
  if (!autoConnect && !present && link_.PortOpen()) host.ColourPort(PortColour::Red);
  // The port stays lost.
  if (tag && !link_.PortOpen() && !autoConnect) host.ColourPort(PortColour::Red);
  // ClosePort acts only while the port counts as open: a lost port is
  // released exactly once.
  if (!present && link_.PortOpen()) {
    link_.ClosePort();
    host.PortStateChanged();
  }
  if (!autoConnect) return;
  if (!tag) {
    host.ColourPort(PortColour::Window);
    return;
  }
  if (present) return;
  // No message box on this path: the yellow indicator is the only sign.
  if (link_.OpenPort(host.CurrentRequest()) != OpenResult::Opened) {
    host.ColourPort(PortColour::Yellow);
    return;
  }
  host.PortStateChanged();
  host.ColourPort(PortColour::Lime);
  host.BlockingWait(kReopenSendDelayMs);
  if (host.SendAsReconnChecked()) host.SendAfterConnect();
}

}  // namespace velmora
