#include "receive/log_renderer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace velmora {
namespace {

using namespace std::string_literals;

LocalTime StampTime() {
  LocalTime t;
  t.hour = 9;
  t.minute = 5;
  t.second = 3;
  t.millisecond = 42;
  return t;
}

struct LineRow {
  const char* name;
  std::string packet;
  std::optional<std::string> line;
};

class AsciiLine : public ::testing::TestWithParam<LineRow> {};

TEST_P(AsciiLine, TranslatesCrLfAndZeroThenDropsTheLastCharacter) {
  const LineRow& row = GetParam();
  EXPECT_EQ(RenderReceivedLine(row.packet, DataMode::Ascii, false, StampTime()), row.line);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AsciiLine,
    ::testing::Values(LineRow{"CrLfEndsInCr", "OK\r\n", "OK\r"},
                      LineRow{"LoneLfDropsTheCharacterBefore", "OK\n", "O"},
                      LineRow{"ZeroInsideThenDataDropsTheData", "A\0B"s, "A<NULL>"},
                      LineRow{"ZeroAtTheEndLosesItsBracket", "A\0"s, "A<NULL"},
                      LineRow{"OneCharacterGivesAnEmptyLine", "X", ""},
                      LineRow{"CrThenSeveralLfEndsInCr", "AB\r\n\n\n", "AB\r"},
                      LineRow{"TwoLinesInOnePacket", "L1\r\nL2\r\n", "L1\r\nL2\r"},
                      LineRow{"ControlAndHighBytesPassUnchanged", "\x01\x1b\xc0\xff.",
                              "\x01\x1b\xc0\xff"},
                      LineRow{"OnlyLfGivesNoLine", "\n", std::nullopt},
                      LineRow{"SeveralLfGiveNoLine", "\n\n\n", std::nullopt}),
    [](const ::testing::TestParamInfo<LineRow>& row) { return row.param.name; });

TEST(HexLine, PairsWithSingleBlanksAndNoTrailingBlank) {
  EXPECT_EQ(RenderReceivedLine("OK\r\n", DataMode::Hex, false, StampTime()), "4F 4B 0D 0A");
  EXPECT_EQ(RenderReceivedLine("\x00\xab\xff"s, DataMode::Hex, false, StampTime()), "00 AB FF");
}

TEST(HexLine, LfOnlyPacketStillGivesALine) {
  EXPECT_EQ(RenderReceivedLine("\n", DataMode::Hex, false, StampTime()), "0A");
}

TEST(HexLine, PrefixCarriesTheTimeAndTheReceiveMark) {
  EXPECT_EQ(RenderReceivedLine("OK\r\n", DataMode::Hex, true, StampTime()),
            " [ 09:05:03:042 < ] 4F 4B 0D 0A");
}

TEST(AsciiLineWithPrefix, OneCharacterPacketLeavesThePrefixAlone) {
  EXPECT_EQ(RenderReceivedLine("X", DataMode::Ascii, true, StampTime()), " [ 09:05:03:042 < ] ");
}

TEST(AsciiLineWithPrefix, LfOnlyPacketGivesNoPrefixEither) {
  EXPECT_EQ(RenderReceivedLine("\n\n", DataMode::Ascii, true, StampTime()), std::nullopt);
}

}  // namespace
}  // namespace velmora
