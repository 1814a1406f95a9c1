#include "serial/sysfs_port_discovery.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>
#include <utility>

#include "serial/port_discovery.h"
#include "serial/port_names.h"

namespace velmora {

namespace {

namespace fs = std::filesystem;

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

bool AllDigits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

// /sys/class/tty/ttyS1/type holds the UART type as a decimal line: "0\n" is
// PORT_UNKNOWN, a port the kernel reserves whether or not a chip answers.
bool IsPhantomUart(const fs::path& ttyDir) {
  std::ifstream type(ttyDir / "type");
  int value = -1;
  return type >> value && value == 0;
}

// /sys/class/tty/ttyUSB0 -> ../../devices/pci0000:00/.../ttyUSB0/tty/ttyUSB0,
// whose `device` link leads to the hardware; virtual ttys (tty0, console,
// ptmx) have none.
std::vector<std::string> ListHardwarePorts(const fs::path& sysClassTty, const fs::path& devDir) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(sysClassTty, error)) {
    const fs::path ttyDir = entry.path();
    const std::string name = ttyDir.filename().string();
    if (!fs::exists(fs::symlink_status(ttyDir / "device", error))) continue;
    if (IsPhantomUart(ttyDir)) continue;
    if (!fs::exists(devDir / name, error)) continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  return names;
}

// /dev/ttyVIRT0 -> /dev/pts/3 (absolute or relative to the device directory).
std::vector<std::string> ListPseudoTerminalLinks(const fs::path& devDir) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(devDir, error)) {
    if (!entry.is_symlink(error)) continue;
    const fs::path target = fs::read_symlink(entry.path(), error);
    if (error) continue;
    if (target.parent_path().filename() != "pts" || !AllDigits(target.filename().string())) {
      continue;
    }
    // A link whose pseudo-terminal has gone (its tool ended) is no port.
    if (!fs::exists(entry.path(), error)) continue;
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  return names;
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      const std::size_t startA = i;
      const std::size_t startB = j;
      while (i < a.size() && IsDigit(a[i])) ++i;
      while (j < b.size() && IsDigit(b[j])) ++j;
      std::string_view numberA = a.substr(startA, i - startA);
      std::string_view numberB = b.substr(startB, j - startB);
      numberA.remove_prefix(std::min(numberA.find_first_not_of('0'), numberA.size()));
      numberB.remove_prefix(std::min(numberB.find_first_not_of('0'), numberB.size()));
      if (numberA.size() != numberB.size()) return numberA.size() < numberB.size();
      if (numberA != numberB) return numberA < numberB;
      continue;
    }
    if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    ++i;
    ++j;
  }
  if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
  return a < b;
}

std::vector<std::string> ListSerialPorts(const fs::path& sysClassTty, const fs::path& devDir) {
  std::vector<std::string> shortNames;
  std::vector<std::string> ports;  // the other ttys, as paths
  for (const auto& name : ListHardwarePorts(sysClassTty, devDir)) {
    std::string listed = ListedPortName(name, devDir.string());
    (IsShortPortName(listed) ? shortNames : ports).push_back(std::move(listed));
  }
  std::sort(shortNames.begin(), shortNames.end(), NaturalLess);
  ports.insert(ports.begin(), shortNames.begin(), shortNames.end());
  for (const auto& name : ListPseudoTerminalLinks(devDir)) {
    ports.push_back((devDir / name).string());
  }
  return ports;
}

namespace {

class SysfsPortDiscovery final : public PortDiscovery {
 public:
  explicit SysfsPortDiscovery(DeviceDirectories directories)
      : directories_(std::move(directories)) {}
  std::vector<std::string> PortNames() override {
    return ListSerialPorts(directories_.sysClassTty, directories_.dev);
  }

 private:
  DeviceDirectories directories_;
};

}  // namespace

std::unique_ptr<PortDiscovery> CreatePortDiscovery(const DeviceDirectories& directories) {
  return std::make_unique<SysfsPortDiscovery>(directories);
}

}  // namespace velmora
