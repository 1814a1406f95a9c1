#include <time.h>

#include "common/clock.h"

namespace velmora {
namespace {

class PosixClock : public Clock {
 public:
  LocalTime Now() const override {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    LocalTime t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.weekday = local.tm_wday == 0 ? 7 : local.tm_wday;  // tm_wday: 0 = Sunday
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = local.tm_sec;
    t.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
    t.microsecond = static_cast<int>(ts.tv_nsec / 1000 % 1000);
    return t;
  }
};

}  // namespace

std::unique_ptr<Clock> CreateSystemClock() { return std::make_unique<PosixClock>(); }

}  // namespace velmora
