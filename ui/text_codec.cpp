#include "ui/text_codec.h"

#include "common/cp1251.h"

namespace velmora::ui {

QString ToQString(BytesView bytes) {
  // Written in place: appending one character at a time checks the
  // string's capacity and sharing for each, which showed on a busy line.
  QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  char16_t* unit = reinterpret_cast<char16_t*>(out.data());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t byte = ByteAt(bytes, i);
    // Every code point of the code page lies in the basic plane; the lower
    // half is ASCII, and a flood of it needs no call a character.
    unit[i] = byte < 0x80 ? char16_t{byte} : static_cast<char16_t>(Cp1251ToUnicode(byte));
  }
  return out;
}

Bytes ToBytes(const QString& text) {
  Bytes out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar unit = text.at(i);
    if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      out.push_back('?');
      ++i;
      continue;
    }
    if (unit.isSurrogate()) {
      out.push_back('?');
      continue;
    }
    out.push_back(static_cast<char>(UnicodeToCp1251(unit.unicode())));
  }
  return out;
}

}  // namespace velmora::ui
