#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"

namespace velmora {

// What kind of device stands behind a port name.
enum class PortKind {
  Unknown,         // nothing known: absent, or a platform that tells nothing
  Usb,             // a USB adapter; the fields below say which
  BuiltIn,         // a UART of the machine (or a card): a fixed name
  PseudoTerminal,  // a pseudo-terminal or a link to one
};

// Who a port is, as the system describes it. The USB strings are kept as the
// system gives them (UTF-8 from sysfs, the trailing line end removed), so two
// devices compare by their exact bytes; DescribePort turns them into text.
struct PortIdentity {
  PortKind kind = PortKind::Unknown;
  std::string vendorId;      // "0403"
  std::string productId;     // "6001"
  std::string manufacturer;  // "FTDI"
  std::string product;       // "FT232R USB UART"
  std::string serial;        // "A50285BI"; empty: the device has none
  std::string usbPath;       // where on the bus it is plugged: "1-2.3"
  std::string usbInterface;  // the interface of a multi-port adapter: "1.0"

  bool operator==(const PortIdentity&) const = default;
};

// An identity that tells only the kind (built-in, pseudo-terminal).
inline PortIdentity IdentityOfKind(PortKind kind) {
  PortIdentity identity;
  identity.kind = kind;
  return identity;
}

// A port of the list and who it is.
struct ListedPort {
  std::string name;
  PortIdentity identity;
};

// The drop-down's description of a port, in 1251 bytes (empty when nothing is
// known): "FTDI FT232R USB UART (A50285BI)", "USB 0403:6001" when the device
// gives no strings, "built-in serial port", "virtual port (pty)".
Bytes DescribePort(const PortIdentity& identity);

// A string from sysfs (UTF-8, normally ASCII) as 1251 text: characters the
// code page lacks, broken UTF-8 and control characters each become '?'.
Bytes SystemTextTo1251(std::string_view utf8);

// True when the device can be told apart from any other: a USB device with
// its ids and a serial number, or without one its place on the bus.
bool CanFollow(const PortIdentity& identity);

// `candidate` is the followable device `wanted`: the same ids and interface,
// and the same serial number; a device without one at the same place on the
// bus.
bool SameDevice(const PortIdentity& wanted, const PortIdentity& candidate);

// The one port of `ports` that is the device `wanted`; nothing when none is,
// or when several are (two adapters with one serial number cannot be told
// apart).
std::optional<std::string> FindDevice(const PortIdentity& wanted,
                                      const std::vector<ListedPort>& ports);

// What the port watch re-opens after a loss.
struct ReopenChoice {
  enum class Action {
    ByName,     // the name as it stands (no identity, or the same device there)
    Elsewhere,  // the same device under `name`
    Refuse,     // the device is nowhere; never open a stranger
  };
  Action action = Action::ByName;
  std::string name;
};

// `wanted` was connected under `name`; `atName` is who is under `name` now.
ReopenChoice ChooseReopen(const PortIdentity& wanted, const std::string& name,
                          const PortIdentity& atName, const std::vector<ListedPort>& ports);

}  // namespace velmora
