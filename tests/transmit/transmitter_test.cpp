#include "transmit/transmitter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "fake_serial_port.h"

namespace velmora {
namespace {

using Events = std::vector<std::string>;

// The fake port, also noting purges and writes among the host's calls so
// that the order of the whole send can be checked.
class RecordingPort : public testing::FakeSerialPort {
 public:
  explicit RecordingPort(Events& events) : events_(events) {}
  SerialError Purge() override {
    events_.push_back("purge");
    return FakeSerialPort::Purge();
  }
  SerialError Write(const std::uint8_t* data, std::size_t size) override {
    events_.push_back("write " + std::string(reinterpret_cast<const char*>(data), size));
    return FakeSerialPort::Write(data, size);
  }

 private:
  Events& events_;
};

class FakeHost : public TransmitHost {
 public:
  explicit FakeHost(Events& events) : events_(events) {}
  SendInputs CurrentSendInputs() override { return inputs; }
  void ShowPortError() override {
    events_.push_back("port error");
    if (duringPortError) duringPortError();
  }
  void HistoryRecorded() override { events_.push_back("history"); }
  void AppendLogLine(const Bytes& line) override { events_.push_back("log " + line); }
  bool WriteLogFile(const Bytes& line) override {
    events_.push_back("file " + line);
    return logFileWorks;
  }
  void ShowByteCounters(const Bytes& text) override { events_.push_back("counters " + text); }
  void ShowSendCount(const Bytes& text) override { events_.push_back("count " + text); }

  SendInputs inputs{DataMode::Ascii, false, "", "$0D", ""};
  bool logFileWorks = true;
  std::function<void()> duringPortError;

 private:
  Events& events_;
};

class TransmitterTest : public ::testing::Test {
 protected:
  TransmitterTest()
      : link_(
            [this] {
              auto port = std::make_unique<RecordingPort>(events);
              port_ = port.get();
              return port;
            },
            [](int) {}),
        host(events),
        transmitter(link_, history, traffic, clock) {
    clock.Set({2026, 12, 8, 2, 9, 5, 3, 7});
  }

  void Connect() {
    ASSERT_EQ(link_.OpenPort({"COM1", 9600, 8, 0}), OpenResult::Opened);
    events.clear();
  }
  // Sends the console line itself, as the send button does.
  void SendConsole(const Bytes& text) {
    host.inputs.console = text;
    transmitter.SendPortData(text, host);
  }
  const std::string& Written() const { return port_->written; }

  Events events;
  // Set by the link's factory while the link is built, so declared before it.
  RecordingPort* port_ = nullptr;
  SerialLink link_;
  SentHistory history;
  Traffic traffic;
  ManualClock clock;
  FakeHost host;
  Transmitter transmitter;
};

TEST_F(TransmitterTest, SendsRecordsLogsAndCountsInTheOrderOfTheSendRule) {
  Connect();
  host.inputs.visTime = true;
  SendConsole("abc");
  const Events expected = {
      "history",       "log  [ 09:05:03:007 > ] abc\r", "file  [ 09:05:03:007 > ] abc\r",
      "purge",         "counters TX: 4 RX: 0",          "write abc\r",
      "count Send: 1",
  };
  EXPECT_EQ(events, expected);
  EXPECT_EQ(history.Shown(), (std::vector<Bytes>{"abc"}));
  EXPECT_EQ(traffic.txBytes, 4);
  EXPECT_EQ(traffic.sendPackets, 1);
  EXPECT_EQ(port_->writes.size(), 1u);
  EXPECT_FALSE(transmitter.SendBusy());
}

TEST_F(TransmitterTest, FilterDecidesTheLineAndThePacketCountButNotTheWrite) {
  const struct {
    const char* filter;
    bool visTime;
    bool passes;
  } rows[] = {
      {"", false, true},   {"bc", false, true},   {":", true, true},
      {":", false, false}, {"ABC", false, false}, {"> ]", true, true},
  };
  Connect();
  for (const auto& r : rows) {
    events.clear();
    traffic = Traffic{};
    host.inputs.filter = r.filter;
    host.inputs.visTime = r.visTime;
    SendConsole("abc");
    const Bytes line = r.visTime ? " [ 09:05:03:007 > ] abc\r" : "abc\r";
    Events expected = {"history"};
    if (r.passes) expected.insert(expected.end(), {"log " + line, "file " + line});
    expected.insert(expected.end(), {"purge", "counters TX: 4 RX: 0", "write abc\r",
                                     r.passes ? "count Send: 1" : "count Send: 0"});
    EXPECT_EQ(events, expected) << "filter \"" << r.filter << "\" time " << r.visTime;
    EXPECT_EQ(traffic.sendPackets, r.passes ? 1 : 0) << r.filter;
  }
}

TEST_F(TransmitterTest, ClosedPortShowsTheErrorWindowAndNothingElse) {
  SendConsole("abc");
  EXPECT_EQ(events, (Events{"port error"}));
  EXPECT_TRUE(history.Shown().empty());
  EXPECT_EQ(traffic.txBytes, 0);
  EXPECT_EQ(traffic.sendPackets, 0);
  EXPECT_EQ(port_->purgeCount, 0);
  EXPECT_FALSE(transmitter.SendBusy());
}

TEST_F(TransmitterTest, SendFromInsideThePortErrorWindowIsDropped) {
  bool busyInside = false;
  host.duringPortError = [&] {
    busyInside = transmitter.SendBusy();
    transmitter.SendPortData("timer", host);
  };
  SendConsole("abc");
  EXPECT_TRUE(busyInside);
  EXPECT_EQ(events, (Events{"port error"}));
  EXPECT_FALSE(transmitter.SendBusy());
}

TEST_F(TransmitterTest, EmptyCommandSendsNotEvenTheTail) {
  Connect();
  SendConsole("");
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(Written(), "");
  EXPECT_EQ(traffic.txBytes, 0);
}

TEST_F(TransmitterTest, LogFileFailureEndsTheSendBeforeThePort) {
  Connect();
  host.logFileWorks = false;
  SendConsole("abc");
  EXPECT_EQ(events, (Events{"history", "log abc\r", "file abc\r"}));
  EXPECT_EQ(traffic.txBytes, 0);
  EXPECT_EQ(traffic.sendPackets, 0);
  EXPECT_EQ(port_->purgeCount, 0);
  EXPECT_FALSE(transmitter.SendBusy());

  host.logFileWorks = true;
  SendConsole("abc");
  EXPECT_EQ(Written(), "abc\r");
}

TEST_F(TransmitterTest, CommandsOf255CharactersOrMoreAreSentButNotRecorded) {
  const struct {
    std::size_t length;
    bool recorded;
  } rows[] = {{254, true}, {255, false}, {300, false}};
  Connect();
  for (const auto& r : rows) {
    history = SentHistory{};
    events.clear();
    port_->written.clear();
    const Bytes command(r.length, 'w');
    SendConsole(command);
    EXPECT_EQ(Written(), command + "\r") << r.length;
    EXPECT_EQ(events.at(r.recorded ? 1 : 0), "log " + command + "\r") << r.length;
    EXPECT_EQ(history.Entry(1), r.recorded ? command : "") << r.length;
  }
}

TEST_F(TransmitterTest, HexPacketIsLoggedAsTypedAndWrittenAsBytes) {
  Connect();
  host.inputs.mode = DataMode::Hex;
  SendConsole("01 02");
  EXPECT_EQ(events.at(1), "log 01 02$0D");
  EXPECT_EQ(Written(), "\x01\x02\x0D");
  EXPECT_EQ(traffic.txBytes, 3);
}

TEST_F(TransmitterTest, ChecksumCoversTheConsoleWhileAnotherCommandIsSent) {
  Connect();
  host.inputs.console = "abc";
  host.inputs.tail = "[SUM_8(0..n)]";
  transmitter.SendPortData("xyz", host);
  EXPECT_EQ(Written(), "xyz26");
  EXPECT_EQ(history.Entry(1), "xyz");
}

TEST_F(TransmitterTest, RefusedWriteIsCountedAllTheSame) {
  Connect();
  port_->writeError = SerialError::DeviceRemoved;
  SendConsole("abc");
  EXPECT_EQ(traffic.txBytes, 4);
  EXPECT_EQ(events.back(), "count Send: 1");
}

TEST_F(TransmitterTest, CountersWrapAtTheTopOfThe32BitRange) {
  Connect();
  traffic.txBytes = std::numeric_limits<std::int32_t>::max() - 1;
  traffic.sendPackets = std::numeric_limits<std::int32_t>::max();
  SendConsole("abc");
  EXPECT_EQ(traffic.txBytes, std::numeric_limits<std::int32_t>::min() + 2);
  EXPECT_EQ(traffic.sendPackets, std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(events.at(4), "counters TX: -2147483646 RX: 0");
  EXPECT_EQ(events.back(), "count Send: -2147483648");
}

}  // namespace
}  // namespace velmora
