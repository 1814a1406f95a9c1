#pragma once

#include <cstdint>

#include "common/clock.h"
#include "common/traffic.h"
#include "receive/packet_assembler.h"
#include "receive/receive_host.h"
#include "serial/serial_error.h"
#include "serial/serial_link.h"

namespace velmora {

// The receive path: polls the port on every tick of the receive timer,
// gathers the bytes into one packet and hands a complete packet to the log.
class Receiver {
 public:
  Receiver(SerialLink& link, Traffic& traffic, const Clock& clock);

  // One tick of the receive timer. A tick entered again from a nested
  // message loop (a message box opened inside the tick) does nothing.
  void RxTimerTimer(ReceiveHost& host);
  // Shows the gathered packet in the log and empties the buffer; then runs
  // the after-answer step. Does nothing while the buffer is empty.
  void ReadBufRxInLog(ReceiveHost& host);

  std::int32_t TimeRx() const { return assembler_.TimeRx(); }
  void SetTimeRx(std::int32_t ms) { assembler_.SetTimeRx(ms); }
  std::uint32_t ReceiveLength() const { return assembler_.ReceiveLength(); }
  std::int32_t LastRxActivity() const { return assembler_.LastRxActivity(); }
  bool PacketPending() const { return assembler_.ReceiveLength() > 0; }
  // Microseconds, by the clock, until the pending packet's quiet time-out is
  // due: to the start of the millisecond at which a tick finding no new
  // bytes ends the packet (0: the next tick decides); see
  // PacketAssembler::MsUntilQuietEnd.
  std::int64_t MicrosecondsUntilPacketDue() const;
  bool CanTakeMore() const { return assembler_.ReceiveLength() < PacketAssembler::kCapacity; }
  bool ReceiveBusy() const { return receiveBusy_; }
  // The bytes the last tick's poll found waiting but had no room to read:
  // on a busy line the next poll has work at once.
  std::uint32_t BytesLeftWaiting() const { return bytesLeftWaiting_; }
  // The error of the last tick that polled an open port: the query of the
  // waiting bytes or the read failed, or the device hung up. None otherwise,
  // and None after every successful open until the new port is polled: an
  // error of the port before belongs to that port only.
  SerialError LastPollError() const {
    return pollErrorOpenCount_ == link_.OpenCount() ? lastPollError_ : SerialError::None;
  }

 private:
  void ReadComInBufRx(std::uint32_t count, ReceiveHost& host);

  SerialLink& link_;
  Traffic& traffic_;
  const Clock& clock_;
  PacketAssembler assembler_;
  bool receiveBusy_ = false;
  std::uint32_t bytesLeftWaiting_ = 0;
  SerialError lastPollError_ = SerialError::None;
  std::uint32_t pollErrorOpenCount_ = 0;  // the open that lastPollError_ belongs to
};

}  // namespace velmora
