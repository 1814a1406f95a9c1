#include "common/clock_text.h"

#include <cstdio>

namespace velmora {

Bytes ClockText(const LocalTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
  return text;
}

int MsToNextWholeSecond(const LocalTime& t) {
  const int millisecond = ((t.millisecond % 1000) + 1000) % 1000;
  return 1000 - millisecond;
}

}  // namespace velmora
