// The encoder: any console and tail, ASCII and HEX, every checksum template.

#include <algorithm>

#include "fuzz_check.h"
#include "hex_text_model.h"
#include "targets.h"
#include "transmit/command_encoder.h"

namespace velmora::fuzz {
namespace {

std::uint8_t ModelChecksum(std::size_t templateIndex, BytesView covered) {
  std::uint32_t sum = 0;
  std::uint8_t exclusive = 0;
  for (std::size_t i = templateIndex % 3; i < covered.size(); ++i) {
    sum += ByteAt(covered, i);
    exclusive ^= ByteAt(covered, i);
  }
  switch (templateIndex / 3) {
    case 0: return static_cast<std::uint8_t>(sum);
    case 1: return exclusive;
    default: return static_cast<std::uint8_t>(255 - (sum & 0xFF));
  }
}

Bytes TwoDigits(std::uint8_t value) { return HexTextOf(Bytes(1, static_cast<char>(value))); }

// ASCII: the command as it is, then the tail with "$XY" as one byte (the
// characters after the end count as 0).
Bytes ModelAsciiPacket(BytesView command, BytesView tail) {
  Bytes bytes(command);
  for (std::size_t i = 0; i < tail.size();) {
    if (tail[i] == '$') {
      const char high = i + 1 < tail.size() ? tail[i + 1] : '\0';
      const char low = i + 2 < tail.size() ? tail[i + 2] : '\0';
      bytes.push_back(static_cast<char>(DigitValue(high) * 16 + DigitValue(low)));
      i += 3;
    } else {
      bytes.push_back(tail[i++]);
    }
  }
  return bytes;
}

}  // namespace

void FuzzEncoder(const std::uint8_t* data, std::size_t size) {
  BytesView console;
  BytesView tail;
  SplitInput(BytesView(reinterpret_cast<const char*>(data), size), console, tail);

  for (const DataMode mode : {DataMode::Ascii, DataMode::Hex}) {
    const Bytes covered = mode == DataMode::Hex ? ChecksumBytesOfHexText(console) : Bytes(console);
    const auto& templates = ChecksumTemplates();
    for (std::size_t t = 0; t < templates.size(); ++t) {
      const std::uint8_t expected = ModelChecksum(t, covered);
      FUZZ_CHECK(CalcCsum(templates[t], console, mode) == expected);

      // A template inside a tail that holds no other "[" is replaced by the
      // two digits of its checksum and nothing else changes.
      Bytes plain(tail);
      std::replace(plain.begin(), plain.end(), '[', '(');
      const std::size_t at = plain.size() / 2;
      const Bytes withTemplate = plain.substr(0, at) + templates[t] + plain.substr(at);
      FUZZ_CHECK(ConvAddStr(withTemplate, console, mode) ==
                 plain.substr(0, at) + TwoDigits(expected) + plain.substr(at));
    }
    // A text that is no template gives 0; a tail without "[" stays as it is.
    FUZZ_CHECK(CalcCsum(tail, console, mode) == 0 ||
               std::find(templates.begin(), templates.end(), Bytes(tail)) != templates.end());
    if (tail.find('[') == BytesView::npos) FUZZ_CHECK(ConvAddStr(tail, console, mode) == tail);

    // Any tail: each replacement shortens the text.
    const Bytes converted = ConvAddStr(tail, console, mode);
    FUZZ_CHECK(converted.size() <= tail.size());

    const EncodedPacket packet = EncodePacket(console, converted, mode);
    if (mode == DataMode::Ascii) {
      FUZZ_CHECK(packet.bytes == ModelAsciiPacket(console, converted));
      FUZZ_CHECK(packet.echo == packet.bytes);
    } else {
      const Bytes text = Bytes(console) + converted;
      FUZZ_CHECK(packet.bytes == PacketOfHexText(text));
      FUZZ_CHECK(packet.echo == text);
    }
  }
}

}  // namespace velmora::fuzz
