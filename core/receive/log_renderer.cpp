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

void AppendHex(Bytes& line, BytesView packet) {
  for (char c : packet) {
    const auto byte = static_cast<std::uint8_t>(c);
    line.push_back(kHexDigits[byte >> 4]);
    line.push_back(kHexDigits[byte & 0x0F]);
    line.push_back(' ');
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
