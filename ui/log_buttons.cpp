#include "ui/log_buttons.h"

#include <QLabel>
#include <QPushButton>

#include "ui/dialogs.h"
#include "ui/text_codec.h"
#include "ui/widgets/log_window.h"
#include "ui/widgets/up_down_arrows.h"

namespace velmora::ui {

LogButtons::LogButtons(const LogButtonsControls& controls, UserDialogs& dialogs, LogFile& logFile,
                       LogLook& look)
    : c_(controls), dialogs_(dialogs), logFile_(logFile), look_(look) {
  connect(c_.BTLog, &QPushButton::clicked, this, &LogButtons::BTLogClick);
  connect(c_.StartLog, &QPushButton::clicked, this, &LogButtons::StartLogClick);
  connect(c_.StartStop, &QPushButton::clicked, this, &LogButtons::StartStopClick);
  connect(c_.BTPalitra, &QPushButton::clicked, this, &LogButtons::BTPalitraClick);
  connect(c_.Srift, &UpDownArrows::clicked, this, &LogButtons::SriftClick);
  c_.StartStop->setProperty("tag", 0);
  c_.BTPalitra->setProperty("tag", 0);
  ShowLogFileState();
}

// Only the live log and its line count: the frozen copy, the file, the
// counters and the statistics stay.
void LogButtons::BTLogClick() { c_.look.MainWindow->Clear(); }

void LogButtons::StartLogClick() {
  const std::optional<LogFileError> error = logFile_.StartLogClick();
  ShowLogFileState();
  if (error) dialogs_.ShowMessage(ToQString(error->Message()));
}

bool LogButtons::WriteLogFile(const Bytes& line) {
  const std::optional<LogFileError> error = logFile_.WriteLine(line);
  if (!error) return true;
  ShowLogFileState();
  dialogs_.ShowMessage(ToQString(error->Message()));
  return false;
}

void LogButtons::ShowLogFileState() {
  c_.StartLog->setText(ToQString(logFile_.Caption()));
  c_.StartLog->setProperty("tag", logFile_.Tag());
  c_.STLog->setText(ToQString(logFile_.StatusText()));
}

// The copy is taken from the log's entries directly, never through the
// clipboard: what the user copied stays there, and no clipboard manager keeps
// a copy of the log. Receiving, the file and the line limit go on in the
// hidden MainWindow.
void LogButtons::StartStopClick() {
  LogWindow* const live = c_.look.MainWindow;
  LogWindow* const frozen = c_.look.SecondWindow;
  frozen->Clear();
  paused_ = !paused_;
  c_.StartStop->setProperty("tag", PauseTag());
  if (paused_) {
    c_.StartStop->setText(QStringLiteral(">"));
    QStringList entries = live->Entries();
    entries << QString() << QString::fromLatin1(kStopLine);
    frozen->ReplaceEntries(entries);
    frozen->FlushPending();
    live->hide();
    frozen->show();
  } else {
    c_.StartStop->setText(QStringLiteral("||"));
    frozen->hide();
    live->show();
  }
}

void LogButtons::BTPalitraClick() {
  const LogColors colors = cycle_.BTPalitraClick();
  c_.BTPalitra->setProperty("tag", cycle_.Step());
  look_.color = colors.background;
  look_.fontColor = colors.text;
  PaintLogControls(c_.look, look_);
}

// The arrows' own position plays no part: only which one was clicked.
void LogButtons::SriftClick(bool up) {
  look_.fontSize = StepLogFontSize(look_.fontSize, up);
  c_.SriftText->setText(QString::number(look_.fontSize));
  ApplyLogFontSize(c_.look, look_.fontSize);
  emit LogFontChanged();
}

}  // namespace velmora::ui
