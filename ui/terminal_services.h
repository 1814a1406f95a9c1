#pragma once

#include <memory>

#include "common/clock.h"
#include "serial/port_discovery.h"
#include "serial/serial_link.h"
#include "storage/file_system.h"

namespace velmora::ui {

// What the window takes from the machine: the serial backend, the port
// list, the clock and the waits. Tests hand in their own.
struct TerminalServices {
  SerialLink::PortFactory portFactory;
  std::unique_ptr<PortDiscovery> discovery;
  std::unique_ptr<Clock> clock;
  SerialLink::Sleeper sleeper;
  // Where "Cfg" and "OldCmd" are read and written: the system's files unless
  // a test hands in a file system that fails (a full disk at shut-down). It
  // must outlive the window.
  FileSystem* stateFileSystem = &SystemFileSystem();

  // The real serial ports, ports list and clock of this machine.
  static TerminalServices System();
};

}  // namespace velmora::ui
