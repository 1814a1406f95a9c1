#include "ui/port_bar.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "ui/colors.h"
#include "ui/dialogs.h"
#include "ui/text_codec.h"

namespace velmora::ui {

std::optional<int> ShownItem(const QComboBox* box) {
  const int index = box->findText(box->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index < 0) return std::nullopt;
  return index;
}

QString PortPopupText(const QModelIndex& index) {
  const QString name = index.data(Qt::DisplayRole).toString();
  const QString description = index.data(kPortDescriptionRole).toString();
  if (description.isEmpty()) return name;
  return name + QStringLiteral(" \u2014 ") + description;
}

void PortListDelegate::initStyleOption(QStyleOptionViewItem* option,
                                       const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  option->text = PortPopupText(index);
}

void PaintPortBox(QComboBox* box, std::uint32_t value) {
  const QColor color = ToQColor(value);
  QPalette palette = box->palette();
  for (const QPalette::ColorGroup group :
       {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button}) {
      palette.setColor(group, role, color);
    }
  }
  box->setPalette(palette);
  box->setAutoFillBackground(true);
  if (QLineEdit* edit = box->lineEdit()) edit->setPalette(palette);
}

// What the watch reads from the port bar and asks of it.
class PortBar::WatchHost : public PortWatchHost {
 public:
  explicit WatchHost(PortBar& bar) : bar_(bar) {}

  bool ConnectTag() override { return bar_.connectTag_ == 1; }
  bool AutoConnectChecked() override { return bar_.c_.AutoConnect->isChecked(); }
  bool SendAsReconnChecked() override {
    return bar_.sendAsReconnChecked && bar_.sendAsReconnChecked();
  }
  PortRequest CurrentRequest() override { return bar_.CurrentRequest(); }
  void ColourPort(PortColour colour) override {
    std::uint32_t value = kSysWindow;
    switch (colour) {
      case PortColour::Window: value = kSysWindow; break;
      case PortColour::Lime: value = kLime; break;
      case PortColour::Red: value = kRed; break;
      case PortColour::Yellow: value = kYellow; break;
    }
    PaintPortBox(bar_.c_.ComPort, value);
    // At once: a blocking wait may follow.
    bar_.c_.ComPort->repaint();
  }
  void PortStateChanged() override { emit bar_.PortStateChanged(); }
  void BlockingWait(int milliseconds) override {
    if (bar_.blockingWait_) bar_.blockingWait_(milliseconds);
  }
  void SendAfterConnect() override { emit bar_.SendAfterReopen(); }
  void PortMoved(const std::string& name, const std::vector<ListedPort>& ports) override {
    bar_.ShowMovedPort(name, ports);
  }

 private:
  PortBar& bar_;
};

PortBar::PortBar(const PortBarControls& controls, UserDialogs& dialogs, SerialLink& link,
                 PortDiscovery& discovery, SerialLink::Sleeper blockingWait)
    : c_(controls),
      dialogs_(dialogs),
      link_(link),
      discovery_(discovery),
      blockingWait_(std::move(blockingWait)),
      watch_(link, &discovery),
      watchHost_(std::make_unique<WatchHost>(*this)) {
  // The box takes the delegate; only its list draws the descriptions.
  c_.ComPort->setItemDelegate(new PortListDelegate(c_.ComPort));
  connect(c_.BTConnect, &QPushButton::clicked, this, [this] { BTConnectClick(); });
  connect(c_.BTRescan, &QPushButton::clicked, this, [this] { BTRescanClick(); });
}

PortBar::~PortBar() = default;

void PortBar::CheckConnectTimer() { watch_.CheckConnectTimer(*watchHost_); }

void PortBar::FillPortList(const PortScan& scan) {
  QComboBox* box = c_.ComPort;
  box->clear();
  for (std::size_t i = 0; i < scan.items.size(); ++i) {
    // Port names are file-system paths here, not 1251 texts.
    box->addItem(QString::fromLocal8Bit(scan.items[i]));
    const QString description =
        i < scan.descriptions.size() ? ToQString(scan.descriptions[i]) : QString();
    if (description.isEmpty()) continue;
    const int row = box->count() - 1;
    box->setItemData(row, description, kPortDescriptionRole);
    box->setItemData(row, description, Qt::ToolTipRole);
  }
  box->setCurrentIndex(scan.selected);
  if (scan.selected < 0) box->setEditText(QString());
  // The list is as wide as its longest line.
  QAbstractItemView* list = box->view();
  list->setMinimumWidth(std::max(list->minimumWidth(), list->sizeHintForColumn(0) + 8));
}

void PortBar::ShowMovedPort(const std::string& name, const std::vector<ListedPort>& ports) {
  FillPortList(ScanOf(ports));
  QComboBox* box = c_.ComPort;
  const QString text = QString::fromLocal8Bit(name);
  const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0) {
    box->setCurrentIndex(index);
  } else {
    box->setEditText(text);
  }
}

void PortBar::ScanPorts(bool silent) {
  const PortScan scan = velmora::ScanPorts(discovery_);
  FillPortList(scan);
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

void PortBar::SetConnectTag(int tag) {
  connectTag_ = tag;
  c_.BTConnect->setProperty("tag", tag);
}

void PortBar::BTConnectClick() {
  QPushButton* button = c_.BTConnect;
  button->setEnabled(false);
  if (connectTag_ != 0) {
    link_.ClosePort();
    watch_.Forget();
    SetPortControlsEnabled(true);
    button->setText("Connect");
    SetConnectTag(0);
    PaintPortBox(c_.ComPort, kSysWindow);
    emit PortStateChanged();
  } else {
    const PortRequest request = CurrentRequest();
    switch (link_.OpenPort(request)) {
      case OpenResult::Opened:
        watch_.Connected(request.name);
        SetPortControlsEnabled(false);
        button->setText("Disconnect");
        SetConnectTag(1);
        PaintPortBox(c_.ComPort, kLime);
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
