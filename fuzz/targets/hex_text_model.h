#pragma once

#include <cstdint>

#include "common/bytes.h"

namespace velmora::fuzz {

// Independent models of the HEX texts, written from the documented rules
// rather than from the code under test.

inline int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

// The packet of a HEX text: one byte a pair at 0, 3, 6, ...; the character
// after the end counts as 0.
inline Bytes PacketOfHexText(BytesView text) {
  Bytes bytes;
  for (std::size_t i = 0; i < text.size(); i += 3) {
    const char low = i + 1 < text.size() ? text[i + 1] : '\0';
    bytes.push_back(static_cast<char>(DigitValue(text[i]) * 16 + DigitValue(low)));
  }
  return bytes;
}

// The bytes a checksum covers in a HEX console: whole pairs only.
inline Bytes ChecksumBytesOfHexText(BytesView text) {
  Bytes bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 3) {
    bytes.push_back(static_cast<char>(DigitValue(text[i]) * 16 + DigitValue(text[i + 1])));
  }
  return bytes;
}

// "4F 4B 0D": upper-case pairs, one space between.
inline Bytes HexTextOf(BytesView bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  Bytes text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) text.push_back(' ');
    text.push_back(kDigits[ByteAt(bytes, i) >> 4]);
    text.push_back(kDigits[ByteAt(bytes, i) & 0x0F]);
  }
  return text;
}

// Splits the input at a point its first byte chooses.
inline void SplitInput(BytesView input, BytesView& first, BytesView& second) {
  if (input.empty()) {
    first = second = {};
    return;
  }
  const std::size_t at = ByteAt(input, 0) * (input.size() - 1) / 255;
  input.remove_prefix(1);
  first = input.substr(0, at);
  second = input.substr(std::min(at, input.size()));
}

}  // namespace velmora::fuzz
