#include <windows.h>

#include "serial/port_discovery.h"
#include "serial/registry_port_names.h"

namespace velmora {

namespace {

// Value names such as "\Device\Serial0" or "\Device\VCP0"; the data of a
// port name is a few bytes ("COM12\0").
constexpr DWORD kMaxValueName = 256;
constexpr DWORD kMaxValueData = 256;

// HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM, opened for full access
// and never created. A user without administrator rights is refused that
// access and gets no values, which the caller answers with the fallback list.
std::vector<RegistryValue> ReadSerialCommValues() {
  std::vector<RegistryValue> values;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_ALL_ACCESS,
                    &key) != ERROR_SUCCESS) {
    return values;
  }
  for (DWORD index = 0;; ++index) {
    char name[kMaxValueName];
    DWORD nameLength = kMaxValueName;
    BYTE data[kMaxValueData];
    DWORD dataLength = kMaxValueData;
    DWORD type = 0;
    const LONG result =
        RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataLength);
    if (result == ERROR_NO_MORE_ITEMS) break;
    // ERROR_MORE_DATA: a value too long to be a port name; the next index
    // is still valid.
    if (result != ERROR_SUCCESS) continue;
    values.push_back(RegistryValue{std::string(name, nameLength), type,
                                   std::string(reinterpret_cast<const char*>(data), dataLength)});
  }
  RegCloseKey(key);
  return values;
}

class RegistryPortDiscovery final : public PortDiscovery {
 public:
  std::vector<std::string> PortNames() override {
    return PortNamesFromRegistry(ReadSerialCommValues());
  }
};

}  // namespace

std::unique_ptr<PortDiscovery> CreatePortDiscovery(const DeviceDirectories&) {
  return std::make_unique<RegistryPortDiscovery>();
}

}  // namespace velmora
