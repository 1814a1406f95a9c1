#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// One value of the registry key HARDWARE\DEVICEMAP\SERIALCOMM, as the
// enumeration gives it, e.g. name "\Device\Serial0", type 1 (REG_SZ), data
// "COM1\0".
struct RegistryValue {
  std::string name;
  std::uint32_t type = 0;
  std::string data;  // the raw data bytes, terminating zeros included
};

inline constexpr std::uint32_t kRegistryString = 1;        // REG_SZ
inline constexpr std::uint32_t kRegistryExpandString = 2;  // REG_EXPAND_SZ

// The port names of the values, in enumeration order, unsorted, duplicates
// kept: the string data up to its first zero. A value that holds no string
// names no port and is skipped.
std::vector<std::string> PortNamesFromRegistry(const std::vector<RegistryValue>& values);

}  // namespace velmora
