#pragma once

#include <cstdint>

namespace velmora {

// The counters are signed 32-bit and wrap like the original registers did;
// the addition goes through unsigned arithmetic so that it is defined.
inline std::int32_t WrapAdd(std::int32_t value, std::int64_t delta) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) +
                                   static_cast<std::uint32_t>(delta));
}

inline std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

}  // namespace velmora
