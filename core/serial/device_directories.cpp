#include "serial/device_directories.h"

namespace velmora {

DeviceDirectories DeviceDirectoriesFrom(const std::function<const char*(const char*)>& lookup) {
  DeviceDirectories directories;
  const char* const sysfsRoot = lookup(kSysfsRootVariable);
  if (sysfsRoot != nullptr && *sysfsRoot != '\0') {
    std::string root = sysfsRoot;
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    directories.sysClassTty = (root == "/" ? std::string() : root) + "/class/tty";
  }
  const char* const dev = lookup(kDevDirVariable);
  if (dev != nullptr && *dev != '\0') {
    directories.dev = dev;
    while (directories.dev.size() > 1 && directories.dev.back() == '/') directories.dev.pop_back();
  }
  return directories;
}

}  // namespace velmora
