// Prepares the terminal's working directory for a benchmark run, with the
// program's own file code, and tells the benchmark where to click.
//
//   velmora-bench-seed files DIR PORT ascii|hex
//     writes DIR/Cfg, DIR/OldCmd and DIR/CmdConfig: the port PORT (at most
//     four characters, as the settings record holds it; "./p0" opens the
//     link p0 in the working directory) at 115200 8N1,
//     TimeRX 1, manual sending; "ascii" receives as text with the CR tail,
//     "hex" as HEX with time stamps.
//   velmora-bench-seed where NAME...
//     prints, for each named control of the main window, the centre of the
//     control in the window's coordinates ("x y" a line), as the window is
//     laid out at its start-up size.

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/cfg_record.h"
#include "app/history_file.h"
#include "bench_window_doubles.h"
#include "macros/cmd_list_store.h"
#include "serial/port_discovery.h"
#include "serial/serial_port.h"
#include "ui/dialogs.h"
#include "ui/log_look.h"
#include "ui/look.h"
#include "ui/main_window.h"
#include "ui/state_files.h"

namespace {

using namespace velmora;
using namespace velmora::bench;

constexpr std::uint8_t kBaud115200 = 7;
constexpr std::uint8_t kEightBits = 3;
constexpr std::uint8_t kOneStopBit = 0;
constexpr std::uint8_t kManualSending = 1;
constexpr std::uint8_t kAsciiMode = 1;
constexpr std::uint8_t kHexMode = 2;

bool Report(const std::string& what, const std::optional<FileError>& error) {
  if (!error) return true;
  std::fprintf(stderr, "%s: %s\n", what.c_str(), error->Message().c_str());
  return false;
}

int SeedFiles(const std::string& dir, const std::string& port, bool hex) {
  CfgRecord cfg;
  cfg.SetComPort(port);
  if (cfg.ComPortWasCut() || cfg.ComPort() != port) {
    std::fprintf(stderr, "port name \"%s\" does not fit the settings record (4 characters)\n",
                 port.c_str());
    return 2;
  }
  cfg.SetBaudRate(kBaud115200);
  cfg.SetComBits(kEightBits);
  cfg.SetComStopBits(kOneStopBit);
  cfg.SetTimeRx(1);
  const ui::LogLook look;
  cfg.SetLogFontSize(look.fontSize);
  cfg.SetColor(look.color);
  cfg.SetFontColor(look.fontColor);
  cfg.SetPeriodTx(kDefaultPeriodTx);
  cfg.SetInputMode(kManualSending);
  cfg.SetOutMode(hex ? kHexMode : kAsciiMode);
  cfg.SetVisTime(hex);
  cfg.SetAddStrCmd(hex ? "" : "$0D");

  // The command lists as a first start-up leaves them: rebuilt and named.
  CmdListStore store;
  const std::string cmdConfig = dir + "/" + ui::kCmdConfigFile;
  const LoadResult loaded = store.Load(dir + "/no-such-file");
  if (!Report(cmdConfig, loaded.error)) return 1;
  store.Rebuild();
  if (!Report(cmdConfig, store.Save(cmdConfig).error)) return 1;
  const std::string oldCmd = dir + "/" + ui::kOldCmdFile;
  if (!Report(oldCmd, SaveHistoryFile(oldCmd, HistoryImage{}).error)) return 1;
  const std::string cfgPath = dir + "/" + ui::kCfgFile;
  if (!Report(cfgPath, cfg.Save(cfgPath).error)) return 1;
  return 0;
}

int Where(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setFont(ui::UiFont(8));
  // The window makes its files where it starts: a scratch folder.
  QTemporaryDir scratch;
  QDir::setCurrent(scratch.path());
  ui::TerminalServices services;
  services.portFactory = [] { return CreateSerialPort(); };
  services.discovery = std::make_unique<NoPorts>();
  services.clock = CreateSystemClock();
  services.sleeper = [](int) {};
  SilentDialogs dialogs;
  ui::TForm1 window(dialogs, std::move(services));
  window.show();
  QCoreApplication::processEvents();
  int status = 0;
  for (int i = 2; i < argc; ++i) {
    const auto* control = window.findChild<QWidget*>(QString::fromLatin1(argv[i]));
    if (!control) {
      std::fprintf(stderr, "no control named %s\n", argv[i]);
      status = 1;
      continue;
    }
    const QPoint centre = control->mapTo(&window, control->rect().center());
    std::printf("%d %d\n", centre.x(), centre.y());
  }
  return status;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "files" && argc == 5) {
    const std::string mode = argv[4];
    if (mode == "ascii" || mode == "hex") return SeedFiles(argv[2], argv[3], mode == "hex");
  }
  if (command == "where" && argc > 2) return Where(argc, argv);
  std::fprintf(stderr,
               "usage: velmora-bench-seed files DIR PORT ascii|hex\n"
               "       velmora-bench-seed where NAME...\n");
  return 2;
}
