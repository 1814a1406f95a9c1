#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "serial/device_directories.h"

namespace velmora {

// The system's list of serial ports, in the order the system gives them.
class PortDiscovery {
 public:
  virtual ~PortDiscovery() = default;
  virtual std::vector<std::string> PortNames() = 0;
};

// The discovery of this platform (sysfs on Linux, the registry on Windows).
std::unique_ptr<PortDiscovery> CreatePortDiscovery(const DeviceDirectories& directories = {});

// What the port combo box holds after a scan.
struct PortScan {
  std::vector<std::string> items;
  int selected = -1;      // -1: nothing selected, the text stays empty
  bool foundAny = false;  // false: the fallback list; tell the user unless silent
};

// Found ports as they come, first selected; none: "COM1".."COM9", none selected.
PortScan ScanPorts(PortDiscovery& discovery);

}  // namespace velmora
