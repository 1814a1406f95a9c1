#include "serial/sysfs_port_discovery.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
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

std::vector<ListedPort> ListSerialPortsWithIdentities(const fs::path& sysClassTty,
                                                      const fs::path& devDir) {
  std::vector<ListedPort> shortPorts;
  std::vector<ListedPort> ports;  // the other ttys, as paths
  const std::vector<std::string> hardware = ListHardwarePorts(sysClassTty, devDir);
  for (const auto& name : hardware) {
    ListedPort port{ListedPortName(name, devDir.string()), ReadTtyIdentity(sysClassTty, name)};
    (IsShortPortName(port.name) ? shortPorts : ports).push_back(std::move(port));
  }
  std::stable_sort(
      shortPorts.begin(), shortPorts.end(),
      [](const ListedPort& a, const ListedPort& b) { return NaturalLess(a.name, b.name); });
  ports.insert(ports.begin(), std::make_move_iterator(shortPorts.begin()),
               std::make_move_iterator(shortPorts.end()));
  for (const auto& name : ListPseudoTerminalLinks(devDir)) {
    if (std::find(hardware.begin(), hardware.end(), name) != hardware.end()) continue;
    ports.push_back({(devDir / name).string(), IdentityOfKind(PortKind::PseudoTerminal)});
  }
  return ports;
}

std::vector<std::string> ListSerialPorts(const fs::path& sysClassTty, const fs::path& devDir) {
  std::vector<std::string> names;
  for (ListedPort& port : ListSerialPortsWithIdentities(sysClassTty, devDir)) {
    names.push_back(std::move(port.name));
  }
  return names;
}

namespace {

// One attribute line of sysfs without its line end; empty when missing. USB
// strings are at most 126 characters; more is never read.
std::string ReadAttribute(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  std::string text(512, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

bool IsFile(const fs::path& file) {
  std::error_code error;
  return fs::is_regular_file(file, error);
}

// How far above a tty's device its USB device may be: the tty's own device
// (ttyUSB0), the interface (1-2:1.0), the device (1-2), and room for more.
constexpr int kMaxLevelsToUsbDevice = 8;

// Links followed one by one before the rest is left to the system.
constexpr int kMaxLinkHops = 8;

bool IsPseudoTerminalPath(const fs::path& path) {
  return path.parent_path().filename() == "pts" && AllDigits(path.filename().string());
}

}  // namespace

PortIdentity ReadTtyIdentity(const fs::path& sysClassTty, const std::string& kernelName) {
  std::error_code error;
  const fs::path link = sysClassTty / kernelName / "device";
  if (!fs::exists(fs::symlink_status(link, error))) return {};
  fs::path dir = fs::canonical(link, error);
  if (error) return {};
  fs::path below;
  for (int level = 0; level < kMaxLevelsToUsbDevice; ++level) {
    if (IsFile(dir / "idVendor") && IsFile(dir / "idProduct")) {
      PortIdentity identity;
      identity.kind = PortKind::Usb;
      identity.vendorId = ReadAttribute(dir / "idVendor");
      identity.productId = ReadAttribute(dir / "idProduct");
      identity.manufacturer = ReadAttribute(dir / "manufacturer");
      identity.product = ReadAttribute(dir / "product");
      identity.serial = ReadAttribute(dir / "serial");
      identity.usbPath = dir.filename().string();
      const std::string interfaceDir = below.filename().string();
      const std::size_t colon = interfaceDir.rfind(':');
      if (colon != std::string::npos) identity.usbInterface = interfaceDir.substr(colon + 1);
      return identity;
    }
    if (dir == dir.parent_path()) break;
    below = dir;
    dir = dir.parent_path();
  }
  return IdentityOfKind(PortKind::BuiltIn);
}

PortIdentity IdentityOfPort(const std::string& name, const DeviceDirectories& directories) {
  const std::string path = DevicePathOf(name, directories.dev);
  if (path.empty()) return {};
  std::error_code error;
  const fs::path node = fs::path(path).lexically_normal();
  if (!fs::exists(node, error)) return {};
  const fs::path sys(directories.sysClassTty);
  const auto isTtyOfClass = [&](const fs::path& file) {
    return !file.filename().empty() && fs::exists(fs::symlink_status(sys / file.filename(), error));
  };
  const fs::path dev = fs::path(directories.dev).lexically_normal();
  // Link by link, so that a tty's node that is itself a link (a test's
  // device directory) still counts as the tty.
  fs::path hop = node;
  for (int hops = 0; hops < kMaxLinkHops; ++hops) {
    if (hop.parent_path() == dev && isTtyOfClass(hop)) {
      return ReadTtyIdentity(sys, hop.filename().string());
    }
    if (!fs::is_symlink(hop, error)) break;
    const fs::path next = fs::read_symlink(hop, error);
    if (error) return {};
    hop = (next.is_absolute() ? next : hop.parent_path() / next).lexically_normal();
  }
  const fs::path target = fs::canonical(node, error);
  if (error) return {};
  const fs::path realDev = fs::canonical(dev, error);
  if (!error && target.parent_path() == realDev && isTtyOfClass(target)) {
    return ReadTtyIdentity(sys, target.filename().string());
  }
  if (IsPseudoTerminalPath(target)) return IdentityOfKind(PortKind::PseudoTerminal);
  return {};
}

namespace {

class SysfsPortDiscovery final : public PortDiscovery {
 public:
  explicit SysfsPortDiscovery(DeviceDirectories directories)
      : directories_(std::move(directories)) {}
  std::vector<std::string> PortNames() override {
    return ListSerialPorts(directories_.sysClassTty, directories_.dev);
  }
  std::vector<ListedPort> Ports() override {
    return ListSerialPortsWithIdentities(directories_.sysClassTty, directories_.dev);
  }
  PortIdentity IdentityOf(const std::string& name) override {
    return IdentityOfPort(name, directories_);
  }

 private:
  DeviceDirectories directories_;
};

}  // namespace

std::unique_ptr<PortDiscovery> CreatePortDiscovery(const DeviceDirectories& directories) {
  return std::make_unique<SysfsPortDiscovery>(directories);
}

}  // namespace velmora
