// The receive path: bytes arriving in any chunks at any poll times, through
// the packet assembler and the renderer, to log lines. Two receivers run in
// step on the same input, one showing HEX and one ASCII: packets are cut by
// time and size alone, so both see the same packets.

#include <algorithm>
#include <memory>

#include "common/clock.h"
#include "common/traffic.h"
#include "fake_serial_port.h"
#include "fuzz_check.h"
#include "hex_text_model.h"
#include "receive/log_renderer.h"
#include "receive/receiver.h"
#include "serial/serial_link.h"
#include "targets.h"
#include "transmit/command_encoder.h"

namespace velmora::fuzz {
namespace {

class LineHost : public ReceiveHost {
 public:
  explicit LineHost(DataMode mode, bool visTime) : inputs_{mode, visTime, {}} {}
  ReceiveInputs CurrentReceiveInputs() override { return inputs_; }
  void AppendLogLine(const Bytes& line) override { lines.push_back(line); }
  bool WriteLogFile(const Bytes&) override { return true; }
  void ShowByteCounters(const Bytes&) override {}
  void ShowReadCount(const Bytes&) override {}
  void ShowGaps(const Bytes&, const Bytes&) override {}
  void AfterAnswer() override {}

  std::vector<Bytes> lines;

 private:
  ReceiveInputs inputs_;
};

struct Side {
  explicit Side(DataMode mode, bool visTime, const Clock& clock)
      : host(mode, visTime),
        link(
            [this] {
              auto created = std::make_unique<testing::FakeSerialPort>();
              port = created.get();
              return created;
            },
            [](int) {}),
        receiver(link, traffic, clock) {}

  testing::FakeSerialPort* port = nullptr;
  LineHost host;
  SerialLink link;
  Traffic traffic;
  Receiver receiver;
};

// The ASCII line of a packet: CR as CR LF, LF dropped, a zero byte as
// "<NULL>", the last character of the whole line dropped.
std::optional<Bytes> ModelAsciiBody(BytesView packet) {
  Bytes body;
  for (char c : packet) {
    if (c == '\r') {
      body += "\r\n";
    } else if (c == '\0') {
      body += "<NULL>";
    } else if (c != '\n') {
      body.push_back(c);
    }
  }
  if (body.empty()) return std::nullopt;
  return body;
}

}  // namespace

void FuzzReceiveLines(const std::uint8_t* data, std::size_t size) {
  BytesView input(reinterpret_cast<const char*>(data), size);
  if (input.size() < 2) return;
  const bool visTime = (ByteAt(input, 0) & 1) != 0;
  const std::int32_t timeRx = ByteAt(input, 1) % 64;
  input.remove_prefix(2);

  ManualClock clock;
  Side hex(DataMode::Hex, visTime, clock);
  Side ascii(DataMode::Ascii, visTime, clock);
  for (Side* side : {&hex, &ascii}) {
    side->receiver.SetTimeRx(timeRx);
    FUZZ_CHECK(side->link.OpenPort({"ttyFUZZ", 9600, 8, 0}) == OpenResult::Opened);
  }

  Bytes fed;
  Bytes shown;  // the bytes of the HEX lines, parsed back
  std::int32_t lastArrival = 0;
  // Each step: a control byte (low 7 bits: a chunk length, or a pause when
  // the top bit is set), then the chunk; a poll after every step.
  while (!input.empty()) {
    const std::uint8_t control = ByteAt(input, 0);
    input.remove_prefix(1);
    if ((control & 0x80) != 0) {
      clock.AdvanceMs(control & 0x7F);
    } else {
      const BytesView chunk = input.substr(0, control * 23u % 2300u);
      input.remove_prefix(chunk.size());
      hex.port->Feed(Bytes(chunk));
      ascii.port->Feed(Bytes(chunk));
      fed.append(chunk);
    }
    const std::uint32_t pending = hex.receiver.ReceiveLength();
    const bool waiting = !hex.port->incoming.empty();
    const std::int32_t now = MsOfWeek(clock.Now());
    if (waiting) lastArrival = now;
    const std::size_t linesBefore = hex.host.lines.size();
    const std::size_t asciiBefore = ascii.host.lines.size();
    hex.receiver.RxTimerTimer(hex.host);
    ascii.receiver.RxTimerTimer(ascii.host);

    FUZZ_CHECK(hex.receiver.ReceiveLength() == ascii.receiver.ReceiveLength());
    FUZZ_CHECK(hex.receiver.ReceiveLength() <= PacketAssembler::kCapacity);
    if (hex.host.lines.size() == linesBefore) {
      // No line: the packet is still growing, within the time-out and size.
      FUZZ_CHECK(ascii.host.lines.size() == asciiBefore);
      FUZZ_CHECK(hex.receiver.ReceiveLength() == 0 ||
                 (now - lastArrival <= timeRx &&
                  hex.receiver.ReceiveLength() <= PacketAssembler::kFlushAbove));
      continue;
    }
    FUZZ_CHECK(hex.host.lines.size() == linesBefore + 1);
    FUZZ_CHECK(hex.receiver.ReceiveLength() == 0);
    const Bytes prefix = visTime ? ReceivedPrefix(clock.Now()) : Bytes();
    const Bytes& line = hex.host.lines.back();
    FUZZ_CHECK(line.compare(0, prefix.size(), prefix) == 0);
    // The HEX text parses back to the packet: every byte once, in order.
    const Bytes body = line.substr(std::min(prefix.size(), line.size()));
    const Bytes packet = EncodePacket(body, "", DataMode::Hex).bytes;
    FUZZ_CHECK(body == HexTextOf(packet));
    FUZZ_CHECK(!packet.empty() && packet.size() >= pending);
    FUZZ_CHECK(packet.size() <= PacketAssembler::kCapacity);
    // A line comes only after more than the time-out of silence, or for a
    // packet above the flush size.
    FUZZ_CHECK(now - lastArrival > timeRx || packet.size() > PacketAssembler::kFlushAbove);
    shown += packet;

    // The same packet in ASCII: every byte once, CR and zero bytes spelled
    // out, LF dropped; a packet of LF bytes only gives no line.
    const std::optional<Bytes> asciiBody = ModelAsciiBody(packet);
    FUZZ_CHECK(ascii.host.lines.size() == asciiBefore + (asciiBody ? 1 : 0));
    if (asciiBody) {
      Bytes expected = prefix + *asciiBody;
      expected.pop_back();
      FUZZ_CHECK(ascii.host.lines.back() == expected);
    }
  }
  // Nothing lost, nothing doubled, nothing reordered: what the lines showed
  // and what is still gathered or waiting is what the device sent.
  FUZZ_CHECK(fed.size() == shown.size() + hex.receiver.ReceiveLength() + hex.port->incoming.size());
  FUZZ_CHECK(fed.compare(0, shown.size(), shown) == 0);
}

}  // namespace velmora::fuzz
