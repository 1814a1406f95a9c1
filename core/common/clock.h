#pragma once

#include <cstdint>
#include <memory>

#include "common/bytes.h"

namespace velmora {

// A broken-down local time with milliseconds.
struct LocalTime {
  int year = 2000;
  int month = 1;    // 1..12
  int day = 1;      // 1..31
  int weekday = 1;  // 1 = Monday .. 7 = Sunday
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int microsecond = 0;  // 0..999 within the millisecond, where the clock has them
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() const = 0;
};

// The local wall clock of the machine.
std::unique_ptr<Clock> CreateSystemClock();

// Milliseconds since Monday 00:00:00.000 of the current week, 0..604799999.
std::int32_t MsOfWeek(const LocalTime& t);
// Milliseconds since midnight, 0..86399999.
std::int32_t MsOfDay(const LocalTime& t);
// "hh:mm:ss:zzz", all fields zero-padded (a field out of range wraps).
Bytes FormatTimeStamp(const LocalTime& t);

// A clock that tests set by hand. Advancing carries into seconds, minutes,
// hours and weekdays (Sunday rolls over to Monday; the date is not kept).
class ManualClock : public Clock {
 public:
  LocalTime Now() const override { return now_; }
  void Set(const LocalTime& t) { now_ = t; }
  void AdvanceMs(std::int64_t ms);
  void SetMicrosecond(int us) { now_.microsecond = us; }

 private:
  LocalTime now_;
};

}  // namespace velmora
