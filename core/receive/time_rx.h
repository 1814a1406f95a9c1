#pragma once

#include <cstdint>

#include "common/bytes.h"

namespace velmora {

inline constexpr std::int32_t kMaxTimeRx = 100000;  // ms

// One click of the TimeRX arrows. Up steps by 1, 5, 50, 500 or 5000 by the
// decade the value is in and clamps at 100000; down steps by the same sizes
// (10000 gives 5000, 1000 gives 500), takes 50000 from 100000 and above, and
// leaves 0 and below alone.
std::int32_t StepTimeRx(std::int32_t value, bool up);

// "TimeRX: 10000"
Bytes TimeRxCaption(std::int32_t value);

}  // namespace velmora
