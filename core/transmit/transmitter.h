#pragma once

#include "common/bytes.h"
#include "common/clock.h"
#include "common/traffic.h"
#include "serial/serial_link.h"
#include "transmit/sent_history.h"
#include "transmit/transmit_host.h"

namespace velmora {

// The single path by which every packet leaves the terminal.
class Transmitter {
 public:
  Transmitter(SerialLink& link, SentHistory& history, Traffic& traffic, const Clock& clock);

  // Records the command, appends the converted tail, echoes the packet into
  // the log, counts it and writes it to the port in one write. A call made
  // while another is running (from a modal loop inside it) is dropped.
  void SendPortData(const Bytes& command, TransmitHost& host);

  bool SendBusy() const { return sendBusy_; }

 private:
  void Send(const Bytes& command, TransmitHost& host);

  SerialLink& link_;
  SentHistory& history_;
  Traffic& traffic_;
  const Clock& clock_;
  bool sendBusy_ = false;
};

}  // namespace velmora
