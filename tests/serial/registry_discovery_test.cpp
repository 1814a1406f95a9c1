// The registry's list of serial ports on Windows, with a COM port that Wine
// maps to a pseudo-terminal played by the Linux device driver.

#include <gtest/gtest.h>

#include <algorithm>

#include "serial/port_discovery.h"
#include "test_device.h"

namespace velmora {
namespace {

TEST(RegistryPortDiscovery, ListsTheMappedComPortByItsName) {
  const auto device = testing::PlugTestDevice();
  ASSERT_NE(device, nullptr);
  const auto names = CreatePortDiscovery()->PortNames();
  EXPECT_NE(std::find(names.begin(), names.end(), device->PortName()), names.end())
      << "listed: " << ::testing::PrintToString(names);
  const PortScan scan = [] {
    auto discovery = CreatePortDiscovery();
    return ScanPorts(*discovery);
  }();
  EXPECT_TRUE(scan.foundAny);
  EXPECT_EQ(scan.selected, 0);
}

}  // namespace
}  // namespace velmora
