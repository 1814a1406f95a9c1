#include "ui/console.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "ui/dialogs.h"
#include "ui/main_form.h"
#include "ui/text_codec.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"

namespace velmora::ui {

Console::Console(MainForm& form, UserDialogs& dialogs, Transmitter& transmitter)
    : form_(form), dialogs_(dialogs), transmitter_(transmitter) {
  connect(form_.ButtonSend, &QPushButton::clicked, this, [this] { ButtonSendClick(); });
  // clicked, not toggled: restoring a mode runs the handler explicitly, and
  // only when the selection changes.
  connect(form_.RBASCII, &QRadioButton::clicked, this, [this] { RBASCIIClick(); });
  connect(form_.RBHEX, &QRadioButton::clicked, this, [this] { RBHEXClick(); });
  form_.MainStrCmd->installEventFilter(this);
}

void Console::SendPortData(const Bytes& command) { transmitter_.SendPortData(command, *this); }

void Console::ButtonSendClick() { SendPortData(ToBytes(form_.MainStrCmd->text())); }

void Console::RBASCIIClick() { form_.AddStrCmd->setText("$0D"); }

void Console::RBHEXClick() { form_.AddStrCmd->clear(); }

bool Console::eventFilter(QObject* watched, QEvent* event) {
  if (watched == form_.MainStrCmd && event->type() == QEvent::KeyPress) {
    return MainStrCmdKeyPress(static_cast<QKeyEvent*>(event)->key());
  }
  return QObject::eventFilter(watched, event);
}

// Enter sends the console line and Esc empties it; neither reaches the edit.
bool Console::MainStrCmdKeyPress(int key) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: SendPortData(ToBytes(form_.MainStrCmd->text())); return true;
    case Qt::Key_Escape: form_.MainStrCmd->clear(); return true;
    default: return false;
  }
}

SendInputs Console::CurrentSendInputs() {
  SendInputs inputs;
  inputs.mode = form_.RBHEX->isChecked() ? DataMode::Hex : DataMode::Ascii;
  inputs.visTime = form_.VisTime->isChecked();
  inputs.filter = ToBytes(form_.FiltrLog->text());
  inputs.tail = ToBytes(form_.AddStrCmd->text());
  inputs.console = ToBytes(form_.MainStrCmd->text());
  return inputs;
}

void Console::ShowPortError() { dialogs_.ShowPortError(); }

void Console::HistoryRecorded() {
  if (historyRecorded) historyRecorded();
}

void Console::AppendLogLine(const Bytes& line) { form_.MainWindow->AppendEntry(ToQString(line)); }

bool Console::WriteLogFile(const Bytes& line) { return writeLogFile ? writeLogFile(line) : true; }

void Console::ShowByteCounters(const Bytes& text) { form_.StaticText3->setText(ToQString(text)); }

void Console::ShowSendCount(const Bytes& text) { form_.LSend->setText(ToQString(text)); }

}  // namespace velmora::ui
