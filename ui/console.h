#pragma once

#include <QObject>

#include "terminal/terminal.h"
#include "transmit/transmit_host.h"
#include "ui/send_automation.h"

class QKeyEvent;
class QPushButton;

namespace velmora::ui {

class LimitedEdit;
class LogSink;
class ReceiveView;
class UserDialogs;

// The controls of the console: the console line, the packet tail and the
// send button.
struct ConsoleControls {
  LimitedEdit* MainStrCmd;
  LimitedEdit* AddStrCmd;
  QPushButton* ButtonSend;
};

// The console line, the tail and the send button: everything that starts a
// send by hand, and the window's side of every send. Every key of the
// console line and of the tail is handled here, in the order written in
// MainStrCmdEvent and AddStrCmdEvent.
class Console : public QObject, public TransmitHost, public SendPath {
  Q_OBJECT

 public:
  // The display options (mode, time stamps, filter) are the receive view's.
  Console(const ConsoleControls& controls, UserDialogs& dialogs, Terminal& terminal, LogSink& log,
          ReceiveView& options);

  // The single path of every packet, whoever sends it.
  void SendPortData(const Bytes& command) override;
  Bytes ConsoleCommand() const override;
  void ButtonSendClick();
  // The display mode was chosen: the tail becomes "$0D" (text) or empty (hex).
  void RBASCIIClick();
  void RBHEXClick();

  // A command chosen from the history or a macro slot, a template for the
  // tail, and where the focus goes after the choice.
  void SetConsoleText(const QString& text);
  void FocusConsole();
  void FocusSendButton();
  void SetTailText(const QString& text);
  void FocusTail();

  // TransmitHost
  SendInputs CurrentSendInputs() override;
  void ShowPortError() override;
  void HistoryRecorded() override;
  void AppendLogLine(const Bytes& line) override;
  bool WriteLogFile(const Bytes& line) override;
  void ShowByteCounters(const Bytes& text) override;
  void ShowSendCount(const Bytes& text) override;

 signals:
  // A command was recorded in the history.
  void CommandRecorded();
  // Down released in the console line or the tail: open its drop-down.
  void ConsoleDropDownWanted();
  void TailDropDownWanted();
  // The console line changed its size (the drop-down follows it).
  void ConsoleResized();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool MainStrCmdEvent(QEvent* event);
  bool AddStrCmdEvent(QEvent* event);
  bool MainStrCmdKeyPress(int key);
  bool MainStrCmdKeyUp(int key);
  bool AddStrCmdKeyPress(int key);
  bool AddStrCmdKeyUp(int key);

  ConsoleControls c_;
  UserDialogs& dialogs_;
  Terminal& terminal_;
  LogSink& log_;
  ReceiveView& options_;
};

}  // namespace velmora::ui
