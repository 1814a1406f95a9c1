// The 1251 converter: any bytes as 1251 text and as UTF-8 text.

#include "common/cp1251.h"

#include "fuzz_check.h"
#include "targets.h"

namespace velmora::fuzz {
namespace {

// Strict UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
// Returns the number of characters, or -1.
long CountUtf8Characters(std::string_view text) {
  long count = 0;
  for (std::size_t i = 0; i < text.size(); ++count) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    const int extra = lead < 0x80                    ? 0
                      : lead >= 0xC2 && lead <= 0xDF ? 1
                      : lead >= 0xE0 && lead <= 0xEF ? 2
                      : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                     : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size() + (extra == 0 ? 1 : 0)) {
      return -1;
    }
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<std::uint8_t>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return -1;
      cp = cp << 6 | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return -1;
    i += static_cast<std::size_t>(extra) + 1;
  }
  return count;
}

}  // namespace

void FuzzCp1251(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // As 1251 text: valid UTF-8 of one character a byte, and back unchanged.
  const std::string utf8 = Cp1251ToUtf8(input);
  FUZZ_CHECK(CountUtf8Characters(utf8) == static_cast<long>(size));
  FUZZ_CHECK(Utf8ToCp1251(utf8) == input);
  for (std::size_t i = 0; i < size; ++i) {
    FUZZ_CHECK(UnicodeToCp1251(Cp1251ToUnicode(data[i])) == data[i]);
  }

  // As UTF-8 (pasted text, say): one byte a character of valid text, and at
  // most one byte an input byte of anything else; what comes out converts
  // back to itself.
  const Bytes text = Utf8ToCp1251(input);
  const long characters = CountUtf8Characters(input);
  if (characters >= 0) FUZZ_CHECK(static_cast<long>(text.size()) == characters);
  FUZZ_CHECK(text.size() <= size);
  FUZZ_CHECK(Utf8ToCp1251(Cp1251ToUtf8(text)) == text);
}

}  // namespace velmora::fuzz
