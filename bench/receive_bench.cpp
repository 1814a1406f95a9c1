// Receive-path benchmark: the real window, offscreen, connected to the
// simulated device through a pseudo-terminal. Prints one line per figure:
//   1. CPU share of the terminal over 10 s with the port open and the line quiet;
//   2. a 10 MB flood of pseudo-random bytes in HEX mode with time stamps;
//   3. a 10 MB flood of 60-character text lines ending in CR LF in ASCII mode;
//   4. 1000 request/answer exchanges with TimeRX 5: the packet count and the
//      time from the device's last answer byte to the line in the log;
//   5. 200 bursts of 40 text bytes every 20 ms with TimeRX 1: the CPU share
//      of the terminal while they arrive, each line as whole bursts, and the
//      share a second after the last burst.
//   6. and 7. the floods of 2 and 3 with the log file on ("Start Log"): the
//      file must hold every line shown, byte for byte, each followed by CR LF;
//   8. the resident size of one window at start-up, through three floods
//      (HEX with time stamps, ASCII, HEX) and after them.
// Every received byte is checked: the HEX lines are decoded back and compared
// with what the device sent as they come; ASCII bytes are counted (a line
// drops its packet's last character). The floods also print the resident
// size before and after; both include the flood's data, held by the benchmark.
// Each line ends with the machine's load average over the last minute.
//
// Usage: velmora-receive-bench [megabytes] [exchanges] [figures, e.g. 12345678] [rounds]
// With rounds above 1 the floods run that many times, a flood with the log
// file next to the same flood without it (in turn first and second), and the
// log file's cost is printed as the median of the paired ratios.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench_window_doubles.h"
#include "common/clock.h"
#include "pty_device.h"
#include "serial/port_discovery.h"
#include "serial/serial_port.h"
#include "ui/console.h"
#include "ui/dialogs.h"
#include "ui/log_buttons.h"
#include "ui/look.h"
#include "ui/main_form.h"
#include "ui/main_window.h"
#include "ui/receive_view.h"
#include "ui/text_codec.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"

namespace {

using namespace velmora;
using namespace velmora::ui;
using namespace velmora::bench;
using SteadyClock = std::chrono::steady_clock;

// The resident size of the process, in MB (VmRSS).
double ResidentMb() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return -1.0;
  char line[256];
  long kilobytes = -1;
  while (std::fgets(line, sizeof line, status)) {
    if (std::sscanf(line, "VmRSS: %ld kB", &kilobytes) == 1) break;
  }
  std::fclose(status);
  return static_cast<double>(kilobytes) / 1024.0;
}

double Seconds(SteadyClock::duration d) { return std::chrono::duration<double>(d).count(); }

// The load average over the last minute: the machine may be shared.
double LoadAverage() {
  double load[1] = {-1.0};
  return getloadavg(load, 1) == 1 ? load[0] : -1.0;
}

// " [ 10:00:00:001 < ] 4F 4B" -> "OK"; the time stamp is 20 characters.
std::string DecodeHex(const Bytes& line) {
  std::string bytes;
  for (std::size_t i = 20; i + 1 < line.size(); i += 3) {
    bytes.push_back(static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// "0000001 abc...xyz\r\n": 60 characters a line, CR LF included.
std::string TextLines(std::size_t size) {
  std::string text;
  text.reserve(size + 60);
  for (int n = 1; text.size() < size; ++n) {
    char head[16];
    std::snprintf(head, sizeof head, "%07d ", n % 10000000);
    std::string line = head;
    while (line.size() < 58) line.push_back(static_cast<char>('a' + line.size() % 26));
    text += line + "\r\n";
  }
  text.resize(size - size % 60);
  return text;
}

struct Bench {
  QTemporaryDir dir;
  SilentDialogs dialogs;
  std::unique_ptr<devsim::PtyDevice> device;
  std::unique_ptr<TForm1> window;
  // The bytes a flood sends: each HEX line is decoded and compared with them
  // as it comes, so that the benchmark holds no copy that would count in
  // the resident size.
  const std::string* expected = nullptr;
  std::size_t checked = 0;  // bytes of *expected matched so far
  bool intact = true;
  int receivedLines = 0;
  std::vector<Bytes> keptLines;  // the lines as shown, when kept
  bool keepLines = false;
  SteadyClock::time_point lastLineAt;

  explicit Bench(devsim::DeviceOptions options) {
    QDir::setCurrent(dir.path());
    device = std::make_unique<devsim::PtyDevice>(std::move(options));
    TerminalServices services;
    services.portFactory = [] { return CreateSerialPort(); };
    services.discovery = std::make_unique<NoPorts>();
    services.clock = CreateSystemClock();
    services.sleeper = [](int) {};
    window = std::make_unique<TForm1>(dialogs, std::move(services));
    window->show();
    MainForm& form = window->Form();
    form.BaudRate->setCurrentIndex(7);
    form.ComPort->setEditText(QString::fromStdString(device->PortName()));
    form.BTConnect->click();
    // Every received line passes through the log-file hook: count and keep
    // it there. The echo of a send passes it too, while the send runs.
    window->LogOutput().SetLogFileWriter(&lines);
  }
  ~Bench() { window->LogOutput().SetLogFileWriter(nullptr); }

  struct ReceivedLines : LogFileWriter {
    Bench* bench;
    explicit ReceivedLines(Bench* owner) : bench(owner) {}
    bool WriteLogFile(const Bytes& line) override {
      if (!bench->window->Term().Transmit().SendBusy()) bench->Received(line);
      if (next == nullptr) return true;
      // What the log file must now hold in addition.
      if (bench->window->Log().LogToFile()) bench->fileExpected.append(line).append("\r\n");
      const auto start = SteadyClock::now();
      const double cpuStart = CpuSeconds();
      const bool written = next->WriteLogFile(line);
      bench->logFileCpu += CpuSeconds() - cpuStart;
      bench->logFileTime += SteadyClock::now() - start;
      return written;
    }
    LogFileWriter* next = nullptr;  // the window's own log-file writer
  } lines{this};
  Bytes fileExpected;
  SteadyClock::duration logFileTime{};  // spent in the window's log-file writes
  double logFileCpu = 0.0;              // the window thread's CPU seconds in them

  // Writes through the window's log file as well ("Start Log").
  void StartLogFile() {
    lines.next = &window->LogControls();
    window->Form().StartLog->click();
  }
  QByteArray LogFileBytes() {
    QFile file(QString::fromStdString(window->Log().LogFileName()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  void Received(const Bytes& line) {
    ++receivedLines;
    lastLineAt = SteadyClock::now();
    if (keepLines) keptLines.push_back(line);
    if (expected != nullptr && window->Form().RBHEX->isChecked()) {
      const std::string bytes = DecodeHex(line);
      if (expected->compare(checked, bytes.size(), bytes) != 0) intact = false;
      checked += bytes.size();
    }
  }
};

void QuietLine() {
  devsim::DeviceOptions options;
  options.mode = devsim::Mode::Silent;
  Bench bench(std::move(options));
  QCoreApplication::processEvents();
  const double cpu0 = CpuSeconds();
  const auto t0 = SteadyClock::now();
  RunFor(std::chrono::seconds(10));
  const double share = (CpuSeconds() - cpu0) / Seconds(SteadyClock::now() - t0) * 100.0;
  std::printf(
      "1. idle, port open, quiet line: %.3f %% of a core over 10 s (target <= 0.2 %%); load %.2f\n",
      share, LoadAverage());
}

// The figures of one flood that the log file's cost compares.
struct FloodFigures {
  double megabytesPerSecond = 0.0;
  double cpuSecondsPerMegabyte = 0.0;
  double logFileShare = 0.0;     // % of the flood's time spent writing the file
  double logFileCpuShare = 0.0;  // % of the window thread's CPU time spent so
};

FloodFigures Flood(bool hex, std::size_t megabytes, bool logFile) {
  devsim::DeviceOptions options;
  options.mode = devsim::Mode::Silent;
  Bench bench(std::move(options));
  MainForm& form = bench.window->Form();
  if (logFile) bench.StartLogFile();
  if (hex) form.RBHEX->click();
  form.VisTime->setChecked(hex);
  bench.window->Receive().TimeOutRxClick(true);  // TimeRX 1
  const std::size_t size = megabytes * 1000 * 1000;
  const std::string data = hex ? devsim::FloodBytes(size, false) : TextLines(size);
  // Room for what the file must hold (three characters a byte and a time
  // stamp a line in HEX), its pages touched now: keeping it must cost no
  // copies and no page faults inside the measured time.
  if (logFile) {
    bench.fileExpected.resize(hex ? 3 * size + size / 8 : size + size / 8);
    bench.fileExpected.clear();
  }
  QCoreApplication::processEvents();
  const double residentBefore = ResidentMb();
  const double cpu0 = CpuSeconds();
  const auto t0 = SteadyClock::now();
  bench.expected = &data;
  bench.device->Send(data);
  const bool complete = RunUntil(
      [&] {
        return bench.window->Term().Counters().rxBytes >= static_cast<std::int32_t>(data.size()) &&
               !bench.window->Term().ReceivePath().PacketPending();
      },
      std::chrono::seconds(300));
  const double elapsed = Seconds(bench.lastLineAt - t0);
  const double cpu = CpuSeconds() - cpu0;
  const double mb = static_cast<double>(data.size()) / 1e6;
  // HEX lines decode back to every byte. An ASCII line loses its packet's
  // last character by the display rules, so there the count is the check.
  const bool exact =
      hex ? bench.intact && bench.checked == data.size()
          : bench.window->Term().Counters().rxBytes == static_cast<std::int32_t>(data.size());
  std::string fileCheck;
  if (logFile) {
    const QByteArray file = bench.LogFileBytes();
    const bool same =
        !bench.fileExpected.empty() && file == QByteArray::fromStdString(bench.fileExpected);
    char share[160];
    std::snprintf(share, sizeof share,
                  ", %.0f ms in its writes (%.2f %% of the flood's time), %.0f ms of CPU (%.2f %% "
                  "of the window thread's)",
                  Seconds(bench.logFileTime) * 1e3, Seconds(bench.logFileTime) / elapsed * 100.0,
                  bench.logFileCpu * 1e3, bench.logFileCpu / cpu * 100.0);
    fileCheck = ", log file " + std::to_string(file.size()) + " bytes, " +
                (same ? "every shown line byte for byte" : "LOG FILE DIFFERS") + share;
  }
  std::printf(
      "%d. %s flood of %.0f MB%s: received %d of %zu bytes%s, %s, %.2f MB/s, %.3f CPU s/MB, "
      "%d packets, resident %.1f MB before, %.1f MB after%s; load %.2f\n",
      (hex ? 2 : 3) + (logFile ? 4 : 0), hex ? "HEX+time stamp random" : "ASCII 60-char line", mb,
      logFile ? " with the log file" : "", bench.window->Term().Counters().rxBytes, data.size(),
      complete ? "" : " (timed out)",
      exact ? (hex ? "every byte exact and in order" : "every byte counted") : "BYTES LOST",
      mb / elapsed, cpu / mb, bench.receivedLines, residentBefore, ResidentMb(), fileCheck.c_str(),
      LoadAverage());
  std::fflush(stdout);
  return {mb / elapsed, cpu / mb, Seconds(bench.logFileTime) / elapsed * 100.0,
          bench.logFileCpu / cpu * 100.0};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1.0 : values[values.size() / 2];
}

// The log file's cost for one kind of flood: with it against without it,
// round by round, as the median of the ratios.
void PrintLogFileCost(const char* kind, const std::vector<FloodFigures>& without,
                      const std::vector<FloodFigures>& with) {
  std::vector<double> throughput;
  std::vector<double> cpu;
  std::vector<double> writes;
  std::vector<double> writesCpu;
  std::string each;
  for (std::size_t i = 0; i < std::min(without.size(), with.size()); ++i) {
    throughput.push_back(with[i].megabytesPerSecond / without[i].megabytesPerSecond * 100.0);
    cpu.push_back(without[i].cpuSecondsPerMegabyte / with[i].cpuSecondsPerMegabyte * 100.0);
    writes.push_back(with[i].logFileShare);
    writesCpu.push_back(with[i].logFileCpuShare);
    char round[32];
    std::snprintf(round, sizeof round, "%s%.0f", each.empty() ? "" : " ", throughput.back());
    each += round;
  }
  if (throughput.empty()) return;
  std::printf(
      "log file cost, %s, %zu rounds: throughput with the file %.1f %% of without (median; each "
      "round %s), CPU-time throughput %.1f %% (target >= 90 %%); the file's writes take %.2f %% "
      "of the time and %.2f %% of the window thread's CPU with it; load %.2f\n",
      kind, throughput.size(), Median(throughput), each.c_str(), Median(cpu), Median(writes),
      Median(writesCpu), LoadAverage());
}

void Exchanges(int count) {
  devsim::DeviceOptions options;
  options.mode = devsim::Mode::Script;
  options.script.push_back({"ping", "pong 0123456789\r\n", 0});
  Bench bench(std::move(options));
  MainForm& form = bench.window->Form();
  for (int i = 0; i < 5; ++i) bench.window->Receive().TimeOutRxClick(true);  // TimeRX 5
  form.MainStrCmd->setText("ping");
  std::vector<double> latencies;
  latencies.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const int before = bench.receivedLines;
    bench.window->ConsoleLine().ButtonSendClick();
    if (!RunUntil([&] { return bench.receivedLines > before; }, std::chrono::seconds(5))) break;
    latencies.push_back(Seconds(bench.lastLineAt - bench.device->LastSentAt()) * 1000.0);
  }
  std::sort(latencies.begin(), latencies.end());
  const auto at = [&](double q) {
    return latencies.empty() ? -1.0
                             : latencies[std::min(latencies.size() - 1,
                                                  static_cast<std::size_t>(q * latencies.size()))];
  };
  std::printf(
      "4. %d request/answer exchanges, TimeRX 5: %d packets, last answer byte to log line "
      "median %.2f ms, p99 %.2f ms (target p99 < 8 ms); load %.2f\n",
      count, bench.receivedLines, at(0.5), at(0.99), LoadAverage());
}

void Bursts(int count) {
  devsim::DeviceOptions options;
  options.mode = devsim::Mode::Silent;
  Bench bench(std::move(options));
  bench.window->Receive().TimeOutRxClick(true);  // TimeRX 1
  bench.keepLines = true;
  const std::string burst = TextLines(60).substr(0, 40);
  QCoreApplication::processEvents();
  RunFor(std::chrono::milliseconds(500));
  const double cpu0 = CpuSeconds();
  const auto t0 = SteadyClock::now();
  int sent = 0;
  QEventLoop loop;
  QTimer pace;
  pace.setTimerType(Qt::PreciseTimer);
  QObject::connect(&pace, &QTimer::timeout, &loop, [&] {
    if (sent == count) {
      loop.quit();
      return;
    }
    bench.device->Send(burst);
    ++sent;
  });
  pace.start(20);
  loop.exec();
  pace.stop();
  // The last burst's line.
  const std::int32_t total = static_cast<std::int32_t>(burst.size()) * count;
  RunUntil(
      [&] {
        return bench.window->Term().Counters().rxBytes >= total &&
               !bench.window->Term().ReceivePath().PacketPending();
      },
      std::chrono::seconds(5));
  const double seconds = Seconds(SteadyClock::now() - t0);
  const double share = (CpuSeconds() - cpu0) / seconds * 100.0;
  // Bursts that reach the port back to back (a busy machine delays the
  // device) make one packet: each line must be whole bursts, in order, less
  // the packet's last character.
  std::string expected;
  for (int i = 0; i < count; ++i) expected += burst;
  std::string shown;
  int linesOfWholeBursts = 0;
  for (const Bytes& line : bench.keptLines) {
    const Bytes packet = line + burst.back();
    if (packet.size() % burst.size() == 0 &&
        expected.compare(shown.size(), packet.size(), packet) == 0)
      ++linesOfWholeBursts;
    shown += packet;
  }
  const bool exact = shown == expected && linesOfWholeBursts == bench.receivedLines;
  // The log holds its lines and nothing arrives: a second later the
  // terminal must be asleep.
  RunFor(std::chrono::seconds(1));
  const double cpuQuiet0 = CpuSeconds();
  const auto q0 = SteadyClock::now();
  RunFor(std::chrono::seconds(3));
  const double quiet = (CpuSeconds() - cpuQuiet0) / Seconds(SteadyClock::now() - q0) * 100.0;
  std::printf(
      "5. %d bursts of %zu bytes every 20 ms, TimeRX 1: %d lines, %s, %.2f %% of a core; "
      "from 1 s after the last burst, %.3f %% over 3 s; load %.2f\n",
      count, burst.size(), bench.receivedLines,
      exact ? "every byte exact, each line whole bursts" : "BYTES LOST", share, quiet,
      LoadAverage());
}

// The resident size of one window through three 10 MB floods (HEX with
// time stamps, ASCII, HEX again) and after them: the start-up figure is taken
// before any flood data exists, and the last one after the data is freed.
void MemoryAcrossFloods(std::size_t megabytes) {
  devsim::DeviceOptions options;
  options.mode = devsim::Mode::Silent;
  Bench bench(std::move(options));
  MainForm& form = bench.window->Form();
  bench.window->Receive().TimeOutRxClick(true);  // TimeRX 1
  RunFor(std::chrono::milliseconds(500));
  const double startup = ResidentMb();
  std::string report;
  bool exact = true;
  std::int64_t total = 0;
  for (const bool hex : {true, false, true}) {
    if (hex) {
      form.RBHEX->click();
    } else {
      form.RBASCII->click();
    }
    form.VisTime->setChecked(hex);
    double peak = 0.0;
    {
      const std::size_t size = megabytes * 1000 * 1000;
      const std::string data = hex ? devsim::FloodBytes(size, false) : TextLines(size);
      total += static_cast<std::int64_t>(data.size());
      bench.expected = &data;
      bench.checked = 0;
      bench.device->Send(data);
      exact = RunUntil(
                  [&] {
                    return bench.window->Term().Counters().rxBytes >= total &&
                           !bench.window->Term().ReceivePath().PacketPending();
                  },
                  std::chrono::seconds(300)) &&
              exact && (!hex || (bench.intact && bench.checked == data.size()));
      peak = ResidentMb();
      bench.expected = nullptr;
    }
    // The log hands its freed memory back a second after it was last emptied.
    RunFor(std::chrono::milliseconds(LogWindow::kReleaseAfterMs + 500));
    char step[96];
    std::snprintf(step, sizeof step, "%s after %s %.1f MB (%.1f with its data)",
                  report.empty() ? "" : ",", hex ? "HEX" : "ASCII", ResidentMb(), peak);
    report += step;
  }
  std::printf(
      "8. resident size of one window, three %zu MB floods: start-up %.1f MB,%s; %s; "
      "at the end %.2f x the start-up figure (target <= 1.5); load %.2f\n",
      megabytes, startup, report.c_str(), exact ? "every byte received" : "BYTES LOST",
      ResidentMb() / startup, LoadAverage());
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  velmora::ui::PrepareQtRuntime();  // as the program runs
  QApplication app(argc, argv);
  QApplication::setFont(UiFont(8));
  const std::size_t megabytes = argc > 1 ? std::stoul(argv[1]) : 10;
  const int exchanges = argc > 2 ? std::stoi(argv[2]) : 1000;
  // A third argument picks figures, e.g. "23" for the two floods only.
  const std::string only = argc > 3 ? argv[3] : "12345678";
  const int rounds = argc > 4 ? std::max(1, std::stoi(argv[4])) : 1;
  const auto picked = [&](char figure) { return only.find(figure) != std::string::npos; };
  if (picked('1')) QuietLine();
  if (picked('4')) Exchanges(exchanges);
  if (picked('5')) Bursts(200);
  // Each flood next to the same flood with the log file (6 with 2, 7 with
  // 3), the one first in one round and second in the next.
  std::map<int, std::vector<FloodFigures>> floods;
  for (int round = 0; round < rounds; ++round) {
    for (const bool hex : {true, false}) {
      const int without = hex ? 2 : 3;
      for (const bool logFile : {round % 2 == 1, round % 2 == 0}) {
        const int figure = without + (logFile ? 4 : 0);
        if (picked(static_cast<char>('0' + figure)))
          floods[figure].push_back(Flood(hex, megabytes, logFile));
      }
    }
  }
  if (picked('8')) MemoryAcrossFloods(megabytes);
  PrintLogFileCost("HEX with time stamps (6 against 2)", floods[2], floods[6]);
  PrintLogFileCost("ASCII (7 against 3)", floods[3], floods[7]);
  return 0;
}
