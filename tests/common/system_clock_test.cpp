// The machine's clock as each platform reads it (localtime on Linux,
// GetLocalTime on Windows), checked against the C library's calendar.

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

#include "common/clock.h"

namespace velmora {
namespace {

// The C library's broken-down local time in our fields (Monday = 1).
LocalTime FromC(std::time_t seconds) {
  const std::tm tm = *std::localtime(&seconds);
  LocalTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.weekday = tm.tm_wday == 0 ? 7 : tm.tm_wday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  return t;
}

bool SameSecond(const LocalTime& a, const LocalTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.weekday == b.weekday &&
         a.hour == b.hour && a.minute == b.minute && a.second == b.second;
}

TEST(SystemClock, ReadsTheLocalDateWeekdayAndTimeOfTheCalendar) {
  const auto clock = CreateSystemClock();
  // Clocks of different grain (time() reads a coarse copy that may lag a few
  // ms; GetLocalTime ticks in ~16 ms steps) disagree near the turn of a
  // second, so the reading is taken well inside one.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < deadline) {
    const auto before = std::chrono::system_clock::now();
    const auto msIntoSecond =
        std::chrono::duration_cast<std::chrono::milliseconds>(before.time_since_epoch()).count() %
        1000;
    if (msIntoSecond < 100 || msIntoSecond > 800) continue;
    const LocalTime now = clock->Now();
    const auto after = std::chrono::system_clock::now();
    const std::time_t second = std::chrono::system_clock::to_time_t(before);
    if (std::chrono::system_clock::to_time_t(after) != second) continue;
    const LocalTime expected = FromC(second);
    EXPECT_TRUE(SameSecond(now, expected))
        << FormatTimeStamp(now) << " weekday " << now.weekday << " day " << now.day << " vs "
        << FormatTimeStamp(expected) << " weekday " << expected.weekday << " day " << expected.day;
    EXPECT_GE(now.millisecond, 0);
    EXPECT_LE(now.millisecond, 999);
    return;
  }
  FAIL() << "no reading fell inside one second of the C library's clock";
}

TEST(SystemClock, MillisecondsMoveOnWithinTheSecond) {
  const auto clock = CreateSystemClock();
  const LocalTime first = clock->Now();
  LocalTime later = first;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (MsOfWeek(later) == MsOfWeek(first) && std::chrono::steady_clock::now() < deadline) {
    later = clock->Now();
  }
  // Across the turn of the week the count starts again at zero.
  constexpr std::int32_t kWeekMs = 7 * 24 * 3600 * 1000;
  const std::int32_t step = (MsOfWeek(later) - MsOfWeek(first) + kWeekMs) % kWeekMs;
  EXPECT_GT(step, 0);
  EXPECT_LT(step, 5000);
  EXPECT_LE(later.millisecond, 999);
}

#ifndef _WIN32
// The reading carries the microseconds within its millisecond (GetLocalTime
// has none): it lies between two readings of the system clock around it.
TEST(SystemClock, ReadsTheMicrosecondsWithinTheMillisecond) {
  using std::chrono::duration_cast;
  using std::chrono::microseconds;
  const auto clock = CreateSystemClock();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const auto before = std::chrono::system_clock::now();
    const LocalTime now = clock->Now();
    const auto after = std::chrono::system_clock::now();
    const auto usBefore = duration_cast<microseconds>(before.time_since_epoch()).count() % 1000000;
    const auto usAfter = duration_cast<microseconds>(after.time_since_epoch()).count() % 1000000;
    if (usAfter < usBefore) continue;  // a second turned over between them
    const auto usOfSecond = now.millisecond * 1000 + now.microsecond;
    EXPECT_GE(now.microsecond, 0);
    EXPECT_LE(now.microsecond, 999);
    EXPECT_GE(usOfSecond, usBefore);
    EXPECT_LE(usOfSecond, usAfter);
    return;
  }
  FAIL() << "no reading fell inside one second";
}
#endif

}  // namespace
}  // namespace velmora
