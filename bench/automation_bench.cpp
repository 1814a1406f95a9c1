// Send-automation benchmark: the real window, offscreen, against the
// simulated device on a pseudo-terminal. Prints one line per figure:
//   1. "Период, мс:" 100 against an echoing device: the gaps between the
//      sends as the device sees them (median, p99, min, max) and the CPU
//      share of the window thread;
//   2. "После ответа" with TimeRX 5: exchanges per second, and whether every
//      byte sent came back and was counted;
//   3. unplug/re-plug cycles 0.2-3 s apart with AutoConnect: connected at the
//      end, and the descriptor count against the start.
//
// Usage: velmora-automation-bench [period seconds] [exchanges] [cycles]
// (defaults 60 10000 100).

#include <sys/resource.h>

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
#include <cstdio>
#include <filesystem>
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
#include "ui/dialogs.h"
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

template <typename Done>
bool RunUntil(Done done, std::chrono::milliseconds limit) {
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  check.start(2);
  QTimer::singleShot(limit, &loop, &QEventLoop::quit);
  if (!done()) loop.exec();
  return done();
}

void RunFor(std::chrono::milliseconds duration) {
  QEventLoop loop;
  QTimer::singleShot(duration, &loop, &QEventLoop::quit);
  loop.exec();
}

int DescriptorCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

struct Bench {
  QTemporaryDir dir;
  SilentDialogs dialogs;
  std::unique_ptr<devsim::PtyDevice> device;
  std::unique_ptr<TForm1> window;

  explicit Bench(devsim::Mode mode) {
    QDir::setCurrent(dir.path());
    devsim::DeviceOptions options;
    options.mode = mode;
    options.linkPath = dir.filePath(QStringLiteral("port")).toStdString();
    device = std::make_unique<devsim::PtyDevice>(std::move(options));
    TerminalServices services;
    services.portFactory = [] { return CreateSerialPort(); };
    services.discovery = std::make_unique<NoPorts>();
    services.clock = CreateSystemClock();
    services.sleeper = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    window = std::make_unique<TForm1>(dialogs, std::move(services));
    window->show();
    MainForm& form = window->Form();
    form.BaudRate->setCurrentIndex(7);
    form.AddStrCmd->clear();
    form.ComPort->setEditText(QString::fromStdString(device->PortName()));
    form.BTConnect->click();
  }
};

// Watches the device's received byte count from its own thread and keeps
// the time of each growth.
class SendTimes {
 public:
  explicit SendTimes(const devsim::PtyDevice& device) : device_(device) {
    thread_ = std::thread([this] {
      std::size_t seen = device_.Received().size();
      while (!stop_) {
        const std::size_t now = device_.Received().size();
        if (now != seen) {
          seen = now;
          const std::lock_guard lock(mutex_);
          times_.push_back(SteadyClock::now());
        }
        std::this_thread::sleep_for(200us);
      }
    });
  }
  ~SendTimes() { Stop(); }
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

void PeriodAccuracy(int seconds) {
  Bench bench(devsim::Mode::Echo);
  MainForm& form = bench.window->Form();
  form.MainStrCmd->setText(QStringLiteral("T"));
  form.PeriodTX->setText(QStringLiteral("100"));
  SendTimes times(*bench.device);
  const double cpu0 = CpuSeconds();
  const auto t0 = SteadyClock::now();
  form.RBPeriod->click();
  RunFor(std::chrono::seconds(seconds));
  const double cpu = CpuSeconds() - cpu0;
  const double wall = Seconds(SteadyClock::now() - t0);
  form.RBManual->click();
  times.Stop();
  const auto sends = times.Times();
  std::vector<double> gaps;
  for (std::size_t i = 1; i < sends.size(); ++i)
    gaps.push_back(Seconds(sends[i] - sends[i - 1]) * 1e3);
  std::sort(gaps.begin(), gaps.end());
  if (gaps.empty()) {
    std::printf("period 100 ms: no sends seen\n");
    return;
  }
  const auto at = [&](double q) { return gaps[static_cast<std::size_t>(q * (gaps.size() - 1))]; };
  std::printf(
      "period 100 ms, %d s: %zu sends, gap median %.2f ms, p99 %.2f ms, min %.2f ms, max %.2f "
      "ms; window thread CPU %.3f %% of a core\n",
      seconds, sends.size(), at(0.5), at(0.99), gaps.front(), gaps.back(), 100.0 * cpu / wall);
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
      "%s\n",
      sent, wall, static_cast<double>(sent) / wall, traffic.txBytes, traffic.rxBytes,
      traffic.txBytes == traffic.rxBytes && static_cast<std::size_t>(traffic.txBytes) == sent
          ? "none lost"
          : "LOST");
}

void ReplugCycles(int cycles) {
  Bench bench(devsim::Mode::Silent);
  MainForm& form = bench.window->Form();
  form.AutoConnect->setChecked(true);
  const int descriptors = DescriptorCount();
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
  std::printf(
      "%d unplug/re-plug cycles with AutoConnect in %.1f s: %s at the end, descriptors %d at "
      "start, %d at the end\n",
      cycles, Seconds(SteadyClock::now() - t0), connected ? "connected" : "NOT connected",
      descriptors, DescriptorCount());
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  const int exchanges = argc > 2 ? std::atoi(argv[2]) : 10000;
  const int cycles = argc > 3 ? std::atoi(argv[3]) : 100;
  if (seconds > 0) PeriodAccuracy(seconds);
  if (exchanges > 0) AfterAnswerRun(exchanges);
  if (cycles > 0) ReplugCycles(cycles);
  return 0;
}
