#pragma once

#include <array>
#include <cstdint>

#include "common/bytes.h"
#include "common/data_mode.h"

namespace velmora {

// The value of one hexadecimal digit, either case; every other character
// (space, "$", "G", the NUL that stands for "after the end") is 0.
int HexToInt(char c);

// The checksum templates of the tail picker, in the order that gives each
// its algorithm number: 0..2 sums, 3..5 exclusive-ors, 6..8 255 minus a sum,
// each starting from the first, second and third byte.
const std::array<Bytes, 9>& ChecksumTemplates();

// The checksum that `templateText` names, taken over the console line (not
// over the command being sent). In HEX mode the console is read as digit
// pairs at 0-based positions 0, 3, 6, ...; a lone last digit is ignored. A
// console of any length is covered whole. A text that is none of the
// templates gives 0.
std::uint8_t CalcCsum(BytesView templateText, BytesView console, DataMode mode);

// The tail with every template replaced by its checksum as two upper-case
// hexadecimal digits, for example "*[XOR_8 (0..n)]$0D" -> "*60$0D" with the
// console "abc". Escapes and all other text stay as they are.
Bytes ConvAddStr(BytesView tail, BytesView console, DataMode mode);

struct EncodedPacket {
  Bytes bytes;  // what goes on the wire
  Bytes echo;   // what the log shows: ASCII the bytes themselves, HEX the typed text
};

// Encodes the command followed by the converted tail. ASCII: a "$" of the
// tail takes the next two characters as one byte; a "$" of the command is
// literal. HEX: one byte per digit pair at 0-based positions 0, 3, 6, ...;
// the character after the end counts as 0. Packets are not limited in size.
EncodedPacket EncodePacket(BytesView command, BytesView convertedTail, DataMode mode);

}  // namespace velmora
