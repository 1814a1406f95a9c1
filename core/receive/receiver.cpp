#include "receive/receiver.h"

#include <algorithm>
#include <optional>
#include <span>

#include "common/busy_scope.h"
#include "common/wrapping.h"
#include "receive/log_renderer.h"
#include "receive/read_statistics.h"

namespace velmora {
Receiver::Receiver(SerialLink& link, Traffic& traffic, const Clock& clock)
    : link_(link), traffic_(traffic), clock_(clock) {}

void Receiver::RxTimerTimer(ReceiveHost& host) {
  if (receiveBusy_) return;
  BusyScope busy(receiveBusy_);
  bytesLeftWaiting_ = 0;
  // A closed port keeps the gathered bytes; they are shown after the next
  // connect, at its first time-out.
  if (!link_.PortOpen()) return;
  lastPollError_ = SerialError::None;
  pollErrorOpenCount_ = link_.OpenCount();
  std::uint32_t waiting = 0;
  const SerialError queryError = link_.Port().BytesWaiting(waiting);
  if (queryError != SerialError::None) {
    lastPollError_ = queryError;
    waiting = 0;
  }
  const std::int32_t now = MsOfWeek(clock_.Now());
  if (waiting > 0) ReadComInBufRx(waiting, host);
  if (assembler_.Poll(now, waiting > 0)) ReadBufRxInLog(host);
}

std::int64_t Receiver::MicrosecondsUntilPacketDue() const {
  const LocalTime now = clock_.Now();
  const std::int32_t ms = assembler_.MsUntilQuietEnd(MsOfWeek(now));
  return ms == 0 ? 0 : std::int64_t{ms} * 1000 - now.microsecond;
}

void Receiver::ReadComInBufRx(std::uint32_t count, ReceiveHost& host) {
  const std::span<std::uint8_t> room = assembler_.FreeSpace();
  const std::size_t wanted = std::min<std::size_t>(count, room.size());
  SerialError readError = SerialError::None;
  // A failed read reports its count (0) and is otherwise ignored, as the
  // line errors are; the window learns of it only through LastPollError.
  const std::size_t got = std::min(link_.Port().Read(room.data(), wanted, readError), wanted);
  if (readError != SerialError::None) lastPollError_ = readError;
  // A read that failed or brought nothing (a hang-up reads 0) leaves no work
  // for another poll of the same tick.
  bytesLeftWaiting_ =
      readError == SerialError::None && got > 0 ? count - static_cast<std::uint32_t>(got) : 0;
  traffic_.rxBytes = WrapAdd(traffic_.rxBytes, static_cast<std::int64_t>(got));
  host.ShowByteCounters(ByteCountersText(traffic_));
  assembler_.Commit(got);
}

void Receiver::ReadBufRxInLog(ReceiveHost& host) {
  if (assembler_.ReceiveLength() == 0) return;
  const ReceiveInputs inputs = host.CurrentReceiveInputs();
  const LocalTime now = clock_.Now();
  const std::optional<Bytes> line =
      RenderReceivedLine(assembler_.Packet(), inputs.mode, inputs.visTime, now);
  assembler_.Clear();
  // A packet of LF bytes only: no line, no statistics, no after-answer step.
  if (!line) return;
  if (FilterPasses(inputs.filter, *line)) {
    const bool gapsMeasured = CountReadPacket(traffic_, MsOfWeek(now));
    host.ShowReadCount(ReadCountText(traffic_));
    if (gapsMeasured) host.ShowGaps(MinGapText(traffic_, true), MaxGapText(traffic_, true));
    host.AppendLogLine(*line);
    // The host has told the user; the handling of this packet ends here.
    if (!host.WriteLogFile(*line)) return;
  }
  host.AfterAnswer();
}

}  // namespace velmora
