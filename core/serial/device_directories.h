#pragma once

#include <functional>
#include <string>

namespace velmora {

// Where a Linux system keeps its serial ports: the sysfs class directory the
// port list and the devices' identities are read from, and the device
// directory the ports are listed and opened in. Tests pass directories of
// their own; Windows has no use for them.
struct DeviceDirectories {
  std::string sysClassTty = "/sys/class/tty";
  std::string dev = "/dev";
};

// The environment variables that put a fake system in place of the real one,
// for tests by hand: VELMORA_SYSFS_ROOT replaces "/sys" (the tty class is
// read from "$VELMORA_SYSFS_ROOT/class/tty"), VELMORA_DEV_DIR replaces
// "/dev". An empty or unset variable keeps the system's directory.
inline constexpr char kSysfsRootVariable[] = "VELMORA_SYSFS_ROOT";
inline constexpr char kDevDirVariable[] = "VELMORA_DEV_DIR";

// The directories the environment asks for; `lookup` reads one variable
// (nullptr: unset).
DeviceDirectories DeviceDirectoriesFrom(const std::function<const char*(const char*)>& lookup);

}  // namespace velmora
