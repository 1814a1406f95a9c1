// Send-automation benchmark: the real window, offscreen, against the
// simulated device on a pseudo-terminal. Prints one line per figure:
//   1. "Период, мс:" 100 against an echoing device: the gaps between the
//      sends as the terminal started them and as the device saw them
//      (median, p99, min, max) and the CPU share of the window thread; then
//      how late a bare Qt timer fires on the same machine;
//   2. "После ответа" with TimeRX 5: exchanges per second, and whether every
//      byte sent came back and was counted;
//   3. unplug/re-plug cycles 0.2-3 s apart with AutoConnect: connected at the
//      end, and the descriptor count against the start;
//   4. the CPU share of the window thread with the port open and nothing
//      arriving, in every send mode, with and without a command file.
// Each line ends with the machine's load average over the last minute.
//
// Usage: velmora-automation-bench [period seconds] [exchanges] [cycles] [idle seconds]
// (defaults 60 10000 100 10; 0 skips a figure).

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench_window_doubles.h"
#include "common/clock.h"
#include "pty_device.h"
#include "serial/port_discovery.h"
#include "serial/serial_port.h"
#include "ui/console.h"
#include "ui/dialogs.h"
#include "ui/log_buttons.h"
#include "ui/log_sink.h"
#include "ui/look.h"
#include "ui/main_form.h"
#include "ui/main_window.h"
#include "ui/widgets/limited_edit.h"

namespace {

using namespace velmora;
using namespace velmora::ui;
using namespace velmora::bench;
using SteadyClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Seconds(SteadyClock::duration d) { return std::chrono::duration<double>(d).count(); }

// The load average over the last minute: the machine may be shared.
double LoadAverage() {
  double load[1] = {-1.0};
  return getloadavg(load, 1) == 1 ? load[0] : -1.0;
}

// Dialogs that answer nothing and choose the command file set here.
class FileDialogs : public SilentDialogs {
 public:
  QString ChooseCommandFile() override { return commandFile; }
  QString commandFile;
};

// What each open descriptor refers to ("socket:[123]", "/dev/ptmx"), sorted;
// pseudo-terminals by kind only, as their numbers change with every plug.
std::vector<std::string> Descriptors() {
  std::vector<std::string> targets;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    std::string target = std::filesystem::read_symlink(entry.path(), error).string();
    if (target.rfind("/dev/pts/", 0) == 0) target = "/dev/pts/N";
    targets.push_back(target);
  }
  std::sort(targets.begin(), targets.end());
  return targets;
}

// "+/dev/pts/N -pipe:[1]": what `after` holds more and less than `before`.
std::string DescriptorChange(const std::vector<std::string>& before,
                             const std::vector<std::string>& after) {
  std::vector<std::string> more;
  std::vector<std::string> less;
  std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                      std::back_inserter(more));
  std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                      std::back_inserter(less));
  std::string text;
  for (const std::string& target : more) text += " +" + target;
  for (const std::string& target : less) text += " -" + target;
  return text.empty() ? " none" : text;
}

struct Bench {
  QTemporaryDir dir;
  FileDialogs dialogs;
  std::unique_ptr<devsim::PtyDevice> device;
  std::unique_ptr<TForm1> window;

  explicit Bench(devsim::Mode mode) {
    QDir::setCurrent(dir.path());
    devsim::DeviceOptions options;
    options.mode = mode;
    options.linkPath = dir.filePath(QStringLiteral("port")).toStdString();
    device = std::make_unique<devsim::PtyDevice>(std::move(options));
    TerminalServices services = ServicesWithoutPortList();
    window = std::make_unique<TForm1>(dialogs, std::move(services));
    window->show();
    MainForm& form = window->Form();
    form.BaudRate->setCurrentIndex(7);
    form.AddStrCmd->clear();
    form.ComPort->setEditText(QString::fromStdString(device->PortName()));
    form.BTConnect->click();
  }
};

// Keeps the time of each growth of the device's received bytes, woken by
// the device itself (a polling thread would compete with the window for the
// two cores of a small machine and see the bytes late).
class DeviceReceiveTimes {
 public:
  explicit DeviceReceiveTimes(const devsim::PtyDevice& device) : device_(device) {
    thread_ = std::thread([this] {
      std::size_t seen = device_.Received().size();
      while (!stop_) {
        if (!device_.WaitForReceived(seen + 1, 20ms)) continue;
        const auto at = SteadyClock::now();
        seen = device_.Received().size();
        const std::lock_guard lock(mutex_);
        times_.push_back(at);
      }
    });
  }
  ~DeviceReceiveTimes() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::vector<SteadyClock::time_point> Times() {
    const std::lock_guard lock(mutex_);
    return times_;
  }

 private:
  const devsim::PtyDevice& device_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<SteadyClock::time_point> times_;
  std::thread thread_;
};

// Keeps the time each send of the terminal starts: the tick of TimerPeriod
// that made it (the write and its drain wait for the device, which a busy
// machine delays). The tick is seen by an application-wide event filter,
// before the timer's own handler sends; the send is seen when its line
// passes the log-file hook right after the write. The window's own writer
// still gets every line.
class TerminalSendTimes : public QObject, public LogFileWriter {
 public:
  explicit TerminalSendTimes(TForm1& window) : window_(window) {
    QCoreApplication::instance()->installEventFilter(this);
    window_.LogOutput().SetLogFileWriter(this);
  }
  ~TerminalSendTimes() override { window_.LogOutput().SetLogFileWriter(&window_.LogControls()); }
  TerminalSendTimes(const TerminalSendTimes&) = delete;
  TerminalSendTimes& operator=(const TerminalSendTimes&) = delete;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Timer && watched == &window_.Automation().TimerPeriod())
      tick_ = SteadyClock::now();
    return false;
  }
  bool WriteLogFile(const Bytes& line) override {
    if (window_.Term().Transmit().SendBusy()) times.push_back(tick_);
    return window_.LogControls().WriteLogFile(line);
  }
  std::vector<SteadyClock::time_point> times;

 private:
  TForm1& window_;
  SteadyClock::time_point tick_{};
};

// The gaps between `times`, sorted, in milliseconds.
std::vector<double> SortedGaps(const std::vector<SteadyClock::time_point>& times) {
  std::vector<double> gaps;
  for (std::size_t i = 1; i < times.size(); ++i)
    gaps.push_back(Seconds(times[i] - times[i - 1]) * 1e3);
  std::sort(gaps.begin(), gaps.end());
  return gaps;
}

// "median 101.20 ms, p99 102.90 ms, min 101.00 ms, max 103.10 ms, 3 shorter
// than 100 ms, 5 longer than 103 ms".
std::string GapFigures(const std::vector<double>& gaps, double period) {
  if (gaps.empty()) return "no gaps";
  const auto at = [&](double q) { return gaps[static_cast<std::size_t>(q * (gaps.size() - 1))]; };
  const auto shorter =
      std::count_if(gaps.begin(), gaps.end(), [&](double g) { return g < period; });
  const auto longer =
      std::count_if(gaps.begin(), gaps.end(), [&](double g) { return g > period + 3.0; });
  char text[200];
  std::snprintf(text, sizeof text,
                "median %.2f ms, p99 %.2f ms, min %.2f ms, max %.2f ms, %td shorter than %.0f ms, "
                "%td longer than %.0f ms",
                at(0.5), at(0.99), gaps.front(), gaps.back(), shorter, period, longer,
                period + 3.0);
  return text;
}

void PeriodAccuracy(int seconds) {
  Bench bench(devsim::Mode::Echo);
  MainForm& form = bench.window->Form();
  form.MainStrCmd->setText(QStringLiteral("T"));
  form.PeriodTX->setText(QStringLiteral("100"));
  TerminalSendTimes sent(*bench.window);
  DeviceReceiveTimes received(*bench.device);
  const double cpu0 = CpuSeconds();
  const auto t0 = SteadyClock::now();
  form.RBPeriod->click();
  RunFor(std::chrono::seconds(seconds));
  const double cpu = CpuSeconds() - cpu0;
  const double wall = Seconds(SteadyClock::now() - t0);
  form.RBManual->click();
  received.Stop();
  std::printf(
      "period 100 ms, %d s, target every gap within 101..103 ms: %zu sends; gaps as the terminal "
      "started them %s; as the device received them %s; window thread CPU %.3f %% of a core "
      "(target "
      "<= 1 %%); load %.2f\n",
      seconds, sent.times.size(), GapFigures(SortedGaps(sent.times), 100.0).c_str(),
      GapFigures(SortedGaps(received.Times()), 100.0).c_str(), 100.0 * cpu / wall, LoadAverage());
  std::fflush(stdout);
}

// The machine's share of the lateness: a bare precise Qt timer re-armed for
// 101 ms, as often as the period run sent, in the same process.
void BareTimerLateness(int ticks) {
  std::vector<double> late;
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  auto armed = SteadyClock::now();
  QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
    late.push_back(Seconds(SteadyClock::now() - armed) * 1e3 - 101.0);
    if (static_cast<int>(late.size()) >= ticks) {
      loop.quit();
      return;
    }
    armed = SteadyClock::now();
    timer.start(101);
  });
  timer.start(101);
  loop.exec();
  std::sort(late.begin(), late.end());
  const auto at = [&](double q) { return late[static_cast<std::size_t>(q * (late.size() - 1))]; };
  std::printf(
      "for comparison, a bare precise Qt timer of 101 ms, %d ticks: late by median %.2f ms, p99 "
      "%.2f ms, max %.2f ms; load %.2f\n",
      ticks, at(0.5), at(0.99), late.back(), LoadAverage());
  std::fflush(stdout);
}

void AfterAnswerRun(int exchanges) {
  Bench bench(devsim::Mode::Echo);
  MainForm& form = bench.window->Form();
  bench.window->Term().ReceivePath().SetTimeRx(5);
  form.MainStrCmd->setText(QStringLiteral("Q"));
  form.RBAfterAns->click();
  const auto t0 = SteadyClock::now();
  bench.window->SendPortData("Q");
  const auto size = static_cast<std::size_t>(exchanges);
  RunUntil([&] { return bench.device->Received().size() >= size; }, std::chrono::minutes(10));
  form.RBManual->click();
  const double wall = Seconds(SteadyClock::now() - t0);
  RunFor(300ms);  // the last echo is rendered
  const std::size_t sent = bench.device->Received().size();
  const Traffic& traffic = bench.window->Term().Counters();
  std::printf(
      "after answer, TimeRX 5: %zu exchanges in %.2f s = %.1f exchanges/s; tx %d, rx %d bytes, "
      "%s; load %.2f\n",
      sent, wall, static_cast<double>(sent) / wall, traffic.txBytes, traffic.rxBytes,
      traffic.txBytes == traffic.rxBytes && static_cast<std::size_t>(traffic.txBytes) == sent
          ? "none lost"
          : "LOST",
      LoadAverage());
  std::fflush(stdout);
}

void ReplugCycles(int cycles) {
  Bench bench(devsim::Mode::Silent);
  MainForm& form = bench.window->Form();
  form.AutoConnect->setChecked(true);
  const std::vector<std::string> descriptors = Descriptors();
  std::mt19937 random(7);
  std::uniform_int_distribution<int> apart(200, 3000);
  const auto t0 = SteadyClock::now();
  for (int i = 0; i < cycles; ++i) {
    bench.device->Unplug();
    RunFor(std::chrono::milliseconds(apart(random)));
    bench.device->PlugBack();
    RunFor(std::chrono::milliseconds(apart(random)));
  }
  const bool connected =
      RunUntil([&] { return bench.window->Term().Link().PortOpen(); }, std::chrono::seconds(5));
  const std::vector<std::string> atEnd = Descriptors();
  std::printf(
      "%d unplug/re-plug cycles with AutoConnect in %.1f s: %s at the end, descriptors %zu at "
      "start, %zu at the end, changed:%s; load %.2f\n",
      cycles, Seconds(SteadyClock::now() - t0), connected ? "connected" : "NOT connected",
      descriptors.size(), atEnd.size(), DescriptorChange(descriptors, atEnd).c_str(),
      LoadAverage());
  std::fflush(stdout);
}

// The window thread's share of a core while the port is open and nothing
// arrives, mode after mode in one window, as a user would switch them.
void IdleModes(int seconds) {
  Bench bench(devsim::Mode::Silent);
  MainForm& form = bench.window->Form();
  form.MainStrCmd->setText(QStringLiteral("T"));
  {
    std::ofstream file(bench.dir.filePath(QStringLiteral("commands.txt")).toStdString(),
                       std::ios::binary);
    file << "first\r\nsecond\r\nthird\r\n";
  }
  bench.dialogs.commandFile = bench.dir.filePath(QStringLiteral("commands.txt"));
  struct Row {
    const char* mode;
    std::function<void()> enter;
  };
  const std::vector<Row> rows = {
      {"\"Ручная\"", [&] { form.RBManual->click(); }},
      {"\"При выборе\"", [&] { form.RBSel->click(); }},
      {"\"После ответа\", waiting for an answer after a send by hand",
       [&] {
         form.RBAfterAns->click();
         bench.window->ConsoleLine().ButtonSendClick();
       }},
      {"\"Период, мс:\" empty",
       [&] {
         form.PeriodTX->setText(QString());
         form.RBPeriod->click();
       }},
      {"\"Период, мс:\" 3600000 (one send, then an hour's wait)",
       [&] {
         form.PeriodTX->setText(QStringLiteral("3600000"));
         form.RBPeriod->click();
       }},
      {"file mode, \"Ручная\"",
       [&] {
         form.RBManual->click();
         form.ButtonReadFile->click();
       }},
      {"file mode, \"При выборе\"", [&] { form.RBSel->click(); }},
      {"file mode, \"После ответа\", waiting after \"Отправить из файла\"",
       [&] {
         form.RBAfterAns->click();
         form.SendStart->click();
       }},
      {"file mode, \"Период, мс:\" 3600000 with CiklSend",
       [&] {
         form.CiklSend->setChecked(true);
         form.RBPeriod->click();
       }},
  };
  for (const Row& row : rows) {
    row.enter();
    RunFor(1s);  // what the change set off has run
    const double cpu0 = CpuSeconds();
    const auto t0 = SteadyClock::now();
    RunFor(std::chrono::seconds(seconds));
    const double share = (CpuSeconds() - cpu0) / Seconds(SteadyClock::now() - t0) * 100.0;
    std::printf(
        "idle, port open, nothing arriving, %s: %.3f %% of a core over %d s (target <= 0.2 %%), "
        "%zu bytes sent so far; load %.2f\n",
        row.mode, share, seconds, bench.device->Received().size(), LoadAverage());
    std::fflush(stdout);
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  velmora::ui::PrepareQtRuntime();  // as the program runs
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  const int exchanges = argc > 2 ? std::atoi(argv[2]) : 10000;
  const int cycles = argc > 3 ? std::atoi(argv[3]) : 100;
  const int idleSeconds = argc > 4 ? std::atoi(argv[4]) : 10;
  if (seconds > 0) {
    PeriodAccuracy(seconds);
    BareTimerLateness(seconds * 10);
  }
  if (exchanges > 0) AfterAnswerRun(exchanges);
  if (cycles > 0) ReplugCycles(cycles);
  if (idleSeconds > 0) IdleModes(idleSeconds);
  return 0;
}
