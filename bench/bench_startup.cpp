// Start-up of the window with a full "CmdConfig" until the window is shown
// (offscreen unless a platform is chosen), and one save of "CmdConfig"
// including its fsync. Prints the smallest and the middle of several runs.
//
//   bench_startup [runs]

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/cfg_record.h"
#include "common/cp1251.h"
#include "macros/cmd_list_store.h"
#include "serial/serial_port.h"
#include "ui/dialogs.h"
#include "ui/look.h"
#include "ui/main_window.h"

namespace {

using velmora::ui::UserDialogs;

class NoDialogs : public UserDialogs {
 public:
  void ShowMessage(const QString& text) override {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
  }
  bool AskYesNo(const QString&) override { return true; }
  void ShowPortError() override {}
  void ShowInfo() override {}
  void EditMacro(const velmora::ui::MacroEditRequest&) override {}
  QString ChooseCommandFile() override { return {}; }
};

class NoPorts : public velmora::PortDiscovery {
 public:
  std::vector<std::string> PortNames() override { return {}; }
};

velmora::ui::TerminalServices Services() {
  velmora::ui::TerminalServices services;
  services.portFactory = [] { return velmora::CreateSerialPort(); };
  services.discovery = std::make_unique<NoPorts>();
  services.clock = velmora::CreateSystemClock();
  services.sleeper = [](int) {};
  return services;
}

// Every text field of every list filled to its capacity.
void WriteFullCmdConfig() {
  velmora::CmdListStore store;
  store.Rebuild();
  for (int n = 1; n <= velmora::kListCount; ++n) {
    store.SetListName(n, std::string(151, 'L'));
    for (int m = 1; m <= velmora::kMacroCount; ++m) {
      store.SetCmdData(n, m, std::string(251, 'D'));
      store.SetCmdName(n, m, std::string(51, 'N'));
      for (int k = 1; k <= velmora::kHelpLines; ++k)
        store.SetCmdHelp(n, m, k, std::string(151, 'H'));
    }
  }
  QFile file("CmdConfig");
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  const auto image = store.Image();
  file.write(reinterpret_cast<const char*>(image.data()), static_cast<qint64>(image.size()));
}

struct Figures {
  double smallest;
  double middle;
};

Figures Summarize(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return {ms.front(), ms[ms.size() / 2]};
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  velmora::ui::PrepareQtRuntime();  // as the program runs
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

  QTemporaryDir dir;
  const QString previous = QDir::currentPath();
  QDir::setCurrent(dir.path());
  WriteFullCmdConfig();

  NoDialogs dialogs;
  std::vector<double> startUps;
  std::vector<double> saves;
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer timer;
    timer.start();
    velmora::ui::TForm1 window(dialogs, Services());
    window.show();
    QApplication::processEvents();
    startUps.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);

    timer.restart();
    const velmora::SaveResult saved = window.Term().Store().Save("CmdConfig");
    saves.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    if (!saved.Ok()) {
      std::fprintf(stderr, "%s\n", velmora::Cp1251ToUtf8(saved.error->Message()).c_str());
      return 1;
    }
    window.close();
  }
  QDir::setCurrent(previous);

  const Figures startUp = Summarize(startUps);
  const Figures save = Summarize(saves);
  std::printf("runs: %d, CmdConfig: %lld bytes\n", runs,
              static_cast<long long>(velmora::kCmdConfigSize));
  std::printf("start-up until shown: smallest %.1f ms, middle %.1f ms (goal < 150 ms)\n",
              startUp.smallest, startUp.middle);
  std::printf("save of CmdConfig with fsync: smallest %.1f ms, middle %.1f ms (goal < 100 ms)\n",
              save.smallest, save.middle);
  return 0;
}
