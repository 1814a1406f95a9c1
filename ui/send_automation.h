#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

#include "automation/send_automation.h"
#include "common/bytes.h"
#include "common/clock.h"
#include "serial/serial_link.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace velmora::ui {

class ClickableLabel;
class LimitedEdit;
class UserDialogs;

// The controls of the sending the terminal does by itself: the send modes
// (InputMode 1..4), the period, send-on-connect, the cyclic send of a
// command file and its buttons; and the controls of the macro panel that
// the command-file panel takes the place of.
struct SendAutomationControls {
  QRadioButton* RBManual;
  QRadioButton* RBSel;
  QRadioButton* RBAfterAns;
  QRadioButton* RBPeriod;
  LimitedEdit* PeriodTX;
  QCheckBox* SendAsReconn;
  QCheckBox* CiklSend;
  QPushButton* SendStart;
  QPushButton* ButtonReadFile;
  QListWidget* OldCmdList;
  ClickableLabel* STListName;
  QComboBox* CBLists;
  QPushButton* EditAllCmd;
  QRadioButton* RBName;
  QRadioButton* RbData;
  QPushButton* OldCommandsBT;
};

// What the automation sends through: the single send path and the console
// line as it stands. The console implements it.
class SendPath {
 public:
  virtual ~SendPath() = default;
  virtual void SendPortData(const Bytes& command) = 0;
  virtual Bytes ConsoleCommand() const = 0;
};

// What the automation reads from and sets in the other parts.
struct SendAutomationPeers {
  std::function<bool()> historyPanelShown;
  std::function<void(bool)> setHistoryPanelShown;
  // The name of the current command list, for STListName.
  std::function<QString()> listName;
  // The housekeeping tick has work (the cyclic re-enable of TimerPeriod).
  std::function<void()> wakeHousekeeping;
};

// The InputMode value (1..4) of a send mode and back; 0 for none.
SendMode SendModeOfInputMode(int inputMode);

// The send modes, send-on-connect and the command-file panel. It owns the
// state "the command-file panel is shown" (`FilePanelShown`); the form's
// layout pass and the macro panel ask it. The sequencing itself is the
// core's; this part owns the timer TimerPeriod, which it parks whenever the
// sequencing wants no tick and wakes for the due time.
class SendAutomation : public QObject, private AutomationHost {
  Q_OBJECT

 public:
  SendAutomation(const SendAutomationControls& controls, SendPath& path, UserDialogs& dialogs,
                 SerialLink& link, const Clock& clock, SendAutomationPeers peers);

  // RBSel: a command chosen from the history or a macro slot is sent at once.
  bool SendOnSelect() const;
  // Send-on-connect: the file in file mode, else the console line.
  void CheckSendDataAftConnect();

  bool FilePanelShown() const { return filePanelShown_; }
  bool FilePanelShown() override { return filePanelShown_; }

  // Handlers.
  void RBManualClick() { ModeClick(SendMode::Manual); }
  void RBAfterAnsClick() { ModeClick(SendMode::AfterAnswer); }
  void RBSelClick() { ModeClick(SendMode::OnSelect); }
  void RBPeriodClick() { ModeClick(SendMode::Period); }
  // The restore chose the radio button of `mode`.
  void ModeClick(SendMode mode);
  void ButtonReadFileClick();
  void SendStartClick();
  // The step at the end of the rendering of a received packet.
  void AfterAnswer();
  // The housekeeping tick's step: CiklSend checked and "Период, мс:" chosen
  // enables TimerPeriod. Has no work for a later tick.
  bool CyclicTimerPeriodStep();

  // Reactions to the other parts.
  // The user opened the port.
  void PortOpened();
  // The port was opened or closed by the user or the watch.
  void PortStateChanged() { WakeTimerPeriod(); }
  // The history panel was shown or hidden: it takes the place of the
  // command-file panel and of its button.
  void HistoryPanelToggled(bool shown);
  // The macro editor view was entered or left: the file button gives way.
  void EditorShown(bool editor);

  // Asks the sequencing when TimerPeriod runs next and arms or parks it.
  void WakeTimerPeriod();
  const QTimer& TimerPeriod() const { return timerPeriod_; }
  const velmora::SendAutomation& Sequencer() const { return core_; }

 signals:
  // FilePanelShown changed: the list name box takes its width for it.
  void FilePanelShownChanged(bool shown);

 private:
  // Every change of FilePanelShown goes through here, so it is announced.
  void SetFilePanelShown(bool shown);
  void TimerPeriodTimer();
  void EnterFileMode(const QString& fileName);
  void LeaveFileMode();

  // AutomationHost
  SendMode ChosenMode() override;
  std::size_t FileLineCount() override;
  Bytes FileLine(std::size_t index) override;
  Bytes ConsoleLine() override;
  Bytes PeriodText() override;
  bool CiklSendChecked() override;
  bool PortOpen() override { return link_.PortOpen(); }
  std::uint32_t BytesWaiting() override;
  void SendPortData(const Bytes& command) override;
  void ShowAllSent() override;

  SendAutomationControls c_;
  SendPath& path_;
  UserDialogs& dialogs_;
  SerialLink& link_;
  SendAutomationPeers peers_;
  velmora::SendAutomation core_;
  QTimer timerPeriod_;
  QString listNameHint_;
  bool filePanelShown_ = false;
};

}  // namespace velmora::ui
