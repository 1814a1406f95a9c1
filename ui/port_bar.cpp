#include "ui/port_bar.h"

#include <QComboBox>
#include <QPushButton>

#include "ui/colors.h"
#include "ui/dialogs.h"
#include "ui/text_codec.h"

namespace velmora::ui {

std::optional<int> ShownItem(const QComboBox* box) {
  const int index = box->findText(box->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index < 0) return std::nullopt;
  return index;
}

PortBar::PortBar(const PortBarControls& controls, UserDialogs& dialogs, SerialLink& link,
                 PortDiscovery& discovery)
    : c_(controls), dialogs_(dialogs), link_(link), discovery_(discovery) {
  connect(c_.BTConnect, &QPushButton::clicked, this, [this] { BTConnectClick(); });
  connect(c_.BTRescan, &QPushButton::clicked, this, [this] { BTRescanClick(); });
}

void PortBar::ScanPorts(bool silent) {
  const PortScan scan = velmora::ScanPorts(discovery_);
  QComboBox* box = c_.ComPort;
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
  request.name = c_.ComPort->currentText().toLocal8Bit().toStdString();
  if (const auto item = ShownItem(c_.BaudRate)) {
    request.baudRate = c_.BaudRate->itemText(*item).toUInt();
  }
  if (const auto item = ShownItem(c_.ComBits)) {
    request.dataBits = static_cast<std::uint8_t>(c_.ComBits->itemText(*item).toUInt());
  }
  request.stopBitsItem = ShownItem(c_.ComStopBits);
  return request;
}

void PortBar::SetPortControlsEnabled(bool enabled) {
  c_.ComPort->setEnabled(enabled);
  c_.BaudRate->setEnabled(enabled);
  c_.BTRescan->setEnabled(enabled);
  c_.ComBits->setEnabled(enabled);
  c_.ComStopBits->setEnabled(enabled);
}

void PortBar::BTConnectClick() {
  QPushButton* button = c_.BTConnect;
  button->setEnabled(false);
  if (button->property("tag").toInt() != 0) {
    link_.ClosePort();
    SetPortControlsEnabled(true);
    button->setText("Connect");
    button->setProperty("tag", 0);
    SetBackground(c_.ComPort, kSysWindow);
    emit PortStateChanged();
  } else {
    switch (link_.OpenPort(CurrentRequest())) {
      case OpenResult::Opened:
        SetPortControlsEnabled(false);
        button->setText("Disconnect");
        button->setProperty("tag", 1);
        SetBackground(c_.ComPort, kLime);
        emit PortStateChanged();
        emit PortOpened();
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
