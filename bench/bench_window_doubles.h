#pragma once

// What the benchmarks that run the real window share: dialogs that answer
// nothing, a port list that is empty (the port is typed), and the CPU time
// of the terminal's own thread (the simulated device runs in another one).

#include <sys/resource.h>

#include <QString>
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

inline double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace velmora::bench
