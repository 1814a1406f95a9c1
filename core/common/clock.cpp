#include "common/clock.h"

namespace velmora {
namespace {

// `digits` decimal digits of `value` modulo 10^digits, zero-padded. This
// runs for every time-stamped line of a flood, where printf's machinery
// cost more than the rest of the stamp.
void PutDigits(char* out, int value, int digits) {
  int modulus = 1;
  for (int i = 0; i < digits; ++i) modulus *= 10;
  value = ((value % modulus) + modulus) % modulus;
  for (int i = digits - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

}  // namespace

std::int32_t MsOfDay(const LocalTime& t) {
  return t.hour * 3600000 + t.minute * 60000 + t.second * 1000 + t.millisecond;
}

std::int32_t MsOfWeek(const LocalTime& t) { return (t.weekday - 1) * 86400000 + MsOfDay(t); }

Bytes FormatTimeStamp(const LocalTime& t) {
  Bytes text = "00:00:00:000";
  PutDigits(&text[0], t.hour, 2);
  PutDigits(&text[3], t.minute, 2);
  PutDigits(&text[6], t.second, 2);
  PutDigits(&text[9], t.millisecond, 3);
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
