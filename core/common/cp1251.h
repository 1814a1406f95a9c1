#pragma once

#include <cstdint>
#include <string>

#include "common/bytes.h"

namespace velmora {

// Windows-1251, the code page of every text the terminal stores or sends.
// Every byte maps to one Unicode code point and back; 0x98, unassigned in the
// code page, maps to U+0098 so that all 256 byte values round-trip.
char32_t Cp1251ToUnicode(std::uint8_t byte);
// The byte of a code point, or '?' for a character the code page lacks.
std::uint8_t UnicodeToCp1251(char32_t codePoint);

// UTF-8 text (our source files, the window toolkit) to 1251 bytes and back.
Bytes Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(BytesView text);

}  // namespace velmora
