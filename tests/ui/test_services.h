#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/clock.h"
#include "serial/port_discovery.h"
#include "serial/serial_port.h"
#include "ui/terminal_services.h"

namespace velmora::ui {

// A port list fixed by the test.
class ListedPorts : public PortDiscovery {
 public:
  explicit ListedPorts(std::vector<std::string> names) : names_(std::move(names)) {}
  std::vector<std::string> PortNames() override { return names_; }

 private:
  std::vector<std::string> names_;
};

// The real serial backend (tests connect it to pseudo-terminals), a fixed
// port list, no waits, and the system clock unless a test passes its own.
inline TerminalServices TestServices(std::vector<std::string> ports = {},
                                     std::unique_ptr<Clock> clock = nullptr) {
  TerminalServices services;
  services.portFactory = [] { return CreateSerialPort(); };
  services.discovery = std::make_unique<ListedPorts>(std::move(ports));
  services.clock = clock ? std::move(clock) : CreateSystemClock();
  services.sleeper = [](int) {};
  return services;
}

}  // namespace velmora::ui
