#include "receive/log_renderer.h"

namespace velmora {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr BytesView kNullMark = "<NULL>";

void AppendAscii(Bytes& line, BytesView packet) {
  for (char c : packet) {
    switch (c) {
      case '\r': line += "\r\n"; break;
      case '\n': break;
      case '\0': line += kNullMark; break;
      default: line.push_back(c); break;
    }
  }
}

// Written in place: a flood in HEX renders three characters a byte, and
// appending them one by one checked the capacity for each.
void AppendHex(Bytes& line, BytesView packet) {
  const std::size_t start = line.size();
  line.resize(start + 3 * packet.size());
  char* out = line.data() + start;
  for (char c : packet) {
    const auto byte = static_cast<std::uint8_t>(c);
    *out++ = kHexDigits[byte >> 4];
    *out++ = kHexDigits[byte & 0x0F];
    *out++ = ' ';
  }
}

}  // namespace

Bytes ReceivedPrefix(const LocalTime& time) { return " [ " + FormatTimeStamp(time) + " < ] "; }

std::optional<Bytes> RenderReceivedLine(BytesView packet, DataMode mode, bool visTime,
                                        const LocalTime& time) {
  Bytes line;
  // The longest body: every byte a zero byte in ASCII, six characters each.
  line.reserve(20 + packet.size() * (mode == DataMode::Hex ? 3 : kNullMark.size()));
  if (visTime) line += ReceivedPrefix(time);
  const std::size_t bodyStart = line.size();
  if (mode == DataMode::Hex) {
    AppendHex(line, packet);
  } else {
    AppendAscii(line, packet);
  }
  if (line.size() == bodyStart) return std::nullopt;
  line.pop_back();
  return line;
}

}  // namespace velmora
