#pragma once

#include <QObject>
#include <functional>

#include "serial/port_discovery.h"
#include "serial/serial_link.h"

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
};

// The port controls of the top bar: the port list, the line settings and the
// connect button, whose colour and caption are the connection indicator.
class PortBar : public QObject {
  Q_OBJECT

 public:
  PortBar(const PortBarControls& controls, UserDialogs& dialogs, SerialLink& link,
          PortDiscovery& discovery);

  // Fills the port list; `silent` suppresses the messages of a scan that found
  // nothing (the start-up scan).
  void ScanPorts(bool silent);
  void BTConnectClick();
  void BTRescanClick() { ScanPorts(false); }

  // The request "Connect" makes from the controls as they stand.
  PortRequest CurrentRequest() const;

 signals:
  // The port was opened or closed by the user.
  void PortStateChanged();
  // The user opened the port (after PortStateChanged).
  void PortOpened();

 private:
  void SetPortControlsEnabled(bool enabled);

  PortBarControls c_;
  UserDialogs& dialogs_;
  SerialLink& link_;
  PortDiscovery& discovery_;
};

// The number of the item whose text the box shows, or nothing when the shown
// text (typed by the user) is none of the items. Qt keeps the old index while
// the edit shows typed text, so the index alone cannot be trusted.
std::optional<int> ShownItem(const QComboBox* box);

}  // namespace velmora::ui
