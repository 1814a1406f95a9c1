#include "serial/port_identity.h"

#include "common/cp1251.h"

namespace velmora {

Bytes SystemTextTo1251(std::string_view utf8) {
  Bytes text = Utf8ToCp1251(utf8);
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    // C0 controls, DEL, and 0x98 (U+0098, a C1 control kept for the round
    // trip) would break the drop-down's line.
    if (byte < 0x20 || byte == 0x7F || byte == 0x98) c = '?';
  }
  return text;
}

Bytes DescribePort(const PortIdentity& identity) {
  switch (identity.kind) {
    case PortKind::Unknown: return {};
    case PortKind::BuiltIn: return "built-in serial port";
    case PortKind::PseudoTerminal: return "virtual port (pty)";
    case PortKind::Usb: break;
  }
  Bytes text = SystemTextTo1251(identity.manufacturer);
  const Bytes product = SystemTextTo1251(identity.product);
  if (!text.empty() && !product.empty()) text += ' ';
  text += product;
  if (text.empty()) {
    text =
        "USB " + SystemTextTo1251(identity.vendorId) + ":" + SystemTextTo1251(identity.productId);
  }
  if (!identity.serial.empty()) text += " (" + SystemTextTo1251(identity.serial) + ")";
  return text;
}

bool CanFollow(const PortIdentity& identity) {
  return identity.kind == PortKind::Usb && !identity.vendorId.empty() &&
         !identity.productId.empty() && (!identity.serial.empty() || !identity.usbPath.empty());
}

bool SameDevice(const PortIdentity& wanted, const PortIdentity& candidate) {
  if (!CanFollow(wanted) || candidate.kind != PortKind::Usb) return false;
  if (candidate.vendorId != wanted.vendorId || candidate.productId != wanted.productId ||
      candidate.usbInterface != wanted.usbInterface || candidate.serial != wanted.serial) {
    return false;
  }
  return !wanted.serial.empty() || candidate.usbPath == wanted.usbPath;
}

std::optional<std::string> FindDevice(const PortIdentity& wanted,
                                      const std::vector<ListedPort>& ports) {
  std::optional<std::string> found;
  for (const ListedPort& port : ports) {
    if (!SameDevice(wanted, port.identity)) continue;
    if (found) return std::nullopt;
    found = port.name;
  }
  return found;
}

ReopenChoice ChooseReopen(const PortIdentity& wanted, const std::string& name,
                          const PortIdentity& atName, const std::vector<ListedPort>& ports) {
  using Action = ReopenChoice::Action;
  if (!CanFollow(wanted) || SameDevice(wanted, atName)) return {Action::ByName, name};
  const std::optional<std::string> moved = FindDevice(wanted, ports);
  // The same name in the list means the two reads disagree (the device is
  // coming or going): wait for the next tick rather than guess.
  if (!moved || *moved == name) return {Action::Refuse, {}};
  return {Action::Elsewhere, *moved};
}

}  // namespace velmora
