#include "ui/port_bar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "ui/colors.h"
#include "ui/dialogs.h"
#include "ui/main_form.h"
#include "ui/text_codec.h"

namespace velmora::ui {

std::optional<int> ShownItem(const QComboBox* box) {
  const int index = box->findText(box->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index < 0) return std::nullopt;
  return index;
}

PortBar::PortBar(MainForm& form, UserDialogs& dialogs, SerialLink& link, PortDiscovery& discovery)
    : form_(form), dialogs_(dialogs), link_(link), discovery_(discovery) {
  connect(form_.BTConnect, &QPushButton::clicked, this, [this] { BTConnectClick(); });
  connect(form_.BTRescan, &QPushButton::clicked, this, [this] { BTRescanClick(); });
}

void PortBar::ScanPorts(bool silent) {
  const PortScan scan = velmora::ScanPorts(discovery_);
  QComboBox* box = form_.ComPort;
  box->clear();
  for (const std::string& name : scan.items) box->addItem(QString::fromLocal8Bit(name));
  box->setCurrentIndex(scan.selected);
  if (scan.selected < 0) box->setEditText(QString());
  if (!scan.foundAny && !silent) {
    dialogs_.ShowMessage(":-(");
    dialogs_.ShowMessage(
        QStringLiteral("Запустите программу от имени администратора или выберите порт вручную"));
  }
}

PortRequest PortBar::CurrentRequest() const {
  PortRequest request;
  // Port names are file-system paths here, not 1251 texts.
  request.name = form_.ComPort->currentText().toLocal8Bit().toStdString();
  if (const auto item = ShownItem(form_.BaudRate)) {
    request.baudRate = form_.BaudRate->itemText(*item).toUInt();
  }
  if (const auto item = ShownItem(form_.ComBits)) {
    request.dataBits = static_cast<std::uint8_t>(form_.ComBits->itemText(*item).toUInt());
  }
  request.stopBitsItem = ShownItem(form_.ComStopBits);
  return request;
}

void PortBar::SetPortControlsEnabled(bool enabled) {
  form_.ComPort->setEnabled(enabled);
  form_.BaudRate->setEnabled(enabled);
  form_.BTRescan->setEnabled(enabled);
  form_.ComBits->setEnabled(enabled);
  form_.ComStopBits->setEnabled(enabled);
}

void PortBar::BTConnectClick() {
  QPushButton* button = form_.BTConnect;
  button->setEnabled(false);
  if (button->property("tag").toInt() != 0) {
    link_.ClosePort();
    SetPortControlsEnabled(true);
    button->setText("Connect");
    button->setProperty("tag", 0);
    SetBackground(form_.ComPort, kSysWindow);
    emit PortStateChanged();
  } else {
    switch (link_.OpenPort(CurrentRequest())) {
      case OpenResult::Opened:
        SetPortControlsEnabled(false);
        button->setText("Disconnect");
        button->setProperty("tag", 1);
        SetBackground(form_.ComPort, kLime);
        emit PortStateChanged();
        if (form_.SendAsReconn->isChecked()) emit SendAfterConnect();
        break;
      case OpenResult::NoSelection:
        dialogs_.ShowMessage(QStringLiteral("Выберите значение из списка"));
        break;
      case OpenResult::EmptyName: dialogs_.ShowMessage(QStringLiteral("Выбери порт!")); break;
      case OpenResult::OpenFailed:
      case OpenResult::SettingsRefused:
        dialogs_.ShowMessage(QStringLiteral(
            "Что-то не открывается порт. Программа может работать только с COM1..COM9."));
        break;
    }
  }
  button->setEnabled(true);
}

}  // namespace velmora::ui
