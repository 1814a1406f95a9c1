#include "transmit/transmitter.h"

#include <cstdint>

#include "common/busy_scope.h"
#include "common/wrapping.h"
#include "transmit/command_encoder.h"

namespace velmora {

Transmitter::Transmitter(SerialLink& link, SentHistory& history, Traffic& traffic,
                         const Clock& clock)
    : link_(link), history_(history), traffic_(traffic), clock_(clock) {}

void Transmitter::SendPortData(const Bytes& command, TransmitHost& host) {
  if (sendBusy_) return;
  BusyScope busy(sendBusy_);
  Send(command, host);
}

void Transmitter::Send(const Bytes& command, TransmitHost& host) {
  if (!link_.PortOpen()) {
    // The guard stays set while the modal window runs its own message loop,
    // so a timer's send from inside it is dropped.
    host.ShowPortError();
    return;
  }
  if (command.empty()) return;
  if (command.size() <= static_cast<std::size_t>(SentHistory::kMaxRecorded)) {
    history_.Record(command);
    host.HistoryRecorded();
  }

  const SendInputs inputs = host.CurrentSendInputs();
  const Bytes tail = ConvAddStr(inputs.tail, inputs.console, inputs.mode);
  const EncodedPacket packet = EncodePacket(command, tail, inputs.mode);

  Bytes line;
  if (inputs.visTime) line = " [ " + FormatTimeStamp(clock_.Now()) + " > ] ";
  line += packet.echo;

  if (FilterPasses(inputs.filter, line)) {
    host.AppendLogLine(line);
    // The host has told the user; nothing reaches the port and nothing counts.
    if (!host.WriteLogFile(line)) return;
    traffic_.sendPackets = WrapAdd(traffic_.sendPackets, 1);
  }

  SerialPort& port = link_.Port();
  port.Purge();
  traffic_.txBytes = WrapAdd(traffic_.txBytes, static_cast<std::int64_t>(packet.bytes.size()));
  host.ShowByteCounters(ByteCountersText(traffic_));
  // The result is not examined: the counters count what was handed over.
  port.Write(reinterpret_cast<const std::uint8_t*>(packet.bytes.data()), packet.bytes.size());
  host.ShowSendCount(SendCountText(traffic_));
}

}  // namespace velmora
