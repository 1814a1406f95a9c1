#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/bytes.h"

namespace velmora {

// Gathers the received bytes of one packet and decides, poll by poll, when
// the packet is complete. Times are MsOfWeek values captured by the caller at
// each poll, so the rule runs on synthetic times as well as on the wall clock.
class PacketAssembler {
 public:
  static constexpr std::uint32_t kCapacity = 2048;
  // A buffer holding more than this is complete whatever the time says.
  static constexpr std::uint32_t kFlushAbove = 1500;

  // The free part of the buffer; a read never asks for more than this.
  std::span<std::uint8_t> FreeSpace() { return {buffer_.data() + length_, kCapacity - length_}; }
  // Takes the first `count` bytes of FreeSpace() into the packet.
  void Commit(std::size_t count);
  // Copies at most the free room; returns the count taken.
  std::size_t Append(BytesView bytes);

  // The time decision of one poll, taken after the poll's read: `now` is the
  // poll's MsOfWeek, `bytesWaiting` whether the driver reported any bytes.
  // Returns true when the packet is complete.
  bool Poll(std::int32_t now, bool bytesWaiting);
  // The milliseconds from `now` to the first poll time at which Poll, finding
  // no new bytes, ends the packet by the quiet rule: 0 when that is now or
  // past, and 0 across the week's wrap (`now` below the last activity), where
  // a poll pulls the activity down first. A poller that is woken by new
  // bytes needs no other poll before this; the decision stays with Poll.
  std::int32_t MsUntilQuietEnd(std::int32_t now) const;

  BytesView Packet() const { return {reinterpret_cast<const char*>(buffer_.data()), length_}; }
  void Clear() { length_ = 0; }

  std::uint32_t ReceiveLength() const { return length_; }
  std::int32_t LastRxActivity() const { return lastRxActivity_; }
  std::int32_t TimeRx() const { return timeRx_; }
  void SetTimeRx(std::int32_t ms) { timeRx_ = ms; }

 private:
  std::array<std::uint8_t, kCapacity> buffer_{};
  std::uint32_t length_ = 0;
  std::int32_t lastRxActivity_ = 0;
  std::int32_t timeRx_ = 0;  // ms of silence that end a packet
};

}  // namespace velmora
