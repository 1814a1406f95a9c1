#include "transmit/command_encoder.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

constexpr DataMode A = DataMode::Ascii;
constexpr DataMode H = DataMode::Hex;

TEST(HexToInt, DigitsOfEitherCaseAndEverythingElseIsZero) {
  const struct {
    char c;
    int value;
  } rows[] = {
      {'0', 0},    {'1', 1}, {'9', 9}, {'A', 10}, {'F', 15}, {'a', 10},
      {'f', 15},   {' ', 0}, {'$', 0}, {'G', 0},  {'g', 0},  {'\0', 0},
      {'\xC0', 0}, {'/', 0}, {':', 0}, {'@', 0},  {'`', 0},
  };
  for (const auto& r : rows) EXPECT_EQ(HexToInt(r.c), r.value) << "char " << int(r.c);
}

TEST(ChecksumTemplates, NineTextsInAlgorithmOrderWithTheSpaceOnlyInTheXorNames) {
  const std::array<Bytes, 9> expected = {
      "[SUM_8(0..n)]",      "[SUM_8(1..n)]",      "[SUM_8(2..n)]",
      "[XOR_8 (0..n)]",     "[XOR_8 (1..n)]",     "[XOR_8 (2..n)]",
      "[FF - SUM_8(0..n)]", "[FF - SUM_8(1..n)]", "[FF - SUM_8(2..n)]",
  };
  EXPECT_EQ(ChecksumTemplates(), expected);
}

struct CsumRow {
  DataMode mode;
  Bytes console;
  std::array<int, 9> values;  // one per template, in list order
};

TEST(CalcCsum, KnownAnswersForEveryTemplate) {
  const CsumRow rows[] = {
      {A, "abc", {0x26, 0xC5, 0x63, 0x60, 0x01, 0x63, 0xD9, 0x3A, 0x9C}},
      {H, "01 02 03", {0x06, 0x05, 0x03, 0x00, 0x01, 0x03, 0xF9, 0xFA, 0xFC}},
      // An empty range gives 0, and 255 for the "FF -" forms.
      {A, "", {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF}},
      {A, "a", {0x61, 0x00, 0x00, 0x61, 0x00, 0x00, 0x9E, 0xFF, 0xFF}},
      {H, "", {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF}},
      // A lone last digit is no pair; the separators are never read.
      {H, "1", {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF}},
      {H, "01x02x0", {0x03, 0x02, 0x00, 0x03, 0x02, 0x00, 0xFC, 0xFD, 0xFF}},
      {H, "fF Ff", {0xFE, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0x01, 0x00, 0xFF}},
  };
  for (const auto& r : rows) {
    for (std::size_t i = 0; i < 9; ++i) {
      EXPECT_EQ(CalcCsum(ChecksumTemplates()[i], r.console, r.mode), r.values[i])
          << "console \"" << r.console << "\" template " << i;
    }
  }
}

TEST(CalcCsum, ConsoleLongerThan255CoversAllOfIt) {
  // 300 'a': the sum of all is 0x71AC and the exclusive-or 0; cut to 255 it
  // would be 0x9F and 0x61.
  const Bytes ascii(300, 'a');
  EXPECT_EQ(CalcCsum("[SUM_8(0..n)]", ascii, A), 0xAC);
  EXPECT_EQ(CalcCsum("[XOR_8 (0..n)]", ascii, A), 0x00);
  // 300 pairs "01": the sum is 0x12C, cut to 255 pairs it would be 0xFF.
  Bytes hex;
  for (int i = 0; i < 300; ++i) hex += "01 ";
  EXPECT_EQ(CalcCsum("[SUM_8(0..n)]", hex, H), 0x2C);
}

TEST(CalcCsum, TextThatIsNoTemplateGivesZero) {
  EXPECT_EQ(CalcCsum("[XOR_8(0..n)]", "abc", A), 0);
  EXPECT_EQ(CalcCsum("[sum_8(0..n)]", "abc", A), 0);
}

TEST(ConvAddStr, ReplacesEveryTemplateAndLeavesOtherText) {
  const struct {
    Bytes tail;
    Bytes converted;
  } rows[] = {
      {"$0D", "$0D"},
      {"*[XOR_8 (0..n)]$0D$0A", "*60$0D$0A"},
      {"[SUM_8(0..n)][SUM_8(0..n)]", "2626"},
      {"[FF - SUM_8(2..n)]-[XOR_8 (1..n)]", "9C-01"},
      // Without the space the name is no template and stays literal.
      {"[XOR_8(1..n)]", "[XOR_8(1..n)]"},
      {"[SUM_8(0..N)]", "[SUM_8(0..N)]"},
      {"", ""},
  };
  for (const auto& r : rows) EXPECT_EQ(ConvAddStr(r.tail, "abc", A), r.converted) << r.tail;
}

TEST(ConvAddStr, DigitsThatCompleteALaterTemplateAreReplacedAgain) {
  // Console "\xFF": template 0 gives "FF", which turns the text into the
  // template 6, whose value is 0.
  EXPECT_EQ(ConvAddStr("[[SUM_8(0..n)] - SUM_8(0..n)]", "\xFF", A), "00");
}

struct PacketRow {
  DataMode mode;
  Bytes command;
  Bytes tail;  // as typed, templates not yet replaced
  Bytes bytes;
  Bytes echo;
};

void ExpectPackets(const std::vector<PacketRow>& rows) {
  for (const auto& r : rows) {
    const EncodedPacket p = EncodePacket(r.command, ConvAddStr(r.tail, r.command, r.mode), r.mode);
    EXPECT_EQ(p.bytes, r.bytes) << "command \"" << r.command << "\" tail \"" << r.tail << "\"";
    EXPECT_EQ(p.echo, r.echo) << "command \"" << r.command << "\" tail \"" << r.tail << "\"";
  }
}

TEST(EncodePacket, AsciiWorkedExamples) {
  ExpectPackets({
      {A, "abc", "$0D", "abc\x0D", "abc\x0D"},
      {A, "abc", "*[XOR_8 (0..n)]$0D$0A", "abc*60\x0D\x0A", "abc*60\x0D\x0A"},
      {A, "abc", "$[SUM_8(0..n)]", "abc\x26", "abc\x26"},
      {A, "a$41", "", "a$41", "a$41"},
  });
}

TEST(EncodePacket, AsciiEscapesTakeTwoCharactersWhateverTheyAre) {
  ExpectPackets({
      {A, "ab", "$", Bytes("ab\0", 3), Bytes("ab\0", 3)},
      {A, "ab", "$1", "ab\x10", "ab\x10"},
      {A, "ab", "$G1", "ab\x01", "ab\x01"},
      {A, "ab", "$0d", "ab\x0D", "ab\x0D"},
      {A, "ab", "$aB$Ab", "ab\xAB\xAB", "ab\xAB\xAB"},
      // The second "$" is read as a digit (0) and the "4" as the low digit.
      {A, "ab", "$$41",
       "ab\x04"
       "1",
       "ab\x04"
       "1"},
      {A, "x$", "$FF", "x$\xFF", "x$\xFF"},
  });
}

TEST(EncodePacket, HexWorkedExamples) {
  ExpectPackets({
      {H, "01 02 03", "$0D", "\x01\x02\x03\x0D", "01 02 03$0D"},
      {H, "01 02 03", " [SUM_8(0..n)]", "\x01\x02\x03\x06", "01 02 03 06"},
      {H, "01 02 03", "[SUM_8(0..n)]", "\x01\x02\x03\x60", "01 02 0306"},
      {H, "1", "", "\x10", "1"},
  });
}

TEST(EncodePacket, HexReadsPairsEveryThreeCharacters) {
  ExpectPackets({
      {H, "1 2", "", "\x10", "1 2"},
      {H, "01 02 03", " 0D 0A", "\x01\x02\x03\x0D\x0A", "01 02 03 0D 0A"},
      {H, "01 02 03", "$0D$0A", "\x01\x02\x03\x0D\x0A", "01 02 03$0D$0A"},
      {H, "aB cD", "", "\xAB\xCD", "aB cD"},
      {H, "$1", "", "\x01", "$1"},
      {H, "0102", "", "\x01\x20", "0102"},
  });
}

TEST(EncodePacket, ChecksumComesFromTheConsoleNotTheCommand) {
  const Bytes tail = ConvAddStr("[SUM_8(0..n)]", "abc", A);
  EXPECT_EQ(EncodePacket("xyz", tail, A).bytes, "xyz26");
}

TEST(EncodePacket, PacketsLongerThan2048BytesAreSentWhole) {
  const Bytes command(3000, 'q');
  const EncodedPacket p = EncodePacket(command, "$0D", A);
  EXPECT_EQ(p.bytes, command + "\x0D");
}

}  // namespace
}  // namespace velmora
