#pragma once

#include <QMainWindow>
#include <QPoint>
#include <memory>
#include <vector>

#include "app/cfg_record.h"
#include "app/hover_help.h"
#include "logfile/log_file.h"
#include "terminal/terminal.h"
#include "ui/command_target.h"
#include "ui/housekeeping.h"
#include "ui/log_look.h"
#include "ui/log_sink.h"
#include "ui/state_files.h"
#include "ui/terminal_services.h"

class QTimer;

namespace velmora::ui {

class Console;
class HelpPanel;
class HistoryLists;
class Housekeeping;
class LogButtons;
class MacroPanel;
class MainForm;
class PortBar;
class ReceiveView;
class SendAutomation;
class UserDialogs;

// The main window: the form, the terminal it observes and the parts that
// drive it. Each part gets only its own controls from the form; the window
// wires their signals to each other (main_window.cpp) and answers the
// history lists' and the macro slots' CommandTarget.
class TForm1 : public QMainWindow, private CommandTarget {
  Q_OBJECT

 public:
  TForm1(UserDialogs& dialogs, TerminalServices services, QWidget* parent = nullptr);
  ~TForm1() override;

  MainForm& Form() { return *form_; }
  UserDialogs& Dialogs() { return dialogs_; }
  PortBar& Ports() { return *portBar_; }
  Console& ConsoleLine() { return *console_; }
  ReceiveView& Receive() { return *receiveView_; }
  MacroPanel& Macros() { return *macroPanel_; }
  HistoryLists& HistoryView() { return *historyLists_; }
  SendAutomation& Automation() { return *sendAutomation_; }
  // The terminal's state: link, counters, history, both paths, the store.
  velmora::Terminal& Term() { return terminal_; }
  LogSink& LogOutput() { return logSink_; }
  // The log file of the run, written by both paths; closed at shut-down.
  velmora::LogFile& Log() { return logFile_; }
  LogButtons& LogControls() { return *logButtons_; }
  const CfgRecord& Cfg() const { return cfg_; }
  LogLook& Look() { return look_; }

  // The single path of every packet.
  void SendPortData(const Bytes& command) override;
  // The 10 ms housekeeping tick (ui/housekeeping.cpp). It runs while it has
  // work: an appended log line to check against the limit, a changed console
  // width to follow.
  void CustomFunctionsTimer();
  const QTimer& CustomFunctions() const;
  Housekeeping& HousekeepingTick() { return *housekeeping_; }

  // The resting-mouse detection of the 13 help topics.
  HoverHelp& Hover() { return hover_; }
  // Where the cursor is on the screen: the system's position, or where no
  // global position exists (Wayland) the last one of our own move events.
  // Tests put a synthetic cursor in its place.
  void SetHoverCursor(HoverHelp::CursorFunction cursor) { cursor_ = std::move(cursor); }
  // A mouse movement without a button over a watched control.
  void HoverMoved(QWidget* widget, QPoint globalPos);
  // BtInfo: the info window, modal.
  void BtInfoClick();
  // The double click on a slot edit in the editor view: the macro editor
  // for macro m, with the steps around it.
  void ShowWindowEdtHelp(int m);

 protected:
  // Closing the window runs FormClose; the window stays open when the
  // settings could not be written, so the user can retry.
  void closeEvent(QCloseEvent* event) override;

 private:
  void WireParts();
  void FormCreate();
  // Returns false when "Cfg" could not be written.
  bool FormClose();

  std::vector<HousekeepingStep> HousekeepingSteps();
  ScreenPoint SystemCursor() const;

  // CommandTarget
  bool SendOnSelect() const override;
  void SetConsoleText(const QString& text) override;
  void FocusConsole() override;
  void FocusSendButton() override;
  void SetTailText(const QString& text) override;
  void FocusTail() override;

  UserDialogs& dialogs_;
  TerminalServices services_;
  MainForm* form_;
  velmora::Terminal terminal_;
  velmora::LogFile logFile_;
  LogSink logSink_;
  std::unique_ptr<HelpPanel> helpPanel_;
  std::unique_ptr<PortBar> portBar_;
  std::unique_ptr<ReceiveView> receiveView_;
  std::unique_ptr<Console> console_;
  std::unique_ptr<SendAutomation> sendAutomation_;
  std::unique_ptr<MacroPanel> macroPanel_;
  std::unique_ptr<HistoryLists> historyLists_;
  HoverHelp::CursorFunction cursor_;
  QPoint lastMovePos_;
  HoverHelp hover_;
  std::unique_ptr<LogButtons> logButtons_;
  Housekeeping* housekeeping_;
  // The settings record, held from start-up to shut-down, and the display
  // state it restores.
  CfgRecord cfg_;
  LogLook look_;
  StateFiles stateFiles_{dialogs_, *services_.stateFileSystem};
};

}  // namespace velmora::ui
