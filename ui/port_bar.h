#pragma once

#include <QObject>
#include <QStyledItemDelegate>
#include <functional>
#include <memory>

#include "serial/port_discovery.h"
#include "serial/port_watch.h"
#include "serial/serial_link.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace velmora::ui {

class UserDialogs;

// The controls of the port bar.
struct PortBarControls {
  QPushButton* BTConnect;
  QPushButton* BTRescan;
  QComboBox* ComPort;
  QComboBox* BaudRate;
  QComboBox* ComBits;
  QComboBox* ComStopBits;
  QCheckBox* AutoConnect;
};

// The port controls of the top bar: the port list, the line settings and the
// connect button, whose colour and caption are the connection indicator. It
// holds the once-a-second watch of the port (`CheckConnect`), which colours
// the port box and re-opens a lost port when AutoConnect is checked; the
// clock's new second runs it, so that an idle window wakes once a second,
// not once for the clock and once for the watch.
class PortBar : public QObject {
  Q_OBJECT

 public:
  // `blockingWait` is the plain sleep between a re-open and its send.
  PortBar(const PortBarControls& controls, UserDialogs& dialogs, SerialLink& link,
          PortDiscovery& discovery, SerialLink::Sleeper blockingWait);
  ~PortBar() override;

  // Fills the port list; `silent` suppresses the messages of a scan that found
  // nothing (the start-up scan).
  void ScanPorts(bool silent);
  void BTConnectClick();
  void BTRescanClick() { ScanPorts(false); }

  // The request "Connect" makes from the controls as they stand.
  PortRequest CurrentRequest() const;

  // One tick of the watch.
  void CheckConnectTimer();
  const PortWatch& Watch() const { return watch_; }

  // Asked by the watch: "Отправить при соединении" is checked.
  std::function<bool()> sendAsReconnChecked;

 signals:
  // The port was opened or closed, by the user or by the watch.
  void PortStateChanged();
  // The user opened the port (after PortStateChanged).
  void PortOpened();
  // The watch re-opened the port and waited: send on connect.
  void SendAfterReopen();

 private:
  void SetPortControlsEnabled(bool enabled);
  // BTConnect's tag: 1 while connected. Kept beside the button's property,
  // because the port watch reads it every second.
  void SetConnectTag(int tag);
  // The items of a scan, each with its description for the drop-down.
  void FillPortList(const PortScan& scan);
  // The watch followed the device to `name`.
  void ShowMovedPort(const std::string& name, const std::vector<ListedPort>& ports);

  class WatchHost;
  friend class WatchHost;

  PortBarControls c_;
  UserDialogs& dialogs_;
  SerialLink& link_;
  PortDiscovery& discovery_;
  SerialLink::Sleeper blockingWait_;
  PortWatch watch_;
  std::unique_ptr<WatchHost> watchHost_;
  int connectTag_ = 0;
};

// The item data role of the port box that holds a port's description (what
// the device is); the item's text stays the name alone, which is what the
// box shows, opens and stores.
inline constexpr int kPortDescriptionRole = Qt::UserRole + 1;

// The line the port box's drop-down shows for an item: "USB0 — FTDI FT232R
// USB UART (A50285BI)", or the name alone when nothing is known.
QString PortPopupText(const QModelIndex& index);

// Draws the drop-down's lines as PortPopupText; only the list uses it.
class PortListDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// Paints the port box in every colour group, so that the colour shows while
// the box is disabled too.
void PaintPortBox(QComboBox* box, std::uint32_t value);

// The number of the item whose text the box shows, or nothing when the shown
// text (typed by the user) is none of the items. Qt keeps the old index while
// the edit shows typed text, so the index alone cannot be trusted.
std::optional<int> ShownItem(const QComboBox* box);

}  // namespace velmora::ui
