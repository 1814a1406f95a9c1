#pragma once

#include <QObject>

#include "common/bytes.h"

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace velmora::ui {

class LimitedEdit;

// The controls of the sending the terminal does by itself: the send modes
// (InputMode 1..4), the period, send-on-connect, the cyclic send of a
// command file and its buttons.
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
};

// What the automation sends through: the single send path and the console
// line as it stands. The console implements it.
class SendPath {
 public:
  virtual ~SendPath() = default;
  virtual void SendPortData(const Bytes& command) = 0;
  virtual Bytes ConsoleCommand() const = 0;
};

// The send modes, send-on-connect and the command-file panel. It owns the
// state "the command-file panel is shown" (`FilePanelShown`); the form's
// layout pass and the macro panel ask it.
class SendAutomation : public QObject {
  Q_OBJECT

 public:
  SendAutomation(const SendAutomationControls& controls, SendPath& path);

  // RBSel: a command chosen from the history or a macro slot is sent at once.
  bool SendOnSelect() const;
  // Send-on-connect, run after a connect when "Отправить при соединении" is
  // checked. Without a loaded command file it sends the console line once.
  void CheckSendDataAftConnect();

  bool FilePanelShown() const { return filePanelShown_; }

  // Reactions to the other parts.
  // The user opened the port.
  void PortOpened();
  // The history panel was shown or hidden: it takes the place of the
  // command-file panel and of its button.
  void HistoryPanelToggled(bool shown);
  // The macro editor view was entered or left: the file button gives way.
  void EditorShown(bool editor);

 signals:
  // FilePanelShown changed: the list name box takes its width for it.
  void FilePanelShownChanged(bool shown);

 private:
  // Every change of FilePanelShown goes through here, so it is announced.
  void SetFilePanelShown(bool shown);

  SendAutomationControls c_;
  SendPath& path_;
  bool filePanelShown_ = false;
};

}  // namespace velmora::ui
