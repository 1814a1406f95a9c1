#include "common/traffic.h"

#include <limits>
#include <string>

namespace velmora {

void ResetStatistics(Traffic& traffic) {
  traffic.minGap = std::numeric_limits<std::int32_t>::max();
  traffic.maxGap = 0;
  traffic.sendPackets = 0;
  traffic.readPackets = 0;
}

Bytes ByteCountersText(const Traffic& traffic) {
  return "TX: " + std::to_string(traffic.txBytes) + " RX: " + std::to_string(traffic.rxBytes);
}

Bytes SendCountText(const Traffic& traffic) {
  return "Send: " + std::to_string(traffic.sendPackets);
}

Bytes ReadCountText(const Traffic& traffic) {
  return "Read: " + std::to_string(traffic.readPackets);
}

Bytes MinGapText(const Traffic& traffic, bool measured) {
  return "MIN_T_W:  " + (measured ? std::to_string(traffic.minGap) : Bytes("NA"));
}

Bytes MaxGapText(const Traffic& traffic, bool measured) {
  return "MAX_T_W: " + (measured ? std::to_string(traffic.maxGap) : Bytes("NA"));
}

bool FilterPasses(BytesView filter, BytesView line) {
  return filter.empty() || line.find(filter) != BytesView::npos;
}

}  // namespace velmora
