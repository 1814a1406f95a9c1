#include "receive/packet_assembler.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "common/wrapping.h"

namespace velmora {

void PacketAssembler::Commit(std::size_t count) {
  length_ += static_cast<std::uint32_t>(std::min<std::size_t>(count, kCapacity - length_));
}

std::size_t PacketAssembler::Append(BytesView bytes) {
  const std::size_t count = std::min<std::size_t>(bytes.size(), kCapacity - length_);
  if (count > 0) std::memcpy(buffer_.data() + length_, bytes.data(), count);
  Commit(count);
  return count;
}

bool PacketAssembler::Poll(std::int32_t now, bool bytesWaiting) {
  // At Monday 00:00 the time base falls back to about 0: pulling the activity
  // down gives a packet in progress a fresh full time-out instead of a
  // negative age that would never end it.
  if (now < lastRxActivity_) lastRxActivity_ = now;
  if (bytesWaiting) lastRxActivity_ = now;
  return WrapSub(now, lastRxActivity_) > timeRx_ || length_ > kFlushAbove;
}

std::int32_t PacketAssembler::MsUntilQuietEnd(std::int32_t now) const {
  if (length_ > kFlushAbove || now < lastRxActivity_) return 0;
  // Poll ends the packet once now - lastRxActivity_ > timeRx_.
  const std::int64_t due = std::int64_t{lastRxActivity_} + timeRx_ + 1;
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(due - now, 0, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace velmora
