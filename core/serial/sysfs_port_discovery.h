#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "serial/device_directories.h"
#include "serial/port_identity.h"

namespace velmora {

// Orders names the way people count: "ttyUSB2" before "ttyUSB10". Runs of
// digits compare by value, everything else byte by byte.
bool NaturalLess(std::string_view a, std::string_view b);

// The serial ports of a Linux system, read from a sysfs tty class directory
// and a device directory (normally "/sys/class/tty" and "/dev"):
// - every tty of the class that has a `device` link and a node in the device
//   directory, except UARTs whose `type` is 0 (a legacy port with no chip
//   behind it): first those whose name begins with "tty" by their short names
//   ("USB0", see port_names.h), then the others as device paths, each in
//   natural order;
// - then every symlink directly in the device directory whose target is an
//   existing pseudo-terminal (".../pts/N"): virtual ports made by a pty tool
//   or by our simulated device, also in natural order.
// A pseudo-terminal link named like a tty of the class is that tty (a test's
// device directory may link its ttys to pseudo-terminals): it is listed once.
std::vector<std::string> ListSerialPorts(const std::filesystem::path& sysClassTty,
                                         const std::filesystem::path& devDir);
// The same list with who each port is.
std::vector<ListedPort> ListSerialPortsWithIdentities(const std::filesystem::path& sysClassTty,
                                                      const std::filesystem::path& devDir);

// Who the kernel tty `kernelName` ("ttyUSB0") of the class is:
// - a USB device when one of the directories above its `device` (followed
//   to its real place under /sys/devices) holds `idVendor` and `idProduct`:
//   that directory gives the ids, `manufacturer`, `product`, `serial` (each
//   may be missing) and, by its name, the place on the bus ("1-2.3"); the
//   directory below it, the USB interface ("1-2.3:1.0"), gives the
//   interface ("1.0");
// - built-in when it has a `device` and no USB device above it;
// - unknown without a `device` (virtual consoles) or when it is gone.
PortIdentity ReadTtyIdentity(const std::filesystem::path& sysClassTty,
                             const std::string& kernelName);

// Who is under a port name now (DevicePathOf gives its path): a node of the
// device directory named as a tty of the class is that tty; any other path
// (a /dev/serial/by-id/... link) is followed to its node, which is a tty of
// the device directory or a pseudo-terminal; anything else, or nothing
// there, is unknown.
PortIdentity IdentityOfPort(const std::string& name, const DeviceDirectories& directories);

}  // namespace velmora
