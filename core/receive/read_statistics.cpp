#include "receive/read_statistics.h"

#include "common/wrapping.h"

namespace velmora {

bool CountReadPacket(Traffic& traffic, std::int32_t now) {
  traffic.readPackets = WrapAdd(traffic.readPackets, 1);
  traffic.prevPacketTime = traffic.lastPacketTime;
  traffic.lastPacketTime = now;
  const std::int32_t gap = WrapSub(now, traffic.prevPacketTime);
  // A previous time of 0 means no packet was shown before (or one exactly at
  // Monday 00:00:00.000); a gap across the week's wrap comes out negative.
  if (gap <= 0 || traffic.prevPacketTime <= 0) return false;
  if (gap < traffic.minGap) traffic.minGap = gap;
  if (gap > traffic.maxGap) traffic.maxGap = gap;
  return true;
}

}  // namespace velmora
