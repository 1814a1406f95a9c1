#include "transmit/command_encoder.h"

#include <cstddef>
#include <utility>

namespace velmora {

namespace {

// Reads past the end as the NUL character, which HexToInt turns into 0.
char CharAt(BytesView text, std::size_t index) { return index < text.size() ? text[index] : '\0'; }

std::uint8_t PairValue(char high, char low) {
  return static_cast<std::uint8_t>((HexToInt(high) * 16 + HexToInt(low)) & 0xFF);
}

Bytes ConsoleBytes(BytesView console, DataMode mode) {
  if (mode == DataMode::Ascii) return Bytes(console);
  Bytes bytes;
  // Both characters of a pair must exist; the separators are never looked at.
  for (std::size_t i = 0; i + 1 < console.size(); i += 3) {
    bytes.push_back(static_cast<char>(PairValue(console[i], console[i + 1])));
  }
  return bytes;
}

int TemplateIndex(BytesView templateText) {
  const auto& templates = ChecksumTemplates();
  for (std::size_t i = 0; i < templates.size(); ++i) {
    if (templates[i] == templateText) return static_cast<int>(i);
  }
  return -1;
}

Bytes TwoHexDigits(std::uint8_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return Bytes{kDigits[value >> 4], kDigits[value & 0x0F]};
}

}  // namespace

int HexToInt(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

const std::array<Bytes, 9>& ChecksumTemplates() {
  // The exclusive-or names have a space before the parenthesis, the others
  // have none; the texts are matched character for character.
  static const std::array<Bytes, 9> kTemplates = {
      "[SUM_8(0..n)]",      "[SUM_8(1..n)]",      "[SUM_8(2..n)]",
      "[XOR_8 (0..n)]",     "[XOR_8 (1..n)]",     "[XOR_8 (2..n)]",
      "[FF - SUM_8(0..n)]", "[FF - SUM_8(1..n)]", "[FF - SUM_8(2..n)]",
  };
  return kTemplates;
}

std::uint8_t CalcCsum(BytesView templateText, BytesView console, DataMode mode) {
  const int index = TemplateIndex(templateText);
  if (index < 0) return 0;
  const Bytes data = ConsoleBytes(console, mode);
  const std::size_t first = static_cast<std::size_t>(index % 3);
  std::uint32_t sum = 0;
  std::uint8_t exclusive = 0;
  for (std::size_t i = first; i < data.size(); ++i) {
    sum += ByteAt(data, i);
    exclusive ^= ByteAt(data, i);
  }
  const auto low = static_cast<std::uint8_t>(sum & 0xFF);
  switch (index / 3) {
    case 0: return low;
    case 1: return exclusive;
    default: return static_cast<std::uint8_t>(255 - low);
  }
}

Bytes ConvAddStr(BytesView tail, BytesView console, DataMode mode) {
  Bytes text(tail);
  for (const Bytes& name : ChecksumTemplates()) {
    auto at = text.find(name);
    if (at == Bytes::npos) continue;
    const Bytes digits = TwoHexDigits(CalcCsum(name, console, mode));
    // Each replacement shortens the text, so the search from the start ends.
    for (; at != Bytes::npos; at = text.find(name)) text.replace(at, name.size(), digits);
  }
  return text;
}

EncodedPacket EncodePacket(BytesView command, BytesView convertedTail, DataMode mode) {
  Bytes packetText(command);
  packetText.append(convertedTail);
  EncodedPacket packet;
  if (mode == DataMode::Hex) {
    for (std::size_t i = 0; i < packetText.size(); i += 3) {
      packet.bytes.push_back(
          static_cast<char>(PairValue(packetText[i], CharAt(packetText, i + 1))));
    }
    packet.echo = std::move(packetText);
    return packet;
  }
  std::size_t i = 0;
  while (i < packetText.size()) {
    if (packetText[i] == '$' && i >= command.size()) {
      packet.bytes.push_back(
          static_cast<char>(PairValue(CharAt(packetText, i + 1), CharAt(packetText, i + 2))));
      i += 3;
    } else {
      packet.bytes.push_back(packetText[i]);
      ++i;
    }
  }
  packet.echo = packet.bytes;
  return packet;
}

}  // namespace velmora
