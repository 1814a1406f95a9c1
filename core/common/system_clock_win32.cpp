#include <windows.h>

#include "common/clock.h"

namespace velmora {
namespace {

class Win32Clock : public Clock {
 public:
  LocalTime Now() const override {
    SYSTEMTIME st;
    GetLocalTime(&st);
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.weekday = st.wDayOfWeek == 0 ? 7 : st.wDayOfWeek;  // wDayOfWeek: 0 = Sunday
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.millisecond = st.wMilliseconds;
    return t;
  }
};

}  // namespace

std::unique_ptr<Clock> CreateSystemClock() { return std::make_unique<Win32Clock>(); }

}  // namespace velmora
