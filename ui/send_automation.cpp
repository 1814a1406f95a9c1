#include "ui/send_automation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <cerrno>

#include "automation/command_file.h"
#include "storage/file_store.h"
#include "ui/dialogs.h"
#include "ui/file_error_report.h"
#include "ui/text_codec.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/limited_edit.h"

namespace velmora::ui {
namespace {

FileFault FaultOfErrno(int error) {
  switch (error) {
    case EACCES:
    case EPERM: return FileFault::NoAccess;
    case ENOENT: return FileFault::NotFound;
    case EISDIR: return FileFault::IsDirectory;
    case EIO: return FileFault::InputOutput;
    default: return FileFault::Other;
  }
}

void SetShown(std::initializer_list<QWidget*> controls, bool shown) {
  for (QWidget* control : controls) control->setVisible(shown);
}

}  // namespace

SendMode SendModeOfInputMode(int inputMode) {
  switch (inputMode) {
    case 2: return SendMode::OnSelect;
    case 3: return SendMode::AfterAnswer;
    case 4: return SendMode::Period;
    default: return SendMode::Manual;
  }
}

SendAutomation::SendAutomation(const SendAutomationControls& controls, SendPath& path,
                               UserDialogs& dialogs, SerialLink& link, const Clock& clock,
                               SendAutomationPeers peers)
    : c_(controls),
      path_(path),
      dialogs_(dialogs),
      link_(link),
      peers_(std::move(peers)),
      core_(clock),
      listNameHint_(c_.STListName->toolTip()) {
  timerPeriod_.setObjectName(QStringLiteral("TimerPeriod"));
  timerPeriod_.setSingleShot(true);
  timerPeriod_.setTimerType(Qt::PreciseTimer);
  connect(&timerPeriod_, &QTimer::timeout, this, [this] { TimerPeriodTimer(); });

  // clicked, not toggled: the restore runs the handler itself, and only
  // when the selection changes.
  connect(c_.RBManual, &QRadioButton::clicked, this, [this] { RBManualClick(); });
  connect(c_.RBAfterAns, &QRadioButton::clicked, this, [this] { RBAfterAnsClick(); });
  connect(c_.RBSel, &QRadioButton::clicked, this, [this] { RBSelClick(); });
  connect(c_.RBPeriod, &QRadioButton::clicked, this, [this] { RBPeriodClick(); });
  connect(c_.ButtonReadFile, &QPushButton::clicked, this, [this] { ButtonReadFileClick(); });
  connect(c_.SendStart, &QPushButton::clicked, this, [this] { SendStartClick(); });
  connect(c_.CiklSend, &QCheckBox::toggled, this, [this] {
    if (peers_.wakeHousekeeping) peers_.wakeHousekeeping();
  });

  // Digits only, whatever brings the text: a key, a paste, a middle click or
  // a drop. Integer validators would take a sign or a group separator. The
  // validator binds the user only: a stored value is shown as it is.
  c_.PeriodTX->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), c_.PeriodTX));
  connect(c_.PeriodTX, &QLineEdit::textChanged, this, [this] { WakeTimerPeriod(); });
  c_.ButtonReadFile->setProperty("tag", 0);
}

bool SendAutomation::SendOnSelect() const { return c_.RBSel->isChecked(); }

void SendAutomation::CheckSendDataAftConnect() {
  core_.CheckSendDataAftConnect(*this);
  WakeTimerPeriod();
}

void SendAutomation::PortOpened() {
  WakeTimerPeriod();
  if (c_.SendAsReconn->isChecked()) CheckSendDataAftConnect();
}

void SendAutomation::ModeClick(SendMode mode) {
  const bool history = peers_.historyPanelShown && peers_.historyPanelShown();
  const ModeControls controls = core_.ModeClicked(mode, history);
  c_.OldCmdList->setEnabled(controls.oldCmdList);
  c_.SendStart->setEnabled(controls.sendStart);
  c_.CiklSend->setEnabled(controls.ciklSend);
  WakeTimerPeriod();
  if (mode == SendMode::Period && peers_.wakeHousekeeping) peers_.wakeHousekeeping();
}

void SendAutomation::ButtonReadFileClick() {
  if (c_.ButtonReadFile->property("tag").toInt() == 0) {
    const QString fileName = dialogs_.ChooseCommandFile();
    if (fileName.isEmpty()) return;
    EnterFileMode(fileName);
  } else {
    LeaveFileMode();
  }
}

void SendAutomation::EnterFileMode(const QString& fileName) {
  c_.ButtonReadFile->setProperty("tag", 1);
  c_.ButtonReadFile->setText(QStringLiteral("Назад"));
  if (peers_.setHistoryPanelShown) peers_.setHistoryPanelShown(false);
  SetFilePanelShown(true);
  core_.FileModeEntered();

  SetShown({c_.CBLists, c_.EditAllCmd, c_.RBName, c_.RbData, c_.OldCommandsBT}, false);
  c_.STListName->setToolTip(QString());
  c_.STListName->resize(c_.STListName->x() + c_.ButtonReadFile->x() - 20, c_.STListName->height());
  c_.OldCmdList->setEnabled(true);
  SetShown({c_.STListName, c_.OldCmdList, c_.SendStart, c_.CiklSend}, true);
  const SendMode mode = ChosenMode();
  c_.CiklSend->setEnabled(mode == SendMode::AfterAnswer || mode == SendMode::Period);
  c_.STListName->setText(fileName);

  // Emptied before the file is opened: a failed open must not leave the
  // history in the list as if it were the file's lines.
  const QSignalBlocker block(c_.OldCmdList);
  c_.OldCmdList->clear();
  // The path stays in the file system's own bytes.
  const CommandFile file = ReadCommandFile(QFile::encodeName(fileName).toStdString());
  for (const Bytes& line : file.lines) c_.OldCmdList->addItem(ToQString(line));
  c_.OldCmdList->setCurrentRow(-1);
  if (!file.Ok()) {
    ReportFileError(dialogs_, FileError{ToBytes(fileName), FileError::Action::Read, file.reason,
                                        FaultOfErrno(file.error)});
    return;
  }
  if (file.bigFile) dialogs_.ShowMessage(QStringLiteral("Большой файл"));
}

void SendAutomation::LeaveFileMode() {
  c_.ButtonReadFile->setProperty("tag", 0);
  c_.ButtonReadFile->setText(QStringLiteral("Из файла"));
  SetFilePanelShown(false);
  if (peers_.setHistoryPanelShown) peers_.setHistoryPanelShown(true);

  if (peers_.listName) c_.STListName->setText(peers_.listName());
  c_.STListName->setToolTip(listNameHint_);
  {
    const QSignalBlocker block(c_.OldCmdList);
    c_.OldCmdList->clear();
  }
  SetShown({c_.CiklSend, c_.OldCmdList, c_.STListName, c_.SendStart}, false);
  SetShown({c_.EditAllCmd, c_.CBLists, c_.RBName, c_.RbData}, true);
}

void SendAutomation::SendStartClick() {
  core_.StartSendCommands(*this);
  WakeTimerPeriod();
}

void SendAutomation::AfterAnswer() { core_.AfterAnswer(*this); }

bool SendAutomation::CyclicTimerPeriodStep() {
  if (core_.CyclicReenable(c_.CiklSend->isChecked(), ChosenMode())) WakeTimerPeriod();
  return false;
}

void SendAutomation::TimerPeriodTimer() {
  core_.TimerPeriodTimer(*this);
  WakeTimerPeriod();
}

void SendAutomation::WakeTimerPeriod() {
  const std::optional<int> delay = core_.NextTickDelay(*this);
  if (!delay) {
    timerPeriod_.stop();
    return;
  }
  // A running timer keeps its earlier due time unless this one is sooner.
  if (timerPeriod_.isActive() && timerPeriod_.remainingTime() <= *delay) return;
  timerPeriod_.start(*delay);
}

void SendAutomation::HistoryPanelToggled(bool shown) {
  SetFilePanelShown(false);
  c_.ButtonReadFile->setVisible(!shown);
}

void SendAutomation::SetFilePanelShown(bool shown) {
  if (shown == filePanelShown_) return;
  filePanelShown_ = shown;
  emit FilePanelShownChanged(shown);
}

void SendAutomation::EditorShown(bool editor) { c_.ButtonReadFile->setVisible(!editor); }

SendMode SendAutomation::ChosenMode() {
  if (c_.RBAfterAns->isChecked()) return SendMode::AfterAnswer;
  if (c_.RBSel->isChecked()) return SendMode::OnSelect;
  if (c_.RBPeriod->isChecked()) return SendMode::Period;
  return SendMode::Manual;
}

std::size_t SendAutomation::FileLineCount() {
  return static_cast<std::size_t>(c_.OldCmdList->count());
}

// The file lines are the list's items (every byte survives the crossing).
Bytes SendAutomation::FileLine(std::size_t index) {
  const QListWidgetItem* item = c_.OldCmdList->item(static_cast<int>(index));
  return item != nullptr ? ToBytes(item->text()) : Bytes();
}

Bytes SendAutomation::ConsoleLine() { return path_.ConsoleCommand(); }

Bytes SendAutomation::PeriodText() { return ToBytes(c_.PeriodTX->text()); }

bool SendAutomation::CiklSendChecked() { return c_.CiklSend->isChecked(); }

std::uint32_t SendAutomation::BytesWaiting() {
  if (!link_.PortOpen()) return 0;
  std::uint32_t count = 0;
  if (link_.Port().BytesWaiting(count) != SerialError::None) return 0;
  return count;
}

void SendAutomation::SendPortData(const Bytes& command) { path_.SendPortData(command); }

void SendAutomation::ShowAllSent() {
  dialogs_.ShowMessage(QStringLiteral("Все команды отправлены"));
}

}  // namespace velmora::ui
