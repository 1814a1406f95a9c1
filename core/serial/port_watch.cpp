#include "serial/port_watch.h"

namespace velmora {

PortWatch::PortWatch(SerialLink& link, PortDiscovery* discovery)
    : link_(link), discovery_(discovery) {}

void PortWatch::Connected(const std::string& name) {
  followed_ = discovery_ != nullptr ? discovery_->IdentityOf(name) : PortIdentity{};
}

bool PortWatch::Reopen(PortWatchHost& host) {
  PortRequest request = host.CurrentRequest();
  if (discovery_ == nullptr || !CanFollow(followed_)) {
    return link_.OpenPort(request) == OpenResult::Opened;
  }
  const PortIdentity atName = discovery_->IdentityOf(request.name);
  // The list is read only when the device is not under its name.
  std::vector<ListedPort> ports;
  if (!SameDevice(followed_, atName)) ports = discovery_->Ports();
  const ReopenChoice choice = ChooseReopen(followed_, request.name, atName, ports);
  if (choice.action == ReopenChoice::Action::Refuse) return false;
  request.name = choice.name;
  if (link_.OpenPort(request) != OpenResult::Opened) return false;
  if (choice.action == ReopenChoice::Action::Elsewhere) host.PortMoved(choice.name, ports);
  return true;
}

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
  if (!Reopen(host)) {
    host.ColourPort(PortColour::Yellow);
    return;
  }
  host.PortStateChanged();
  host.ColourPort(PortColour::Lime);
  host.BlockingWait(kReopenSendDelayMs);
  if (host.SendAsReconnChecked()) host.SendAfterConnect();
}

}  // namespace velmora
