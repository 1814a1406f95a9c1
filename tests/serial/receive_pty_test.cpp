// The receive path through the real kernel tty driver: the receiver polls a
// termios port, the simulated device sends on the other end. The poll runs
// in a tight loop on the wall clock, as the window's timer would drive it.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/clock.h"
#include "pty_device.h"
#include "receive/receiver.h"
#include "serial/serial_link.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// Keeps the rendered lines; in HEX mode they decode back to the packet bytes.
class RecordingHost : public ReceiveHost {
 public:
  ReceiveInputs CurrentReceiveInputs() override { return inputs; }
  void AppendLogLine(const Bytes& line) override { lines.push_back(line); }
  bool WriteLogFile(const Bytes&) override { return true; }
  void ShowByteCounters(const Bytes&) override {}
  void ShowReadCount(const Bytes&) override {}
  void ShowGaps(const Bytes&, const Bytes&) override {}
  void AfterAnswer() override {}

  ReceiveInputs inputs;
  std::vector<Bytes> lines;
};

// "4F 4B 0D" -> "OK\r"
std::string DecodeHexLine(const Bytes& line) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < line.size(); i += 3) {
    bytes.push_back(static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class ReceiveOverPty : public ::testing::Test {
 protected:
  void SetUp() override {
    devsim::DeviceOptions options;
    options.mode = devsim::Mode::Silent;
    device = std::make_unique<devsim::PtyDevice>(options);
    ASSERT_EQ(link.OpenPort({device->PortName(), 115200, 8, 0}), OpenResult::Opened);
    host.inputs.mode = DataMode::Hex;
  }

  // Polls for `duration` of wall-clock time, about every 200 microseconds.
  void PollFor(std::chrono::milliseconds duration) {
    const auto end = SteadyClock::now() + duration;
    while (SteadyClock::now() < end) {
      receiver.RxTimerTimer(host);
      std::this_thread::sleep_for(200us);
    }
  }

  std::unique_ptr<Clock> clock = CreateSystemClock();
  SerialLink link{[] { return CreateSerialPort(); }, [](int) {}};
  Traffic traffic;
  Receiver receiver{link, traffic, *clock};
  RecordingHost host;
  std::unique_ptr<devsim::PtyDevice> device;
};

TEST_F(ReceiveOverPty, BurstsSeparatedByMoreThanTheTimeOutGiveSeparateLines) {
  receiver.SetTimeRx(20);
  for (const char* burst : {"first\r\n", "second\r\n", "third\r\n"}) {
    device->Send(burst);
    PollFor(80ms);
  }
  ASSERT_EQ(host.lines.size(), 3u);
  EXPECT_EQ(DecodeHexLine(host.lines[0]), "first\r\n");
  EXPECT_EQ(DecodeHexLine(host.lines[1]), "second\r\n");
  EXPECT_EQ(DecodeHexLine(host.lines[2]), "third\r\n");
  EXPECT_EQ(traffic.rxBytes, 22);
}

TEST_F(ReceiveOverPty, AContinuousStreamArrivesWholeInPacketsOfMoreThan1500Bytes) {
  receiver.SetTimeRx(200);
  const std::string flood = devsim::FloodBytes(300000, false);
  device->Send(flood);
  const auto deadline = SteadyClock::now() + 20s;
  while (traffic.rxBytes < static_cast<std::int32_t>(flood.size()) &&
         SteadyClock::now() < deadline) {
    receiver.RxTimerTimer(host);
  }
  PollFor(300ms);  // the last piece ends by time-out
  std::string got;
  for (std::size_t i = 0; i < host.lines.size(); ++i) {
    const std::string packet = DecodeHexLine(host.lines[i]);
    if (i + 1 < host.lines.size()) {
      EXPECT_GT(packet.size(), 1500u) << "packet " << i;
      EXPECT_LE(packet.size(), 2048u) << "packet " << i;
    }
    got += packet;
  }
  EXPECT_EQ(got.size(), flood.size());
  EXPECT_TRUE(got == flood) << "bytes lost, doubled or out of order";
}

TEST_F(ReceiveOverPty, AVanishedDeviceEndsThePollQuietlyAndKeepsTheGatheredBytes) {
  receiver.SetTimeRx(100000);
  device->Send("partial");
  const auto deadline = SteadyClock::now() + 5s;
  while (receiver.ReceiveLength() < 7 && SteadyClock::now() < deadline) receiver.RxTimerTimer(host);
  ASSERT_EQ(receiver.ReceiveLength(), 7u);
  device->Unplug();
  const double cpuBefore = CpuSeconds();
  for (int i = 0; i < 1000; ++i) receiver.RxTimerTimer(host);
  const double cpuUsed = CpuSeconds() - cpuBefore;
  EXPECT_EQ(receiver.LastPollError(), SerialError::DeviceRemoved);
  EXPECT_EQ(receiver.ReceiveLength(), 7u);
  EXPECT_TRUE(host.lines.empty());
  // A thousand polls of a dead port are cheap queries, not blocking reads.
  EXPECT_LT(cpuUsed, 0.5);
}

}  // namespace
}  // namespace velmora
