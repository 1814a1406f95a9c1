#include "common/clock.h"

#include <cstdio>

namespace velmora {

std::int32_t MsOfDay(const LocalTime& t) {
  return t.hour * 3600000 + t.minute * 60000 + t.second * 1000 + t.millisecond;
}

std::int32_t MsOfWeek(const LocalTime& t) { return (t.weekday - 1) * 86400000 + MsOfDay(t); }

Bytes FormatTimeStamp(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d:%03d", t.hour % 100, t.minute % 100,
                t.second % 100, t.millisecond % 1000);
  return text;
}

void ManualClock::AdvanceMs(std::int64_t ms) {
  constexpr std::int64_t kWeek = 7LL * 86400000;
  std::int64_t total = MsOfWeek(now_) + ms;
  total = ((total % kWeek) + kWeek) % kWeek;
  now_.weekday = static_cast<int>(total / 86400000) + 1;
  total %= 86400000;
  now_.hour = static_cast<int>(total / 3600000);
  total %= 3600000;
  now_.minute = static_cast<int>(total / 60000);
  total %= 60000;
  now_.second = static_cast<int>(total / 1000);
  now_.millisecond = static_cast<int>(total % 1000);
}

}  // namespace velmora
