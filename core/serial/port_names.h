#pragma once

#include <string>

namespace velmora {

// The names of Linux serial ports as the port box shows them and the backend
// opens them. A tty whose kernel name begins with "tty" goes by its short name,
// the rest after "tty": "ttyUSB0" is "USB0", short enough to be kept in "Cfg".

// The port box's name of the kernel tty `kernelName` in `devDir`: the short
// name, or the full path for a tty whose name does not begin with "tty"
// ("rfcomm0").
std::string ListedPortName(const std::string& kernelName, const std::string& devDir);
// True when `listedName` is a short name (no "/" in it).
bool IsShortPortName(const std::string& listedName);

// The path the backend opens for a port name: a name with a "/" (a link to a
// pseudo-terminal, "./p" in the working directory, a by-id path) exactly as
// given; a name beginning with "tty" in `devDir` ("ttyUSB0" typed by hand);
// any other name is a short name, `devDir` + "/tty" + name. An empty name
// has no path (empty): it must never become "/dev/tty", the controlling
// terminal.
std::string DevicePathOf(const std::string& name, const std::string& devDir);

}  // namespace velmora
