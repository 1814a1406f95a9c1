#pragma once

// What the benchmarks that run the real window share: dialogs that answer
// nothing, a port list that is empty (the port is typed), the CPU time of
// the terminal's own thread (the simulated device runs in another one), and
// running the window's events for a while or until something holds.

#include <QEventLoop>
#include <QString>
#include <QTimer>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "serial/port_discovery.h"
#include "ui/dialogs.h"
#include "ui/terminal_services.h"

namespace velmora::bench {

class SilentDialogs : public ui::UserDialogs {
 public:
  void ShowMessage(const QString&) override {}
  bool AskYesNo(const QString&) override { return true; }
  void ShowPortError() override {}
  void ShowInfo() override {}
  void EditMacro(const ui::MacroEditRequest&) override {}
  QString ChooseCommandFile() override { return {}; }
};

class NoPorts : public PortDiscovery {
 public:
  std::vector<std::string> PortNames() override { return {}; }
};

// The machine's serial backend, clock and waits, with the empty port list.
inline ui::TerminalServices ServicesWithoutPortList() {
  ui::TerminalServices services = ui::TerminalServices::System();
  services.discovery = std::make_unique<NoPorts>();
  return services;
}

// The scheduler's own count for this thread, to the nanosecond: short
// spans (one write to the log file) are measured too.
inline double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Runs the event loop until done() holds, checked every 2 ms, or the limit
// passes; says whether done() holds.
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

inline void RunFor(std::chrono::milliseconds duration) {
  if (duration <= std::chrono::milliseconds(0)) return;
  QEventLoop loop;
  QTimer::singleShot(duration, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace velmora::bench
