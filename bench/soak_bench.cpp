// Soak benchmark: the real window, offscreen, against the simulated device
// on a pseudo-terminal for a long run (30 minutes by default) of mixed
// traffic, in cycles of 20 s:
//   - 10 s of device traffic at a 115200-baud-like pace (115 bytes every
//     10 ms) with a burst of 1-6 KB every 2 s, all 256 byte values; the
//     view is paused ("||") and resumed, the colours ("Colors") and the
//     font size are clicked;
//   - 7 s of the terminal's own sends against the echoing device,
//     "Период, мс:" 100 in one cycle and "После ответа" in the next;
//   - back to manual sending, the line drained, then the device unplugged
//     for 1 s and plugged back; AutoConnect opens the port again.
// The window shows HEX with time stamps and writes the log file ("Start
// Log") from the start. Every byte the pty took from the device is recorded
// in a file beside the log; at the end the received lines of the log file
// are decoded and compared with it byte for byte.
//
// Every send purges the driver's input queue first, by design: bytes the
// terminal has not read yet are dropped then. The device's own traffic and
// the sends therefore take turns, with the line drained in between; the
// port counts the bytes waiting at each purge, so a send that did drop bytes
// shows in the figures (and fails the run).
//
// The resident size (VmRSS) and the descriptor count (/proc/self/fd) are
// sampled every minute, each time at the same point of a cycle (port open,
// line quiet), and printed as they are taken and as a curve at the end.
//
// Usage: velmora-soak-bench [minutes] (default 30; 1 for a smoke run)

#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench_window_doubles.h"
#include "common/clock.h"
#include "pty_device.h"
#include "serial/serial_port.h"
#include "ui/console.h"
#include "ui/log_buttons.h"
#include "ui/look.h"
#include "ui/main_form.h"
#include "ui/main_window.h"
#include "ui/receive_view.h"
#include "ui/widgets/limited_edit.h"

namespace {

using namespace velmora;
using namespace velmora::ui;
using namespace velmora::bench;
using SteadyClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kCycle = 20s;
constexpr auto kDeviceTraffic = 10s;
constexpr auto kSends = 7s;
constexpr auto kUnplugged = 1s;
constexpr auto kPace = 10ms;
constexpr std::size_t kPaceBytes = 115;  // 115200 baud, 10 bits a byte, per 10 ms
constexpr auto kBurstEvery = 2s;

double Seconds(SteadyClock::duration d) { return std::chrono::duration<double>(d).count(); }

void RunUntilTime(SteadyClock::time_point when) {
  RunFor(std::chrono::ceil<std::chrono::milliseconds>(when - SteadyClock::now()));
}

long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
  }
  return -1;
}

int DescriptorCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

std::string LoadAverage() {
  std::ifstream loadavg("/proc/loadavg");
  std::string one, five, fifteen;
  loadavg >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

// The system's port, counting the bytes that wait in the driver when a
// send's purge drops them.
class CountingPort : public SerialPort {
 public:
  CountingPort(std::unique_ptr<SerialPort> port, std::uint64_t& purged)
      : port_(std::move(port)), purged_(purged) {}
  SerialError Open(const std::string& name) override { return port_->Open(name); }
  void SetQueueSizes(std::uint32_t rx, std::uint32_t tx) override { port_->SetQueueSizes(rx, tx); }
  SerialError Apply(const LineSettings& settings) override { return port_->Apply(settings); }
  SerialError Probe(const LineSettings& settings) override { return port_->Probe(settings); }
  bool HungUp() override { return port_->HungUp(); }
  SerialError Purge() override {
    std::uint32_t waiting = 0;
    if (port_->BytesWaiting(waiting) == SerialError::None) purged_ += waiting;
    return port_->Purge();
  }
  SerialError BytesWaiting(std::uint32_t& count) override { return port_->BytesWaiting(count); }
  std::size_t Read(std::uint8_t* data, std::size_t size, SerialError& error) override {
    return port_->Read(data, size, error);
  }
  SerialError Write(const std::uint8_t* data, std::size_t size) override {
    return port_->Write(data, size);
  }
  void Close() override { port_->Close(); }
  bool IsValid() const override { return port_->IsValid(); }
  int ReadinessDescriptor() const override { return port_->ReadinessDescriptor(); }

 private:
  std::unique_ptr<SerialPort> port_;
  std::uint64_t& purged_;
};

// Everything the pty took from the device, in order, in a file; called from
// the device's thread.
class SentRecord {
 public:
  explicit SentRecord(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
  ~SentRecord() { Close(); }
  void Add(std::string_view bytes) {
    const std::lock_guard lock(mutex_);
    if (file_ != nullptr) std::fwrite(bytes.data(), 1, bytes.size(), file_);
    count_ += bytes.size();
  }
  void Close() {
    const std::lock_guard lock(mutex_);
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
  }
  std::uint64_t Count() const { return count_; }
  bool Opened() const {
    const std::lock_guard lock(mutex_);
    return file_ != nullptr;
  }

 private:
  mutable std::mutex mutex_;
  std::FILE* file_;
  std::atomic<std::uint64_t> count_{0};
};

// The device's own traffic, from a thread of its own: kPaceBytes every
// kPace and a burst every kBurstEvery while switched on. Once SetOn(false)
// has returned, nothing more is sent.
class Pacer {
 public:
  explicit Pacer(devsim::PtyDevice& device) : device_(device) {
    thread_ = std::thread([this] { Run(); });
  }
  ~Pacer() {
    {
      const std::lock_guard lock(mutex_);
      stop_ = true;
    }
    thread_.join();
  }
  void SetOn(bool on) {
    const std::lock_guard lock(mutex_);
    on_ = on;
  }

 private:
  void Run() {
    std::uniform_int_distribution<std::size_t> burstSize(1024, 6 * 1024);
    auto next = SteadyClock::now();
    auto nextBurst = next + kBurstEvery;
    std::string chunk;
    for (;;) {
      {
        const std::lock_guard lock(mutex_);
        if (stop_) return;
        if (on_) {
          device_.Send(RandomBytes(kPaceBytes, chunk));
          if (SteadyClock::now() >= nextBurst) {
            device_.Send(RandomBytes(burstSize(random_), chunk));
            nextBurst = SteadyClock::now() + kBurstEvery;
          }
        }
      }
      next += kPace;
      std::this_thread::sleep_until(next);
    }
  }
  std::string_view RandomBytes(std::size_t size, std::string& buffer) {
    buffer.resize(size);
    for (char& c : buffer) c = static_cast<char>(random_() >> 24);
    return buffer;
  }

  devsim::PtyDevice& device_;
  std::mt19937 random_{20261208};
  std::mutex mutex_;
  bool on_ = false;
  bool stop_ = false;
  std::thread thread_;
};

struct Sample {
  double minute;
  long residentKb;
  int descriptors;
  std::uint64_t deviceSent;
  std::int32_t received;
  std::int32_t sent;
  std::uintmax_t logFileBytes;
  std::string load;
};

struct Soak {
  QTemporaryDir dir;
  SilentDialogs dialogs;
  SentRecord record;
  std::uint64_t purged = 0;
  std::unique_ptr<devsim::PtyDevice> device;
  std::unique_ptr<TForm1> window;
  int reconnectFailures = 0;
  int drainFailures = 0;
  int drainsShort = 0;  // drained with fewer bytes received than sent
  double slowestReconnect = 0.0;
  std::vector<Sample> samples;

  Soak() : record(dir.filePath(QStringLiteral("device-sent.bin")).toStdString()) {
    QDir::setCurrent(dir.path());
    devsim::DeviceOptions options;
    options.mode = devsim::Mode::Echo;
    options.linkPath = dir.filePath(QStringLiteral("port")).toStdString();
    options.keepReceived = false;
    options.onSent = [this](std::string_view bytes) { record.Add(bytes); };
    device = std::make_unique<devsim::PtyDevice>(std::move(options));
    TerminalServices services = ServicesWithoutPortList();
    services.portFactory = [this] {
      return std::make_unique<CountingPort>(CreateSerialPort(), purged);
    };
    window = std::make_unique<TForm1>(dialogs, std::move(services));
    window->show();
    MainForm& form = window->Form();
    form.BaudRate->setCurrentIndex(7);
    form.AddStrCmd->clear();
    form.RBHEX->click();
    form.VisTime->setChecked(true);
    form.AutoConnect->setChecked(true);
    for (int i = 0; i < 3; ++i) window->Receive().TimeOutRxClick(true);  // TimeRX 3
    form.ComPort->setEditText(QString::fromStdString(device->PortName()));
    form.BTConnect->click();
    form.StartLog->click();
  }

  std::string LogFilePath() const {
    return dir.filePath(QString::fromStdString(window->Log().LogFileName())).toStdString();
  }

  void TakeSample(double minute) {
    const Traffic& traffic = window->Term().Counters();
    std::error_code error;
    const std::uintmax_t logSize = std::filesystem::file_size(LogFilePath(), error);
    samples.push_back({minute, StatusKilobytes("VmRSS"), DescriptorCount(), record.Count(),
                       traffic.rxBytes, traffic.txBytes, error ? 0 : logSize, LoadAverage()});
    const Sample& s = samples.back();
    std::printf(
        "minute %5.1f: RSS %7.1f MB, descriptors %3d, device sent %llu, received %d, terminal "
        "sent %d, log file %ju bytes, load %s\n",
        s.minute, static_cast<double>(s.residentKb) / 1024.0, s.descriptors,
        static_cast<unsigned long long>(s.deviceSent), s.received, s.sent, s.logFileBytes,
        s.load.c_str());
    std::fflush(stdout);
  }

  // Everything the terminal sent has reached the device, the device has
  // nothing left to send and no packet waits for its time-out.
  bool Settled() {
    const Traffic& traffic = window->Term().Counters();
    return device->ReceivedCount() == static_cast<std::uint32_t>(traffic.txBytes) &&
           device->WaitUntilSent(0ms) && !window->Term().ReceivePath().PacketPending();
  }
  // And everything the device sent has been read and shown.
  bool LineQuiet() {
    return Settled() && static_cast<std::uint32_t>(window->Term().Counters().rxBytes) ==
                            static_cast<std::uint32_t>(record.Count());
  }

  // Quiet twice, 100 ms apart: an echo on its way shows in between. Once
  // bytes were lost the counts never meet again: then settled with the
  // received count unchanged for a second is the end, and the run goes on
  // (the log check reports the loss).
  void Drain() {
    const auto limit = SteadyClock::now() + 10s;
    std::int32_t lastReceived = window->Term().Counters().rxBytes;
    auto unchangedSince = SteadyClock::now();
    while (SteadyClock::now() < limit) {
      if (LineQuiet()) {
        RunFor(100ms);
        if (LineQuiet()) return;
        continue;
      }
      RunFor(20ms);
      const std::int32_t received = window->Term().Counters().rxBytes;
      if (received != lastReceived || !Settled()) {
        lastReceived = received;
        unchangedSince = SteadyClock::now();
      } else if (SteadyClock::now() - unchangedSince >= 1s) {
        ++drainsShort;
        return;
      }
    }
    ++drainFailures;
  }

  void DeviceTraffic(Pacer& pacer, SteadyClock::time_point start) {
    MainForm& form = window->Form();
    pacer.SetOn(true);
    RunUntilTime(start + 2s);
    form.BTPalitra->click();
    RunUntilTime(start + 3s);
    form.StartStop->click();  // "||"
    RunUntilTime(start + 5s);
    form.StartStop->click();  // ">"
    window->LogControls().SriftClick(true);
    RunUntilTime(start + 7s);
    form.BTPalitra->click();
    window->LogControls().SriftClick(false);
    RunUntilTime(start + kDeviceTraffic);
    pacer.SetOn(false);
  }

  void Sends(int cycle, SteadyClock::time_point start) {
    MainForm& form = window->Form();
    char command[32];
    std::snprintf(command, sizeof command, "53 %02X %02X 0D", cycle % 256, (cycle / 256) % 256);
    form.MainStrCmd->setText(QString::fromLatin1(command));
    if (cycle % 2 == 0) {
      form.PeriodTX->setText(QStringLiteral("100"));
      form.RBPeriod->click();
    } else {
      form.RBAfterAns->click();
      window->ConsoleLine().ButtonSendClick();
    }
    RunUntilTime(start + kDeviceTraffic + kSends);
    form.RBManual->click();
  }

  void Replug() {
    device->Unplug();
    RunFor(std::chrono::duration_cast<std::chrono::milliseconds>(kUnplugged));
    const auto plugged = SteadyClock::now();
    device->PlugBack();
    if (!RunUntil([&] { return window->Term().Link().PortOpen(); }, 10s)) {
      ++reconnectFailures;
      return;
    }
    slowestReconnect = std::max(slowestReconnect, Seconds(SteadyClock::now() - plugged));
  }
};

// The received lines of the log file, decoded from HEX, against what the
// device sent: the offset of the first difference, or none.
struct LogCheck {
  std::uint64_t decoded = 0;
  std::uint64_t receivedLines = 0;
  std::uint64_t sentLines = 0;
  std::uint64_t badLines = 0;
  bool same = false;
  std::uint64_t firstDifference = 0;
};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

LogCheck CheckLogFile(const std::string& logPath, const std::string& sentPath) {
  LogCheck check;
  std::ifstream sentFile(sentPath, std::ios::binary);
  const std::string sent((std::istreambuf_iterator<char>(sentFile)),
                         std::istreambuf_iterator<char>());
  std::ifstream log(logPath, std::ios::binary);
  std::string line;
  bool differs = false;
  // " [ 10:00:00:001 < ] 4F 4B" CR LF; the sends' lines have "> ]".
  while (std::getline(log, line)) {
    if (line.empty() || line.back() != '\r' || line.size() < 21 || line.compare(0, 3, " [ ") != 0) {
      ++check.badLines;
      continue;
    }
    line.pop_back();
    if (line[16] == '>') {
      ++check.sentLines;
      continue;
    }
    ++check.receivedLines;
    if (line.compare(15, 5, " < ] ") != 0 || (line.size() - 20) % 3 != 2) {
      ++check.badLines;
      continue;
    }
    for (std::size_t i = 20; i + 1 < line.size(); i += 3) {
      const int high = HexValue(line[i]);
      const int low = HexValue(line[i + 1]);
      if (high < 0 || low < 0 || (i + 2 < line.size() && line[i + 2] != ' ')) {
        ++check.badLines;
        break;
      }
      const auto byte = static_cast<char>(high * 16 + low);
      if (!differs && (check.decoded >= sent.size() || sent[check.decoded] != byte)) {
        differs = true;
        check.firstDifference = check.decoded;
      }
      ++check.decoded;
    }
  }
  check.same = !differs && check.badLines == 0 && check.decoded == sent.size();
  if (!differs && check.decoded != sent.size()) check.firstDifference = check.decoded;
  return check;
}

void PrintCurve(const std::vector<Sample>& samples) {
  if (samples.empty()) return;
  long lowKb = samples.front().residentKb;
  long highKb = lowKb;
  int lowFd = samples.front().descriptors;
  int highFd = lowFd;
  for (const Sample& s : samples) {
    lowKb = std::min(lowKb, s.residentKb);
    highKb = std::max(highKb, s.residentKb);
    lowFd = std::min(lowFd, s.descriptors);
    highFd = std::max(highFd, s.descriptors);
  }
  std::printf("\nresident size, MB (bar from %.1f to %.1f):\n", static_cast<double>(lowKb) / 1024.0,
              static_cast<double>(highKb) / 1024.0);
  for (const Sample& s : samples) {
    const long span = std::max(1L, highKb - lowKb);
    const int bar = 1 + static_cast<int>(50 * (s.residentKb - lowKb) / span);
    std::printf("  %5.1f min %7.1f |%s\n", s.minute, static_cast<double>(s.residentKb) / 1024.0,
                std::string(static_cast<std::size_t>(bar), '#').c_str());
  }
  std::printf("descriptors (bar from %d to %d):\n", lowFd, highFd);
  for (const Sample& s : samples) {
    const int bar = 1 + 10 * (s.descriptors - lowFd) / std::max(1, highFd - lowFd);
    std::printf("  %5.1f min %4d |%s\n", s.minute, s.descriptors,
                std::string(static_cast<std::size_t>(bar), '#').c_str());
  }
}

void PrintAt(const std::vector<Sample>& samples, double minute) {
  for (const Sample& s : samples) {
    if (s.minute != minute) continue;
    std::printf(
        "at %4.1f min: device sent %llu, received %d, terminal sent %d, log file %ju bytes, RSS "
        "%.1f MB, descriptors %d\n",
        minute, static_cast<unsigned long long>(s.deviceSent), s.received, s.sent, s.logFileBytes,
        static_cast<double>(s.residentKb) / 1024.0, s.descriptors);
  }
}

int Run(double minutes) {
  const int cycles = std::max(1, static_cast<int>(minutes * 60.0 / Seconds(kCycle) + 0.5));
  std::printf("soak: %d cycles of %.0f s (%.1f min), pid %d, load %s\n", cycles, Seconds(kCycle),
              cycles * Seconds(kCycle) / 60.0, static_cast<int>(::getpid()), LoadAverage().c_str());
  Soak soak;
  if (!soak.record.Opened() ||
      !RunUntil([&] { return soak.window->Term().Link().PortOpen(); }, 10s) ||
      !soak.window->Log().LogToFile()) {
    std::printf("FAILED: the port or the log file did not open\n");
    return 1;
  }
  Pacer pacer(*soak.device);
  const auto t0 = SteadyClock::now();
  soak.TakeSample(0.0);
  const int cyclesAMinute = static_cast<int>(60s / kCycle);
  for (int cycle = 0; cycle < cycles; ++cycle) {
    const auto start = t0 + cycle * kCycle;
    RunUntilTime(start);
    if (cycle > 0 && cycle % cyclesAMinute == 0) soak.TakeSample(cycle / double(cyclesAMinute));
    soak.DeviceTraffic(pacer, start);
    // A send purges what waits unread: the device's last bytes are read first.
    soak.Drain();
    soak.Sends(cycle, start);
    soak.Drain();
    soak.Replug();
  }
  RunUntilTime(t0 + cycles * kCycle);
  soak.Drain();
  soak.TakeSample(cycles / double(cyclesAMinute));
  const double wall = Seconds(SteadyClock::now() - t0);

  // The device's thread adds no more bytes to the record.
  soak.device->Unplug();
  soak.record.Close();
  const std::string sentPath = soak.dir.filePath(QStringLiteral("device-sent.bin")).toStdString();
  const LogCheck check = CheckLogFile(soak.LogFilePath(), sentPath);
  const Traffic& traffic = soak.window->Term().Counters();
  PrintCurve(soak.samples);
  std::printf("\n");
  for (double minute : {1.0, 15.0, 30.0}) PrintAt(soak.samples, minute);
  std::printf(
      "\n%.1f min, %d unplug/re-plug cycles: device sent %llu bytes, terminal received %d, log "
      "file holds %llu received bytes in %llu lines (and %llu lines of sends); terminal sent %d "
      "bytes, device received %zu\n",
      wall / 60.0, cycles, static_cast<unsigned long long>(soak.record.Count()), traffic.rxBytes,
      static_cast<unsigned long long>(check.decoded),
      static_cast<unsigned long long>(check.receivedLines),
      static_cast<unsigned long long>(check.sentLines), traffic.txBytes,
      soak.device->ReceivedCount());
  std::printf(
      "bytes waiting at a send's purge: %llu; re-plugs not reconnected within 10 s: %d (slowest "
      "%.2f s); drains that timed out: %d, that ended short: %d; malformed log lines: %llu; peak "
      "RSS %.1f MB\n",
      static_cast<unsigned long long>(soak.purged), soak.reconnectFailures, soak.slowestReconnect,
      soak.drainFailures, soak.drainsShort, static_cast<unsigned long long>(check.badLines),
      static_cast<double>(StatusKilobytes("VmHWM")) / 1024.0);
  if (check.same) {
    std::printf("log file: every byte the device sent, byte for byte, in order\n");
  } else {
    std::printf("log file: BYTES LOST OR WRONG from byte %llu of %llu\n",
                static_cast<unsigned long long>(check.firstDifference),
                static_cast<unsigned long long>(soak.record.Count()));
  }
  const bool ok = check.same && soak.reconnectFailures == 0 && soak.drainFailures == 0 &&
                  soak.drainsShort == 0 && soak.purged == 0 &&
                  static_cast<std::uint32_t>(traffic.rxBytes) ==
                      static_cast<std::uint32_t>(soak.record.Count());
  std::printf("soak %s\n", ok ? "passed" : "FAILED");
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  velmora::ui::PrepareQtRuntime();  // as the program runs
  QApplication app(argc, argv);
  const double minutes = argc > 1 ? std::atof(argv[1]) : 30.0;
  return Run(minutes);
}
