#include "receive/receiver.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "fake_serial_port.h"

namespace velmora {
namespace {

using namespace std::string_literals;
using Events = std::vector<std::string>;

// A fake port whose read can be made to fail while bytes are waiting.
class ReadFailingPort : public testing::FakeSerialPort {
 public:
  std::size_t Read(std::uint8_t* data, std::size_t size, SerialError& error) override {
    if (readError == SerialError::None) return FakeSerialPort::Read(data, size, error);
    error = readError;
    reads.push_back(0);
    return 0;
  }
  SerialError readError = SerialError::None;
};

// Records the calls of the receive path in their order; the byte counter
// caption goes to its own list because it follows every read.
class RecordingHost : public ReceiveHost {
 public:
  ReceiveInputs CurrentReceiveInputs() override { return inputs; }
  void AppendLogLine(const Bytes& line) override { events.push_back("line:" + line); }
  bool WriteLogFile(const Bytes& line) override {
    events.push_back("file:" + line);
    return logFileWrites;
  }
  void ShowByteCounters(const Bytes& text) override { counters.push_back(text); }
  void ShowReadCount(const Bytes& text) override { events.push_back(text); }
  void ShowGaps(const Bytes& minText, const Bytes& maxText) override {
    events.push_back(minText + "|" + maxText);
  }
  void AfterAnswer() override {
    events.push_back("after");
    if (onAfterAnswer) onAfterAnswer();
  }

  ReceiveInputs inputs;
  bool logFileWrites = true;
  std::function<void()> onAfterAnswer;
  Events events;
  Events counters;
};

Events Shown(const std::string& line) {
  return {"Read: 1", "line:" + line, "file:" + line, "after"};
}

class ReceiverTest : public ::testing::Test {
 protected:
  ReceiverTest() {
    LocalTime wednesday;
    wednesday.weekday = 3;
    wednesday.hour = 10;
    clock.Set(wednesday);
    Connect();
    receiver.SetTimeRx(20);
  }

  void Connect() { ASSERT_EQ(link.OpenPort({"ttyV0", 9600, 8, 0}), OpenResult::Opened); }
  void Tick() { receiver.RxTimerTimer(host); }
  // Feeds one packet, reads it and waits out the time-out.
  void ReceivePacket(const std::string& bytes) {
    port->Feed(bytes);
    Tick();
    clock.AdvanceMs(receiver.TimeRx() + 1);
    Tick();
  }

  ReadFailingPort* port = nullptr;
  SerialLink link{[this] {
                    auto created = std::make_unique<ReadFailingPort>();
                    port = created.get();
                    return created;
                  },
                  [](int) {}};
  Traffic traffic;
  ManualClock clock;
  RecordingHost host;
  Receiver receiver{link, traffic, clock};
};

TEST_F(ReceiverTest, AnswerIsShownAfterMoreThanTheTimeOutOfSilence) {
  port->Feed("OK\r\n");
  Tick();
  EXPECT_EQ(host.counters, Events{"TX: 0 RX: 4"});
  EXPECT_EQ(receiver.ReceiveLength(), 4u);
  clock.AdvanceMs(20);
  Tick();
  EXPECT_TRUE(host.events.empty());
  clock.AdvanceMs(1);
  Tick();
  EXPECT_EQ(host.events, Shown("OK\r"));
  EXPECT_FALSE(receiver.PacketPending());
  EXPECT_EQ(traffic.readPackets, 1);
  EXPECT_EQ(traffic.lastPacketTime, MsOfWeek(clock.Now()));
}

TEST_F(ReceiverTest, LfOnlyPacketShowsCountsAndTriggersNothing) {
  ReceivePacket("\n\n");
  EXPECT_TRUE(host.events.empty());
  EXPECT_FALSE(receiver.PacketPending());
  EXPECT_EQ(traffic.readPackets, 0);
  EXPECT_EQ(traffic.lastPacketTime, 0);
}

TEST_F(ReceiverTest, OneCharacterPacketGivesAnEmptyLineThatIsCountedAndTimed) {
  ReceivePacket("X");
  EXPECT_EQ(host.events, Shown(""));
  EXPECT_EQ(traffic.lastPacketTime, MsOfWeek(clock.Now()));
}

TEST_F(ReceiverTest, FilteredPacketStillRunsTheAfterAnswerStep) {
  host.inputs.filter = "ERR";
  ReceivePacket("OK\r\n");
  EXPECT_EQ(host.events, Events{"after"});
  EXPECT_EQ(traffic.readPackets, 0);
  EXPECT_EQ(traffic.lastPacketTime, 0);
}

struct FilterRow {
  const char* name;
  DataMode mode;
  bool visTime;
  const char* filter;
  std::string packet;
  bool passes;
};

class ReceivedFilter : public ReceiverTest, public ::testing::WithParamInterface<FilterRow> {};

TEST_P(ReceivedFilter, SearchesTheRenderedLine) {
  const FilterRow& row = GetParam();
  host.inputs = {row.mode, row.visTime, row.filter};
  ReceivePacket(row.packet);
  EXPECT_EQ(traffic.readPackets, row.passes ? 1 : 0);
  EXPECT_EQ(host.events.back(), "after");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReceivedFilter,
    ::testing::Values(
        FilterRow{"ColonMatchesThePrefix", DataMode::Ascii, true, ":", "OK\r\n", true},
        FilterRow{"ColonWithoutPrefix", DataMode::Ascii, false, ":", "OK\r\n", false},
        FilterRow{"TimeOfTheStamp", DataMode::Ascii, true, "10:00:00:021 <", "OK\r\n", true},
        FilterRow{"NullMarker", DataMode::Ascii, false, "<NULL>", "A\0B"s, true},
        FilterRow{"NullMarkerCutByTheLastCharacter", DataMode::Ascii, false, "<NULL>", "A\0"s,
                  false},
        FilterRow{"HexCr", DataMode::Hex, false, "0D", "OK\r\n", true},
        FilterRow{"HexWithoutCr", DataMode::Hex, false, "0D", "OK\n", false},
        FilterRow{"CaseSensitive", DataMode::Ascii, false, "ok", "OK\r\n", false}),
    [](const ::testing::TestParamInfo<FilterRow>& row) { return row.param.name; });

TEST_F(ReceiverTest, HexLineWithStampIsShownAsRendered) {
  host.inputs = {DataMode::Hex, true, ""};
  ReceivePacket("OK\r\n");
  EXPECT_EQ(host.events, Shown(" [ 10:00:00:021 < ] 4F 4B 0D 0A"));
}

TEST_F(ReceiverTest, GapLabelsStayUntilTheSecondPacketThenShowEqualValues) {
  ReceivePacket("A\r");
  EXPECT_EQ(host.events, Shown("A\r"));
  host.events.clear();
  clock.AdvanceMs(229);
  ReceivePacket("B\r");
  const Events expected{"Read: 2", "MIN_T_W:  250|MAX_T_W: 250", "line:B\r", "file:B\r", "after"};
  EXPECT_EQ(host.events, expected);
}

TEST_F(ReceiverTest, FullBufferIsShownInTheSameTickAndTheRestStartsTheNextPacket) {
  receiver.SetTimeRx(100000);
  port->Feed(std::string(1000, 'x'));
  Tick();
  EXPECT_TRUE(receiver.PacketPending());
  EXPECT_TRUE(receiver.CanTakeMore());
  port->Feed(std::string(1500, 'y'));
  Tick();
  EXPECT_EQ(port->reads, (std::vector<std::size_t>{1000, 1048}));
  EXPECT_EQ(host.events, Shown(std::string(1000, 'x') + std::string(1047, 'y')));
  EXPECT_EQ(receiver.ReceiveLength(), 0u);
  EXPECT_EQ(receiver.BytesLeftWaiting(), 452u);  // work for the next poll at once
  Tick();
  EXPECT_EQ(receiver.BytesLeftWaiting(), 0u);
  EXPECT_EQ(port->reads.back(), 452u);
  EXPECT_EQ(receiver.ReceiveLength(), 452u);
  EXPECT_EQ(host.counters.back(), "TX: 0 RX: 2500");
}

TEST_F(ReceiverTest, FailedReadAddsNothingButStillCountsAsActivity) {
  port->readError = SerialError::Io;
  port->Feed("AB");
  Tick();
  EXPECT_EQ(host.counters, Events{"TX: 0 RX: 0"});
  EXPECT_EQ(receiver.ReceiveLength(), 0u);
  EXPECT_EQ(receiver.LastRxActivity(), MsOfWeek(clock.Now()));
  EXPECT_EQ(receiver.LastPollError(), SerialError::Io);
  EXPECT_EQ(receiver.BytesLeftWaiting(), 0u);  // a failed read is no work for another poll
  port->readError = SerialError::None;
  Tick();
  EXPECT_EQ(receiver.ReceiveLength(), 2u);
  EXPECT_EQ(receiver.LastPollError(), SerialError::None);
}

TEST_F(ReceiverTest, FailedQueryReadsNothingAndReportsTheError) {
  port->waitingError = SerialError::DeviceRemoved;
  port->Feed("AB");
  Tick();
  EXPECT_TRUE(port->reads.empty());
  EXPECT_TRUE(host.counters.empty());
  EXPECT_EQ(receiver.LastPollError(), SerialError::DeviceRemoved);
}

TEST_F(ReceiverTest, ByteCounterWrapsAndCaptionCarriesTheSentCount) {
  traffic.txBytes = 12;
  traffic.rxBytes = std::numeric_limits<std::int32_t>::max();
  port->Feed("A");
  Tick();
  EXPECT_EQ(host.counters, Events{"TX: 12 RX: -2147483648"});
}

TEST_F(ReceiverTest, GatheredBytesWaitForTheNextConnectAndItsFirstTimeOut) {
  port->Feed("AB\r");
  Tick();
  link.ClosePort();
  clock.AdvanceMs(1000);
  Tick();
  EXPECT_TRUE(host.events.empty());
  EXPECT_TRUE(receiver.PacketPending());
  Connect();
  Tick();
  EXPECT_EQ(host.events, Shown("AB\r"));
}

TEST_F(ReceiverTest, LogFileFailureEndsThePacketButNotThePolling) {
  host.logFileWrites = false;
  ReceivePacket("A\r");
  const Events withoutAfterAnswer{"Read: 1", "line:A\r", "file:A\r"};
  EXPECT_EQ(host.events, withoutAfterAnswer);
  host.logFileWrites = true;
  host.events.clear();
  ReceivePacket("B\r");
  EXPECT_EQ(host.events.back(), "after");
  EXPECT_EQ(traffic.readPackets, 2);
}

TEST_F(ReceiverTest, TickEnteredFromTheAfterAnswerStepDoesNothing) {
  bool busyInside = false;
  host.onAfterAnswer = [&] {
    busyInside = receiver.ReceiveBusy();
    port->Feed("Z");
    Tick();
  };
  ReceivePacket("A\r");
  EXPECT_TRUE(busyInside);
  EXPECT_EQ(port->reads.size(), 1u);
  EXPECT_EQ(receiver.ReceiveLength(), 0u);
  EXPECT_FALSE(receiver.ReceiveBusy());
  host.onAfterAnswer = nullptr;
  Tick();
  EXPECT_EQ(receiver.ReceiveLength(), 1u);
}

}  // namespace
TEST_F(ReceiverTest, PacketDueTimeFollowsTheClockAndTheLastBytes) {
  port->Feed("OK");
  Tick();
  EXPECT_EQ(receiver.MicrosecondsUntilPacketDue(), 21000);
  clock.AdvanceMs(15);
  EXPECT_EQ(receiver.MicrosecondsUntilPacketDue(), 6000);
  // Due at the start of a millisecond, not a whole count of them from now.
  clock.SetMicrosecond(999);
  EXPECT_EQ(receiver.MicrosecondsUntilPacketDue(), 5001);
  clock.SetMicrosecond(0);
  port->Feed("\r\n");
  Tick();  // new bytes restart the quiet time
  EXPECT_EQ(receiver.MicrosecondsUntilPacketDue(), 21000);
  clock.AdvanceMs(20);
  clock.SetMicrosecond(250);
  Tick();
  EXPECT_TRUE(receiver.PacketPending());
  EXPECT_EQ(receiver.MicrosecondsUntilPacketDue(), 750);
  clock.AdvanceMs(1);
  clock.SetMicrosecond(0);
  EXPECT_EQ(receiver.MicrosecondsUntilPacketDue(), 0);
  Tick();
  EXPECT_EQ(host.events, Shown("OK\r"));
}

}  // namespace velmora
