#pragma once

// What the benchmarks that run the real window share: dialogs that answer
// nothing, a port list that is empty (the port is typed), and the CPU time
// of the terminal's own thread (the simulated device runs in another one).

#include <QString>
#include <ctime>
#include <string>
#include <vector>

#include "serial/port_discovery.h"
#include "ui/dialogs.h"

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

// The scheduler's own count for this thread, to the nanosecond: short
// spans (one write to the log file) are measured too.
inline double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace velmora::bench
