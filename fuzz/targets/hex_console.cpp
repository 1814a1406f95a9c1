// The HEX console: any typed text to the packet and to the checksums, and
// any packet's HEX text back to the same bytes.

#include "fuzz_check.h"
#include "hex_text_model.h"
#include "receive/log_renderer.h"
#include "targets.h"
#include "transmit/command_encoder.h"

namespace velmora::fuzz {

void FuzzHexConsole(const std::uint8_t* data, std::size_t size) {
  const BytesView text(reinterpret_cast<const char*>(data), size);

  // Any text, however odd its characters, gives one byte a started pair.
  const EncodedPacket packet = EncodePacket(text, "", DataMode::Hex);
  FUZZ_CHECK(packet.bytes == PacketOfHexText(text));
  FUZZ_CHECK(packet.bytes.size() == (size + 2) / 3);
  FUZZ_CHECK(packet.echo == text);

  // The checksums cover the whole pairs of the console, and only those.
  const Bytes covered = ChecksumBytesOfHexText(text);
  for (std::size_t t = 0; t < ChecksumTemplates().size(); ++t) {
    std::uint32_t sum = 0;
    std::uint8_t exclusive = 0;
    for (std::size_t i = t % 3; i < covered.size(); ++i) {
      sum += ByteAt(covered, i);
      exclusive ^= ByteAt(covered, i);
    }
    const std::uint8_t expected = t / 3 == 0   ? static_cast<std::uint8_t>(sum)
                                  : t / 3 == 1 ? exclusive
                                               : static_cast<std::uint8_t>(255 - (sum & 0xFF));
    FUZZ_CHECK(CalcCsum(ChecksumTemplates()[t], text, DataMode::Hex) == expected);
  }

  // The input as a packet: its rendered HEX line parses back to it, split
  // between the console and the tail anywhere on a pair boundary.
  const std::optional<Bytes> line = RenderReceivedLine(text, DataMode::Hex, false, LocalTime{});
  FUZZ_CHECK(line.has_value() == (size > 0));
  if (!line) return;
  FUZZ_CHECK(*line == HexTextOf(text));
  FUZZ_CHECK(EncodePacket(*line, "", DataMode::Hex).bytes == text);
  const std::size_t cut = 3 * (size / 2);
  const Bytes console = line->substr(0, cut);
  const Bytes tail = line->substr(std::min(cut, line->size()));
  FUZZ_CHECK(EncodePacket(console, tail, DataMode::Hex).bytes == text);
}

}  // namespace velmora::fuzz
