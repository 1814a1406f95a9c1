#include "serial/port_names.h"

namespace velmora {
namespace {

constexpr char kTtyPrefix[] = "tty";

// "tty" alone is no tty name: its short name would be empty, and "/dev/tty"
// is the controlling terminal.
bool BeginsWithTty(const std::string& name) {
  return name.size() > 3 && name.rfind(kTtyPrefix, 0) == 0;
}

}  // namespace

std::string ListedPortName(const std::string& kernelName, const std::string& devDir) {
  if (BeginsWithTty(kernelName)) return kernelName.substr(3);
  return devDir + "/" + kernelName;
}

bool IsShortPortName(const std::string& listedName) {
  return listedName.find('/') == std::string::npos;
}

std::string DevicePathOf(const std::string& name, const std::string& devDir) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return name;
  if (BeginsWithTty(name)) return devDir + "/" + name;
  return devDir + "/" + kTtyPrefix + name;
}

}  // namespace velmora
