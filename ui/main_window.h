#pragma once

#include <QMainWindow>
#include <QTimer>
#include <memory>

#include "app/cfg_record.h"
#include "common/traffic.h"
#include "macros/cmd_list_store.h"
#include "receive/receiver.h"
#include "serial/serial_link.h"
#include "transmit/sent_history.h"
#include "transmit/transmitter.h"
#include "ui/log_look.h"
#include "ui/state_files.h"
#include "ui/terminal_services.h"

namespace velmora::ui {

class Console;
class HistoryLists;
class MacroPanel;
class MainForm;
class PortBar;
class ReceiveView;
class UserDialogs;

// The main window: the form, the terminal's state and the parts that drive
// it (the port bar, the console, the receive view), and the housekeeping
// timer.
class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  TForm1(UserDialogs& dialogs, TerminalServices services, QWidget* parent = nullptr);
  ~TForm1() override;

  MainForm& Form() { return *form_; }
  UserDialogs& Dialogs() { return dialogs_; }
  PortBar& Ports() { return *portBar_; }
  Console& ConsoleLine() { return *console_; }
  ReceiveView& Receive() { return *receiveView_; }
  SerialLink& Link() { return link_; }
  Traffic& Counters() { return traffic_; }
  SentHistory& History() { return history_; }
  Receiver& ReceivePath() { return receiver_; }
  CmdListStore& Store() { return store_; }
  MacroPanel& Macros() { return *macroPanel_; }
  HistoryLists& HistoryView() { return *historyLists_; }
  const Clock& TimeSource() const { return *services_.clock; }
  const CfgRecord& Cfg() const { return cfg_; }
  LogLook& Look() { return look_; }

  // The single path of every packet.
  void SendPortData(const Bytes& command);
  // Send-on-connect, run after a connect when "Отправить при соединении" is
  // checked.
  void CheckSendDataAftConnect();
  // The 10 ms housekeeping tick. It runs while it has work: an appended log
  // line to check against the limit, a changed console width to follow.
  void CustomFunctionsTimer();
  const QTimer& CustomFunctions() const { return customFunctions_; }

 protected:
  // Closing the window runs FormClose; the window stays open when the
  // settings could not be written, so the user can retry.
  void closeEvent(QCloseEvent* event) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void WakeHousekeeping();
  // Returns false when "Cfg" could not be written.
  bool FormClose();

  UserDialogs& dialogs_;
  TerminalServices services_;
  MainForm* form_;
  SerialLink link_;
  Traffic traffic_;
  SentHistory history_;
  Transmitter transmitter_;
  Receiver receiver_;
  CmdListStore store_;
  std::unique_ptr<PortBar> portBar_;
  std::unique_ptr<Console> console_;
  std::unique_ptr<ReceiveView> receiveView_;
  std::unique_ptr<MacroPanel> macroPanel_;
  std::unique_ptr<HistoryLists> historyLists_;
  QTimer customFunctions_;
  // The settings record, held from start-up to shut-down, and the display
  // state it restores.
  CfgRecord cfg_;
  LogLook look_;
  StateFiles stateFiles_{dialogs_};
};

}  // namespace velmora::ui
