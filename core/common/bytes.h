#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// Every text of the core is a Windows-1251 byte string, exactly as it stands
// on disk and on the wire; one character is one byte. Conversion to Unicode
// happens only in the window layer.
using Bytes = std::string;
using BytesView = std::string_view;

inline std::uint8_t ByteAt(BytesView text, std::size_t index) {
  return static_cast<std::uint8_t>(text[index]);
}

}  // namespace velmora
