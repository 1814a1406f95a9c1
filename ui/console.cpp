#include "ui/console.h"

#include <QKeyEvent>
#include <QPushButton>

#include "ui/dialogs.h"
#include "ui/log_sink.h"
#include "ui/receive_view.h"
#include "ui/text_codec.h"
#include "ui/widgets/limited_edit.h"

namespace velmora::ui {
namespace {

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

Console::Console(const ConsoleControls& controls, UserDialogs& dialogs, Terminal& terminal,
                 LogSink& log, ReceiveView& options)
    : c_(controls), dialogs_(dialogs), terminal_(terminal), log_(log), options_(options) {
  connect(c_.ButtonSend, &QPushButton::clicked, this, [this] { ButtonSendClick(); });
  // The mode radios are the receive view's; a click of the user's (not a
  // restore) resets the tail.
  connect(&options_, &ReceiveView::OutModeClicked, this, [this](DataMode mode) {
    if (mode == DataMode::Hex) {
      RBHEXClick();
    } else {
      RBASCIIClick();
    }
  });
  // A paste beyond what an edit holds is not sent short without a word.
  for (LimitedEdit* edit : {c_.MainStrCmd, c_.AddStrCmd}) {
    connect(edit, &LimitedEdit::longestTextReached, this, [this] {
      dialogs_.ShowMessage(
          QStringLiteral("Строка длиннее %1 символов не помещается и обрезана до этой длины")
              .arg(LimitedEdit::kLongestEditText));
    });
  }
  c_.MainStrCmd->installEventFilter(this);
  c_.AddStrCmd->installEventFilter(this);
}

void Console::SendPortData(const Bytes& command) { terminal_.SendPortData(command, *this); }

Bytes Console::ConsoleCommand() const { return ToBytes(c_.MainStrCmd->text()); }

void Console::ButtonSendClick() { SendPortData(ToBytes(c_.MainStrCmd->text())); }

void Console::RBASCIIClick() { c_.AddStrCmd->setText("$0D"); }

void Console::RBHEXClick() { c_.AddStrCmd->clear(); }

void Console::SetConsoleText(const QString& text) { c_.MainStrCmd->setText(text); }

void Console::FocusConsole() { c_.MainStrCmd->setFocus(Qt::OtherFocusReason); }

void Console::FocusSendButton() { c_.ButtonSend->setFocus(Qt::OtherFocusReason); }

void Console::SetTailText(const QString& text) { c_.AddStrCmd->setText(text); }

void Console::FocusTail() { c_.AddStrCmd->setFocus(Qt::OtherFocusReason); }

bool Console::eventFilter(QObject* watched, QEvent* event) {
  if (watched == c_.MainStrCmd) return MainStrCmdEvent(event);
  if (watched == c_.AddStrCmd) return AddStrCmdEvent(event);
  return QObject::eventFilter(watched, event);
}

// The console line's events, in this order: a change of size, a key
// pressed, a key released. A handled key does not reach the edit.
bool Console::MainStrCmdEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::Resize: emit ConsoleResized(); return false;
    case QEvent::KeyPress: return MainStrCmdKeyPress(static_cast<QKeyEvent*>(event)->key());
    case QEvent::KeyRelease: return MainStrCmdKeyUp(static_cast<QKeyEvent*>(event)->key());
    default: return false;
  }
}

// Enter sends the console line and Esc empties it.
bool Console::MainStrCmdKeyPress(int key) {
  if (IsEnter(key)) {
    SendPortData(ToBytes(c_.MainStrCmd->text()));
    return true;
  }
  if (key == Qt::Key_Escape) {
    c_.MainStrCmd->clear();
    return true;
  }
  return false;
}

// Down opens the history drop-down.
bool Console::MainStrCmdKeyUp(int key) {
  if (key != Qt::Key_Down) return false;
  emit ConsoleDropDownWanted();
  return true;
}

// The tail's keys: Enter does nothing, Esc empties it, Down (released) opens
// the checksum-template picker.
bool Console::AddStrCmdEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: return AddStrCmdKeyPress(static_cast<QKeyEvent*>(event)->key());
    case QEvent::KeyRelease: return AddStrCmdKeyUp(static_cast<QKeyEvent*>(event)->key());
    default: return false;
  }
}

bool Console::AddStrCmdKeyPress(int key) {
  if (IsEnter(key)) return true;
  if (key == Qt::Key_Escape) {
    c_.AddStrCmd->clear();
    return true;
  }
  return false;
}

bool Console::AddStrCmdKeyUp(int key) {
  if (key != Qt::Key_Down) return false;
  emit TailDropDownWanted();
  return true;
}

SendInputs Console::CurrentSendInputs() {
  const ReceiveInputs shown = options_.CurrentReceiveInputs();
  SendInputs inputs;
  inputs.mode = shown.mode;
  inputs.visTime = shown.visTime;
  inputs.filter = shown.filter;
  inputs.tail = ToBytes(c_.AddStrCmd->text());
  inputs.console = ToBytes(c_.MainStrCmd->text());
  return inputs;
}

void Console::ShowPortError() { dialogs_.ShowPortError(); }

void Console::HistoryRecorded() { emit CommandRecorded(); }

// The log line, the log file and the counters go to the one sink.
void Console::AppendLogLine(const Bytes& line) { log_.AppendLogLine(line); }

bool Console::WriteLogFile(const Bytes& line) { return log_.WriteLogFile(line); }

void Console::ShowByteCounters(const Bytes& text) { log_.ShowByteCounters(text); }

void Console::ShowSendCount(const Bytes& text) { log_.ShowSendCount(text); }

}  // namespace velmora::ui
