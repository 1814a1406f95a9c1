// Start-up and shut-down of the main window with its three state files.

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "ui/colors.h"
#include "ui/dialogs.h"
#include "ui/form_parts.h"
#include "ui/look.h"
#include "ui/main_form.h"
#include "ui/main_window.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/double_click_combo_box.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"

namespace velmora::ui {
namespace {

// The arrows beside the console line and the tail. The design draws them as
// the byte 0xAF of a symbol font; here the character itself, U+2193, in a
// font that has it.
void ShowDownArrow(QLabel* label) {
  label->setFont(UiFont(8, true));
  label->setText(QString(QChar(0x2193)));
  label->setCursor(Qt::PointingHandCursor);  // it opens a list when clicked
}

}  // namespace

// After a failed file step the remaining steps are skipped, except the port
// scan and the handlers of the macro slots, so that the window is still
// usable; the files are then left as they are at shut-down.
void TForm1::FormCreate() {
  MainForm& form = *form_;
  receiveView_->BTClrStatClick();
  ShowDownArrow(form.Str1);
  ShowDownArrow(form.Str2);
  SetBackground(form.FiltrLog, kSysButtonFace);

  terminal_.Counters().rxBytes = 0;
  terminal_.Counters().txBytes = 0;
  terminal_.ReceivePath().SetTimeRx(0);
  look_ = LogLook{};
  form.MainWindow->Clear();
  // Not OldCmdList: it keeps its own colour until the settings paint it.
  QWidget* const startColoured[] = {form.MainWindow, form.MainStrCmd, form.AddStrCmd,
                                    form.FastOldCmd, form.LBTail,     form.CBLists};
  for (QWidget* widget : startColoured) SetBackground(widget, look_.color);

  form.BTConnect->setFocus();
  receiveView_->ShowTimeRx();

  // A temporary that cannot be removed is reported; the next save of its
  // file replaces it anyway, so start-up goes on.
  stateFiles_.RemoveStaleTemporaries(kCmdConfigFile);
  bool filesGood = macroPanel_->LoadListCmd();
  macroPanel_->AttachSlotHandlers();
  if (filesGood) {
    filesGood = stateFiles_.LoadHistory(terminal_.History());
    if (filesGood) historyLists_->AppendLoadedHistory();
  }
  portBar_->ScanPorts(true);
  if (!filesGood) return;

  helpPanel_->OutHelpHelp();
  switch (stateFiles_.LoadCfg(cfg_)) {
    case StateFiles::CfgStart::Failed: return;
    case StateFiles::CfgStart::Apply:
      ApplyCfgRecord(cfg_, {SettingsControlsOf(form), terminal_.ReceivePath(), *console_,
                            *macroPanel_, *receiveView_, look_, *sendAutomation_});
      break;
    case StateFiles::CfgStart::KeepDesign: break;
  }
  stateFiles_.CfgRestored();
  if (!LogFontSizeUsable(cfg_.LogFontSize())) cfg_.SetLogFontSize(look_.fontSize);
  // The size in use: the stored one when it was applied, else the design's.
  form.SriftText->setText(QString::number(look_.fontSize));
}

// The history and the settings are written independently: a failure of one
// is reported and the other is still written. A failed settings save is
// reported, then the user decides whether to close without them; "Нет"
// leaves the window as it was (nothing shut-down does comes before this).
bool TForm1::FormClose() {
  stateFiles_.SaveHistory(terminal_.History());
  if (!stateFiles_.CfgWritable()) return true;
  FillCfgRecord(cfg_, {SettingsControlsOf(*form_), terminal_.ReceivePath(), *console_, *macroPanel_,
                       *receiveView_, look_, *sendAutomation_});
  if (stateFiles_.SaveCfg(cfg_)) return true;
  return dialogs_.AskYesNo(
      QStringLiteral("Не удалось сохранить настройки. Закрыть программу без сохранения?"));
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (FormClose()) {
    // Only once the window really closes: after a "Нет" the run goes on,
    // and so does its log file.
    logFile_.Close();
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace velmora::ui
