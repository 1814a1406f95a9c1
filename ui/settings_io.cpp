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
#include "ui/main_form.h"
#include "ui/port_bar.h"
#include "ui/receive_view.h"
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

std::array<QRadioButton*, 4> SendModes(const MainForm& form) {
  // InputMode 1..4 in this order.
  return {form.RBManual, form.RBSel, form.RBAfterAns, form.RBPeriod};
}

}  // namespace

bool RestoresPortName(const CfgRecord& cfg, bool portNamesArePaths) {
  return !(portNamesArePaths && cfg.ComPortWasCut());
}

void ApplyCfgRecord(const CfgRecord& cfg, const SettingsParts& parts) {
  MainForm& form = parts.form;
  if (RestoresPortName(cfg, kPortNamesArePaths))
    ShowPortName(form.ComPort, ToQString(cfg.ComPort()));
  SelectStoredItem(form.BaudRate, cfg.BaudRate());
  SelectStoredItem(form.ComBits, cfg.ComBits());
  SelectStoredItem(form.ComStopBits, cfg.ComStopBits());
  form.AutoConnect->setChecked(cfg.AutoConnect());
  parts.receiver.SetTimeRx(cfg.TimeRx());
  form.FiltrLog->setText(ToQString(cfg.FiltrLog()));

  // A 0-point log is unreadable: such a size keeps the design size.
  if (LogFontSizeUsable(cfg.LogFontSize())) parts.look.fontSize = cfg.LogFontSize();
  parts.look.color = cfg.Color();
  parts.look.fontColor = cfg.FontColor();
  PaintLogControls(form, parts.look);
  ApplyLogFontSize(form, parts.look.fontSize);

  form.VisTime->setChecked(cfg.VisTime());
  const auto modes = SendModes(form);
  const std::uint8_t inputMode = cfg.InputMode();
  if (inputMode >= 1 && inputMode <= modes.size()) SelectRadio(modes[inputMode - 1], [] {});
  if (cfg.OutMode() == 1) SelectRadio(form.RBASCII, [&] { parts.console.RBASCIIClick(); });
  if (cfg.OutMode() == 2) SelectRadio(form.RBHEX, [&] { parts.console.RBHEXClick(); });
  if (cfg.RBName()) {
    SelectRadio(form.RBName, [&] { parts.macros.RBNameClick(); });
  } else {
    SelectRadio(form.RbData, [&] { parts.macros.RbDataClick(); });
  }

  form.PeriodTX->setText(QString::number(cfg.PeriodTx()));
  form.SendAsReconn->setChecked(cfg.SendAsReconn());
  form.MainStrCmd->setText(ToQString(cfg.MainStrCmd()));
  form.AddStrCmd->setText(ToQString(cfg.AddStrCmd()));
  if (!form.FiltrLog->text().isEmpty()) SetBackground(form.FiltrLog, kYellow);
  parts.receiveView.ShowTimeRx();
}

void FillCfgRecord(CfgRecord& cfg, const SettingsParts& parts) {
  const MainForm& form = parts.form;
  cfg.SetComPort(ToBytes(form.ComPort->currentText()));
  cfg.SetBaudRate(StoredSelection(form.BaudRate));
  cfg.SetComBits(StoredSelection(form.ComBits));
  cfg.SetComStopBits(StoredSelection(form.ComStopBits));
  cfg.SetAutoConnect(form.AutoConnect->isChecked());
  cfg.SetTimeRx(parts.receiver.TimeRx());
  cfg.SetFiltrLog(ToBytes(form.FiltrLog->text()));
  cfg.SetLogFontSize(parts.look.fontSize);
  cfg.SetColor(parts.look.color);
  cfg.SetFontColor(parts.look.fontColor);
  cfg.SetVisTime(form.VisTime->isChecked());

  // With no mode selected the fields keep their values.
  const auto modes = SendModes(form);
  for (std::size_t i = 0; i < modes.size(); ++i) {
    if (modes[i]->isChecked()) {
      cfg.SetInputMode(static_cast<std::uint8_t>(i + 1));
      break;
    }
  }
  if (form.RBASCII->isChecked()) {
    cfg.SetOutMode(1);
  } else if (form.RBHEX->isChecked()) {
    cfg.SetOutMode(2);
  }

  cfg.SetPeriodTx(PeriodTxFromText(ToBytes(form.PeriodTX->text())));
  cfg.SetSendAsReconn(form.SendAsReconn->isChecked());
  cfg.SetMainStrCmd(ToBytes(form.MainStrCmd->text()));
  cfg.SetAddStrCmd(ToBytes(form.AddStrCmd->text()));
  cfg.SetRBName(form.RBName->isChecked());
}

}  // namespace velmora::ui
