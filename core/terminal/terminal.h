#pragma once

#include "common/clock.h"
#include "common/traffic.h"
#include "macros/cmd_list_store.h"
#include "receive/receiver.h"
#include "serial/serial_link.h"
#include "transmit/sent_history.h"
#include "transmit/transmitter.h"

namespace velmora {

// Everything the terminal knows, free of any window: the serial link, the
// byte and packet counters, the sent-command history, the send and the
// receive path and the 100 command lists. A window observes it through the
// two hosts it hands to SendPortData and RxTimerTimer; tests and benchmarks
// drive it directly.
class Terminal {
 public:
  Terminal(SerialLink::PortFactory portFactory, SerialLink::Sleeper sleeper, const Clock& clock);

  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  // The single path of every packet.
  void SendPortData(const Bytes& command, TransmitHost& host) {
    transmitter_.SendPortData(command, host);
  }

  SerialLink& Link() { return link_; }
  const SerialLink& Link() const { return link_; }
  Traffic& Counters() { return traffic_; }
  const Traffic& Counters() const { return traffic_; }
  SentHistory& History() { return history_; }
  const SentHistory& History() const { return history_; }
  Transmitter& Transmit() { return transmitter_; }
  Receiver& ReceivePath() { return receiver_; }
  const Receiver& ReceivePath() const { return receiver_; }
  CmdListStore& Store() { return store_; }
  const CmdListStore& Store() const { return store_; }
  const Clock& TimeSource() const { return clock_; }

 private:
  const Clock& clock_;
  SerialLink link_;
  Traffic traffic_;
  SentHistory history_;
  Transmitter transmitter_;
  Receiver receiver_;
  CmdListStore store_;
};

}  // namespace velmora
