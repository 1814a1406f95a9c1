#include "common/clock_text.h"

namespace velmora {

// The time stamp without its milliseconds.
Bytes ClockText(const LocalTime& t) { return FormatTimeStamp(t).substr(0, 8); }

int MsToNextWholeSecond(const LocalTime& t) {
  const int millisecond = ((t.millisecond % 1000) + 1000) % 1000;
  return 1000 - millisecond;
}

}  // namespace velmora
