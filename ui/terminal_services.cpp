#include "ui/terminal_services.h"

#include <QThread>

#include "serial/serial_port.h"

namespace velmora::ui {

TerminalServices TerminalServices::System() {
  TerminalServices services;
  services.portFactory = [] { return CreateSerialPort(); };
  services.discovery = CreatePortDiscovery();
  services.clock = CreateSystemClock();
  services.sleeper = [](int milliseconds) { QThread::msleep(static_cast<unsigned>(milliseconds)); };
  return services;
}

}  // namespace velmora::ui
