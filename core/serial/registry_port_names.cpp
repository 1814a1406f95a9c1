#include "serial/registry_port_names.h"

namespace velmora {

std::vector<std::string> PortNamesFromRegistry(const std::vector<RegistryValue>& values) {
  std::vector<std::string> names;
  for (const auto& value : values) {
    if (value.type != kRegistryString && value.type != kRegistryExpandString) continue;
    names.push_back(value.data.substr(0, value.data.find('\0')));
  }
  return names;
}

}  // namespace velmora
