#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/bytes.h"
#include "serial/device_directories.h"
#include "serial/port_identity.h"

namespace velmora {

// The system's list of serial ports, in the order the system gives them,
// and who each port is where the system tells (sysfs on Linux; the registry
// on Windows gives names only, and every port stays unknown).
class PortDiscovery {
 public:
  virtual ~PortDiscovery() = default;
  virtual std::vector<std::string> PortNames() = 0;
  // The ports of PortNames with their identities.
  virtual std::vector<ListedPort> Ports();
  // Who is under a name as the port box holds it ("USB0", a path, a
  // /dev/serial/by-id/... link), now.
  virtual PortIdentity IdentityOf(const std::string& name);
};

// The discovery of this platform (sysfs on Linux, the registry on Windows).
std::unique_ptr<PortDiscovery> CreatePortDiscovery(const DeviceDirectories& directories = {});

// What the port combo box holds after a scan.
struct PortScan {
  std::vector<std::string> items;
  std::vector<Bytes> descriptions;  // one for each item; empty: nothing known
  int selected = -1;                // -1: nothing selected, the text stays empty
  bool foundAny = false;            // false: the fallback list; tell the user unless silent
};

// Found ports as they come, first selected; none: "COM1".."COM9", none selected.
PortScan ScanPorts(PortDiscovery& discovery);
// The same from a list already read.
PortScan ScanOf(const std::vector<ListedPort>& ports);

}  // namespace velmora
