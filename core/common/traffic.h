#pragma once

#include <cstdint>
#include <limits>

#include "common/bytes.h"

namespace velmora {

// Byte and packet counters shared by the send and the receive path.
// All are signed 32-bit; additions wrap (see WrapAdd).
struct Traffic {
  std::int32_t txBytes = 0;      // bytes handed to the port since start-up
  std::int32_t rxBytes = 0;      // bytes read from the port since start-up
  std::int32_t sendPackets = 0;  // sent packets whose line passed the filter
  std::int32_t readPackets = 0;  // received packets whose line passed the filter
  std::int32_t minGap = std::numeric_limits<std::int32_t>::max();  // ms
  std::int32_t maxGap = 0;                                         // ms
  std::int32_t prevPacketTime = 0;  // MsOfWeek of the shown packet before the last
  std::int32_t lastPacketTime = 0;  // MsOfWeek of the last shown received packet
};

// The statistics reset button: gaps and packet counts start over; the byte
// counters and the packet times stay.
void ResetStatistics(Traffic& traffic);

// "TX: 12 RX: 340"
Bytes ByteCountersText(const Traffic& traffic);
// The window's caption before the first send or read, with its comma.
inline constexpr char kInitialByteCountersText[] = "TX: 0, RX: 0";
// "Send: 3", "Read: 5"
Bytes SendCountText(const Traffic& traffic);
Bytes ReadCountText(const Traffic& traffic);
// "MIN_T_W:  NA" / "MIN_T_W:  12" (two blanks), "MAX_T_W: NA" / "MAX_T_W: 12".
Bytes MinGapText(const Traffic& traffic, bool measured);
Bytes MaxGapText(const Traffic& traffic, bool measured);

// The filter of the log: an empty filter passes everything, otherwise the
// filter must occur in the line (case-sensitive, anywhere).
bool FilterPasses(BytesView filter, BytesView line);

}  // namespace velmora
