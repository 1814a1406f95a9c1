#pragma once

#include <string>

namespace velmora {

// Where a Linux system keeps its serial ports: the sysfs class directory the
// port list is read from, and the device directory the ports are listed and
// opened in. Tests pass directories of their own; Windows has no use for them.
struct DeviceDirectories {
  std::string sysClassTty = "/sys/class/tty";
  std::string dev = "/dev";
};

}  // namespace velmora
