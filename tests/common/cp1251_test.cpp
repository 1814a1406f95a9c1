#include "common/cp1251.h"

#include <gtest/gtest.h>

#include "common/clock.h"
#include "common/traffic.h"
#include "common/wrapping.h"

namespace velmora {
namespace {

TEST(Cp1251, EveryByteRoundTripsThroughUnicode) {
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<std::uint8_t>(b);
    EXPECT_EQ(UnicodeToCp1251(Cp1251ToUnicode(byte)), byte) << "byte " << b;
  }
}

TEST(Cp1251, EveryByteRoundTripsThroughUtf8) {
  Bytes all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(Cp1251, KnownLetters) {
  EXPECT_EQ(Cp1251ToUnicode(0xC0), U'\u0410');  // А
  EXPECT_EQ(Cp1251ToUnicode(0xFF), U'\u044F');  // я
  EXPECT_EQ(Cp1251ToUnicode(0xA8), U'\u0401');  // Ё
  EXPECT_EQ(Cp1251ToUnicode(0xB9), U'\u2116');  // №
  EXPECT_EQ(Utf8ToCp1251("Отправить"), "\xCE\xF2\xEF\xF0\xE0\xE2\xE8\xF2\xFC");
}

TEST(Cp1251, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(UnicodeToCp1251(U'\u20AC'), 0x88);  // € is in the code page
  EXPECT_EQ(UnicodeToCp1251(U'\u4E2D'), '?');   // 中 is not
  EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xAD"
                         "b"),
            "a?b");
  EXPECT_EQ(Utf8ToCp1251("\xF0\x9F\x98\x80"), "?");  // an emoji: one character, one '?'
  EXPECT_EQ(Utf8ToCp1251("\xC3"), "?");              // a cut sequence
}

TEST(Counters, WrapInsteadOfOverflowing) {
  EXPECT_EQ(WrapAdd(2147483647, 1), -2147483647 - 1);
  EXPECT_EQ(WrapAdd(-2147483647 - 1, -1), 2147483647);
  EXPECT_EQ(WrapSub(-2147483647 - 1, 1), 2147483647);
}

TEST(Counters, LabelTexts) {
  Traffic t;
  EXPECT_EQ(MinGapText(t, false), "MIN_T_W:  NA");
  EXPECT_EQ(MaxGapText(t, false), "MAX_T_W: NA");
  t.minGap = 12;
  t.maxGap = 12;
  t.txBytes = 4;
  EXPECT_EQ(MinGapText(t, true), "MIN_T_W:  12");
  EXPECT_EQ(MaxGapText(t, true), "MAX_T_W: 12");
  EXPECT_EQ(ByteCountersText(t), "TX: 4 RX: 0");
}

struct WeekCase {
  LocalTime time;
  std::int32_t msOfWeek;
  const char* stamp;
};

TEST(Clock, MillisecondsOfTheWeekAndTimeStamps) {
  const WeekCase cases[] = {
      {{2026, 12, 7, 1, 0, 0, 0, 0}, 0, "00:00:00:000"},
      {{2026, 12, 8, 2, 9, 5, 3, 7}, 86400000 + 32703007, "09:05:03:007"},
      {{2026, 12, 13, 7, 23, 59, 59, 999}, 604799999, "23:59:59:999"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MsOfWeek(c.time), c.msOfWeek);
    EXPECT_EQ(FormatTimeStamp(c.time), c.stamp);
  }
}

TEST(Clock, ManualClockWrapsFromSundayToMonday) {
  ManualClock clock;
  clock.Set({2026, 12, 13, 7, 23, 59, 59, 998});
  clock.AdvanceMs(3);
  EXPECT_EQ(clock.Now().weekday, 1);
  EXPECT_EQ(MsOfWeek(clock.Now()), 1);
}

}  // namespace
}  // namespace velmora
