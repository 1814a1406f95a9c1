#pragma once

#include <cstdint>

#include "common/traffic.h"

namespace velmora {

// Counts a received packet whose line passed the filter, shown at `now`
// (MsOfWeek). Returns true when a gap was measured, that is when the gap
// labels get new texts (MinGapText / MaxGapText with measured = true);
// otherwise they keep whatever they show.
bool CountReadPacket(Traffic& traffic, std::int32_t now);

}  // namespace velmora
