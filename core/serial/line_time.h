#pragma once

#include <cstddef>
#include <cstdint>

#include "serial/line_settings.h"

namespace velmora {

// Time the line needs to carry `size` bytes, in milliseconds, rounded up. A
// frame is one start bit, the data bits and the stop bits (one and a half
// counted as two). Settings never applied count as 8 data bits; no baud rate
// counts as no time.
inline std::uint64_t LineTimeMs(const LineSettings& settings, std::size_t size) {
  if (settings.baudRate == 0) return 0;
  const std::uint64_t dataBits = settings.dataBits == 0 ? 8 : settings.dataBits;
  const std::uint64_t stopBits = settings.stopBits == 0 ? 1 : 2;
  const std::uint64_t bits = static_cast<std::uint64_t>(size) * (1 + dataBits + stopBits);
  return (bits * 1000 + settings.baudRate - 1) / settings.baudRate;
}

// The longest a synchronous write waits for the device to take a packet:
// twice its line time plus one second. A device that never drains (a hung
// adapter, a pseudo-terminal nobody reads) then freezes the window for a
// bounded time only.
inline std::uint64_t WriteBoundMs(const LineSettings& settings, std::size_t size) {
  return 2 * LineTimeMs(settings, size) + 1000;
}

}  // namespace velmora
