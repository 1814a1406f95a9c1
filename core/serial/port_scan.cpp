#include "serial/port_discovery.h"

namespace velmora {

std::vector<ListedPort> PortDiscovery::Ports() {
  std::vector<ListedPort> ports;
  for (std::string& name : PortNames()) ports.push_back({std::move(name), {}});
  return ports;
}

PortIdentity PortDiscovery::IdentityOf(const std::string&) { return {}; }

PortScan ScanOf(const std::vector<ListedPort>& ports) {
  PortScan scan;
  for (const ListedPort& port : ports) {
    scan.items.push_back(port.name);
    scan.descriptions.push_back(DescribePort(port.identity));
  }
  scan.foundAny = !scan.items.empty();
  if (scan.foundAny) {
    scan.selected = 0;
  } else {
    for (int n = 1; n <= 9; ++n) {
      scan.items.push_back("COM" + std::to_string(n));
      scan.descriptions.emplace_back();
    }
  }
  return scan;
}

PortScan ScanPorts(PortDiscovery& discovery) { return ScanOf(discovery.Ports()); }

}  // namespace velmora
