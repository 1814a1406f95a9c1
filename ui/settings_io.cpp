#include "ui/settings_io.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <array>

#include "receive/receiver.h"
#include "ui/colors.h"
#include "ui/console.h"
#include "ui/log_look.h"
#include "ui/macro_panel.h"
#include "ui/port_bar.h"
#include "ui/receive_view.h"
#include "ui/send_automation.h"
#include "ui/text_codec.h"
#include "ui/widgets/limited_edit.h"

namespace velmora::ui {
namespace {

void SelectStoredItem(QComboBox* box, std::uint8_t stored) {
  const int index = SelectionFromByte(stored);
  // An index past the items leaves the box without a selection.
  box->setCurrentIndex(index < box->count() ? index : -1);
}

// The name runs to the first 0 byte, so it may be shorter than its length
// byte says.
void ShowPortName(QComboBox* box, const QString& name) {
  const int item = box->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (item >= 0) {
    box->setCurrentIndex(item);
  } else {
    box->setEditText(name);
  }
}

// Selecting a radio button programmatically emits no click, so the handler
// is called here, and only when the selection changes.
template <typename Handler>
void SelectRadio(QRadioButton* radio, Handler handler) {
  if (radio->isChecked()) return;
  radio->setChecked(true);
  handler();
}

std::uint8_t StoredSelection(const QComboBox* box) {
  return ByteFromSelection(ShownItem(box).value_or(-1));
}

std::array<QRadioButton*, 4> SendModes(const SettingsControls& c) {
  // InputMode 1..4 in this order.
  return {c.RBManual, c.RBSel, c.RBAfterAns, c.RBPeriod};
}

}  // namespace

bool RestoresPortName(const CfgRecord& cfg, bool portNamesArePaths) {
  return !(portNamesArePaths && cfg.ComPortWasCut());
}

void ApplyCfgRecord(const CfgRecord& cfg, const SettingsParts& parts) {
  const SettingsControls& c = parts.controls;
  if (RestoresPortName(cfg, kPortNamesArePaths)) ShowPortName(c.ComPort, ToQString(cfg.ComPort()));
  SelectStoredItem(c.BaudRate, cfg.BaudRate());
  SelectStoredItem(c.ComBits, cfg.ComBits());
  SelectStoredItem(c.ComStopBits, cfg.ComStopBits());
  c.AutoConnect->setChecked(cfg.AutoConnect());
  parts.receiver.SetTimeRx(cfg.TimeRx());
  c.FiltrLog->setText(ToQString(cfg.FiltrLog()));

  // A 0-point log is unreadable: such a size keeps the design size.
  if (LogFontSizeUsable(cfg.LogFontSize())) parts.look.fontSize = cfg.LogFontSize();
  parts.look.color = cfg.Color();
  parts.look.fontColor = cfg.FontColor();
  PaintLogControls(c.look, parts.look);
  ApplyLogFontSize(c.look, parts.look.fontSize);

  c.VisTime->setChecked(cfg.VisTime());
  const auto modes = SendModes(c);
  const std::uint8_t inputMode = cfg.InputMode();
  if (inputMode >= 1 && inputMode <= modes.size()) {
    SelectRadio(modes[inputMode - 1],
                [&] { parts.automation.ModeClick(SendModeOfInputMode(inputMode)); });
  }
  if (cfg.OutMode() == 1) SelectRadio(c.RBASCII, [&] { parts.console.RBASCIIClick(); });
  if (cfg.OutMode() == 2) SelectRadio(c.RBHEX, [&] { parts.console.RBHEXClick(); });
  if (cfg.RBName()) {
    SelectRadio(c.RBName, [&] { parts.macros.RBNameClick(); });
  } else {
    SelectRadio(c.RbData, [&] { parts.macros.RbDataClick(); });
  }

  c.PeriodTX->setText(QString::number(cfg.PeriodTx()));
  c.SendAsReconn->setChecked(cfg.SendAsReconn());
  c.MainStrCmd->setText(ToQString(cfg.MainStrCmd()));
  c.AddStrCmd->setText(ToQString(cfg.AddStrCmd()));
  if (!c.FiltrLog->text().isEmpty()) SetBackground(c.FiltrLog, kYellow);
  parts.receiveView.ShowTimeRx();
}

void FillCfgRecord(CfgRecord& cfg, const SettingsParts& parts) {
  const SettingsControls& c = parts.controls;
  cfg.SetComPort(ToBytes(c.ComPort->currentText()));
  cfg.SetBaudRate(StoredSelection(c.BaudRate));
  cfg.SetComBits(StoredSelection(c.ComBits));
  cfg.SetComStopBits(StoredSelection(c.ComStopBits));
  cfg.SetAutoConnect(c.AutoConnect->isChecked());
  cfg.SetTimeRx(parts.receiver.TimeRx());
  cfg.SetFiltrLog(ToBytes(c.FiltrLog->text()));
  cfg.SetLogFontSize(parts.look.fontSize);
  cfg.SetColor(parts.look.color);
  cfg.SetFontColor(parts.look.fontColor);
  cfg.SetVisTime(c.VisTime->isChecked());

  // With no mode selected the fields keep their values.
  const auto modes = SendModes(c);
  for (std::size_t i = 0; i < modes.size(); ++i) {
    if (modes[i]->isChecked()) {
      cfg.SetInputMode(static_cast<std::uint8_t>(i + 1));
      break;
    }
  }
  if (c.RBASCII->isChecked()) {
    cfg.SetOutMode(1);
  } else if (c.RBHEX->isChecked()) {
    cfg.SetOutMode(2);
  }

  cfg.SetPeriodTx(PeriodTxFromText(ToBytes(c.PeriodTX->text())));
  cfg.SetSendAsReconn(c.SendAsReconn->isChecked());
  cfg.SetMainStrCmd(ToBytes(c.MainStrCmd->text()));
  cfg.SetAddStrCmd(ToBytes(c.AddStrCmd->text()));
  cfg.SetRBName(c.RBName->isChecked());
}

}  // namespace velmora::ui
