#include "receive/time_rx.h"

#include <string>

namespace velmora {

std::int32_t StepTimeRx(std::int32_t value, bool up) {
  if (up) {
    const std::int32_t step = value < 10       ? 1
                              : value < 100    ? 5
                              : value < 1000   ? 50
                              : value < 10000  ? 500
                              : value < 100000 ? 5000
                                               : 0;
    const std::int32_t stepped = value + step;
    return stepped > kMaxTimeRx ? kMaxTimeRx : stepped;
  }
  if (value <= 0) return value;
  const std::int32_t step = value <= 9       ? 1
                            : value <= 99    ? 5
                            : value <= 999   ? 50
                            : value <= 9999  ? 500
                            : value <= 99999 ? 5000
                                             : 50000;
  return value - step;
}

Bytes TimeRxCaption(std::int32_t value) { return "TimeRX: " + std::to_string(value); }

}  // namespace velmora
