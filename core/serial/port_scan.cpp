#include "serial/port_discovery.h"

namespace velmora {

PortScan ScanPorts(PortDiscovery& discovery) {
  PortScan scan;
  scan.items = discovery.PortNames();
  scan.foundAny = !scan.items.empty();
  if (scan.foundAny) {
    scan.selected = 0;
  } else {
    for (int n = 1; n <= 9; ++n) scan.items.push_back("COM" + std::to_string(n));
  }
  return scan;
}

}  // namespace velmora
