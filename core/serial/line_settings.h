#pragma once

#include <cstdint>

namespace velmora {

// The four line settings the terminal ever sets. Everything else of the
// platform's settings record stays zero: no flow control, DTR and RTS off.
struct LineSettings {
  std::uint32_t baudRate = 0;  // bits per second
  std::uint8_t dataBits = 0;   // 5..8
  std::uint8_t parity = 0;     // always 0 = none
  std::uint8_t stopBits = 0;   // 0 = one, 1 = one and a half, 2 = two
};

// One and a half stop bits exist only with five data bits, two only with
// more: a UART refuses the other frames.
inline bool StopBitsFitDataBits(const LineSettings& settings) {
  if (settings.stopBits == 1) return settings.dataBits == 5;
  if (settings.stopBits == 2) return settings.dataBits != 5;
  return true;
}

inline bool operator==(const LineSettings& a, const LineSettings& b) {
  return a.baudRate == b.baudRate && a.dataBits == b.dataBits && a.parity == b.parity &&
         a.stopBits == b.stopBits;
}

}  // namespace velmora
