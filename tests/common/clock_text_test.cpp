#include "common/clock_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

LocalTime At(int hour, int minute, int second, int millisecond = 0) {
  LocalTime t;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  t.millisecond = millisecond;
  return t;
}

TEST(ClockText, IsTwentyFourHourZeroPaddedWithoutZoneOrMilliseconds) {
  struct Row {
    LocalTime time;
    const char* text;
  };
  const std::vector<Row> rows = {{At(0, 0, 0), "00:00:00"},
                                 {At(9, 5, 7, 999), "09:05:07"},
                                 {At(12, 59, 59), "12:59:59"},
                                 {At(13, 0, 0, 1), "13:00:00"},
                                 {At(23, 59, 59, 999), "23:59:59"}};
  for (const Row& row : rows) EXPECT_EQ(ClockText(row.time), row.text) << row.text;
}

TEST(ClockTimer, WaitsUntilTheNextWholeSecond) {
  struct Row {
    int millisecond;
    int wait;
  };
  const std::vector<Row> rows = {{0, 1000}, {1, 999}, {500, 500}, {998, 2}, {999, 1}};
  for (const Row& row : rows) {
    EXPECT_EQ(MsToNextWholeSecond(At(10, 0, 0, row.millisecond)), row.wait) << row.millisecond;
  }
}

TEST(ClockTimer, LandsOnTheSecondThatChangesTheText) {
  ManualClock clock;
  clock.Set(At(23, 59, 58, 731));
  const Bytes before = ClockText(clock.Now());
  clock.AdvanceMs(MsToNextWholeSecond(clock.Now()) - 1);
  EXPECT_EQ(ClockText(clock.Now()), before) << "one millisecond early the text is the same";
  clock.AdvanceMs(1);
  EXPECT_EQ(clock.Now().millisecond, 0);
  EXPECT_EQ(ClockText(clock.Now()), "23:59:59");
}

}  // namespace
}  // namespace velmora
