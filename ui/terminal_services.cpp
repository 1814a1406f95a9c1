#include "ui/terminal_services.h"

#include <QThread>
#include <cstdlib>

#include "serial/serial_port.h"

namespace velmora::ui {

TerminalServices TerminalServices::System() {
  TerminalServices services;
  // VELMORA_SYSFS_ROOT and VELMORA_DEV_DIR put a fake system in place of
  // /sys and /dev, for tests by hand; unset, the system's own.
  const DeviceDirectories directories =
      DeviceDirectoriesFrom([](const char* variable) { return std::getenv(variable); });
  services.portFactory = [directories] { return CreateSerialPort(directories); };
  services.discovery = CreatePortDiscovery(directories);
  services.clock = CreateSystemClock();
  services.sleeper = [](int milliseconds) { QThread::msleep(static_cast<unsigned>(milliseconds)); };
  return services;
}

}  // namespace velmora::ui
