#include "ui/send_automation.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

namespace velmora::ui {

SendAutomation::SendAutomation(const SendAutomationControls& controls, SendPath& path)
    : c_(controls), path_(path) {}

bool SendAutomation::SendOnSelect() const { return c_.RBSel->isChecked(); }

void SendAutomation::CheckSendDataAftConnect() { path_.SendPortData(path_.ConsoleCommand()); }

void SendAutomation::PortOpened() {
  if (c_.SendAsReconn->isChecked()) CheckSendDataAftConnect();
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

}  // namespace velmora::ui
