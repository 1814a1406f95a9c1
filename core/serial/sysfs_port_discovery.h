#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

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
std::vector<std::string> ListSerialPorts(const std::filesystem::path& sysClassTty,
                                         const std::filesystem::path& devDir);

}  // namespace velmora
