#pragma once

#include <QObject>
#include <cstdint>

#include "logfile/log_file.h"
#include "logfile/log_view.h"
#include "ui/log_look.h"
#include "ui/log_sink.h"

class QLabel;
class QPushButton;

namespace velmora::ui {

class UpDownArrows;
class UserDialogs;

// The buttons of the top bar that act on the log, the status label of the
// log file and the two memos they show.
struct LogButtonsControls {
  QPushButton* BTLog;
  QPushButton* StartLog;
  QPushButton* StartStop;
  QPushButton* BTPalitra;
  UpDownArrows* Srift;
  QLabel* SriftText;
  QLabel* STLog;
  LogLookControls look;  // MainWindow, SecondWindow and the coloured edits
};

// "Clear", the log file ("Start Log" / "Pause Log" / "Go Log"), the frozen
// view ("||" / ">"), the colour cycle ("Colors") and the font-size arrows.
// It is the log sink's log-file writer: both paths write the line they have
// just shown through the one LogFile of the run.
class LogButtons : public QObject, public LogFileWriter {
  Q_OBJECT

 public:
  LogButtons(const LogButtonsControls& controls, UserDialogs& dialogs, LogFile& logFile,
             LogLook& look);

  void BTLogClick();
  void StartLogClick();
  void StartStopClick();
  void BTPalitraClick();
  void SriftClick(bool up);

  // The tag of StartStop: 1 while the frozen copy is shown.
  int PauseTag() const { return paused_ ? 1 : 0; }
  // The tag of BTPalitra, 0..5.
  int ColorStep() const { return cycle_.Step(); }

  // LogFileWriter: a failed write has already switched writing off; the
  // button and STLog show that before the one box opens.
  bool WriteLogFile(const Bytes& line) override;

 signals:
  // The log's font was set: the line count changed, the housekeeping tick
  // has work.
  void LogFontChanged();

 private:
  // Caption, tag and STLog from the log file's state.
  void ShowLogFileState();

  LogButtonsControls c_;
  UserDialogs& dialogs_;
  LogFile& logFile_;
  LogLook& look_;
  ColorCycle cycle_;
  bool paused_ = false;
};

}  // namespace velmora::ui
