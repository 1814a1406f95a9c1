#pragma once

#include <optional>

#include "common/bytes.h"
#include "common/clock.h"
#include "common/data_mode.h"

namespace velmora {

// " [ 09:05:03:042 < ] ", always 20 characters.
Bytes ReceivedPrefix(const LocalTime& time);

// The log line of a received packet, or nullopt when the packet gives no line
// (an ASCII packet made only of LF bytes). ASCII: CR gives CR LF, LF gives
// nothing, a zero byte gives "<NULL>"; HEX: "4F 4B 0D 0A". The prefix comes
// first when `visTime`; the last character of the whole line is dropped.
std::optional<Bytes> RenderReceivedLine(BytesView packet, DataMode mode, bool visTime,
                                        const LocalTime& time);

}  // namespace velmora
