// The sysfs port list: a made-up /sys/class/tty and /dev built from the
// input in a scratch directory, listed, and compared with what the rules
// say it must give.

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "serial/sysfs_port_discovery.h"
#include "targets.h"

namespace velmora::fuzz {
namespace {

namespace fs = std::filesystem;

// One scratch directory a process, under TMPDIR (fuzz/run.sh points it to
// memory and removes it afterwards: libFuzzer may end without atexit).
const fs::path& ScratchRoot() {
  // Never destroyed, so that the handler at exit can still name it.
  static const fs::path* const root = [] {
    std::string pattern = (fs::temp_directory_path() / "velmora-fuzz-ports-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(ScratchRoot(), ignored);
    });
    return new fs::path(pattern);
  }();
  return *root;
}

class Reader {
 public:
  explicit Reader(std::string_view input) : input_(input) {}
  bool Empty() const { return input_.empty(); }
  std::uint8_t Byte() {
    if (input_.empty()) return 0;
    const auto byte = static_cast<std::uint8_t>(input_[0]);
    input_.remove_prefix(1);
    return byte;
  }
  std::string Raw(std::size_t count) {
    const std::string bytes(input_.substr(0, count));
    input_.remove_prefix(bytes.size());
    return bytes;
  }
  // A file name of 1..12 characters of letters, digits, "_", "-" and ".".
  std::string Name() {
    static constexpr std::string_view kCharacters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.";
    std::string name;
    const std::size_t length = Byte() % 12 + 1;
    for (std::size_t i = 0; i < length; ++i)
      name.push_back(kCharacters[Byte() % kCharacters.size()]);
    // "." and ".." are not file names; turn the first dot into a letter.
    if (name.find_first_not_of('.') == std::string::npos) name.front() = 't';
    return name;
  }

 private:
  std::string_view input_;
};

// The UART type file of a legacy port with no chip holds 0: after blanks,
// an optional sign and digits that are all zeros.
bool TypeSaysPhantom(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t digits = i;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
  return i > digits && text.find_first_not_of('0', digits) >= i;
}

void Touch(const fs::path& path, const std::string& content = {}) {
  std::ofstream(path, std::ios::binary) << content;
}

}  // namespace

void FuzzPortList(const std::uint8_t* data, std::size_t size) {
  const fs::path& root = ScratchRoot();
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(root)) fs::remove_all(entry.path(), error);
  const fs::path sys = root / "sys";
  const fs::path dev = root / "dev";
  const fs::path pts = root / "pts";
  fs::create_directory(sys);
  fs::create_directory(dev);
  fs::create_directory(pts);
  fs::create_directory(root / "other");

  std::vector<std::string> hardware;
  std::vector<std::string> links;
  Reader in(std::string_view(reinterpret_cast<const char*>(data), size));
  for (int entries = 0; entries < 12 && !in.Empty(); ++entries) {
    const int kind = in.Byte() % 6;
    const std::string name = in.Name();
    if (fs::exists(fs::symlink_status(sys / name)) || fs::exists(fs::symlink_status(dev / name))) {
      continue;
    }
    if (kind <= 2) {
      // A tty of the class: 0 with its hardware and node, 1 without the
      // hardware link (a virtual console), 2 without a node.
      fs::create_directory(sys / name);
      if (kind != 1) fs::create_directory_symlink("../../devices/serial0", sys / name / "device");
      if (kind != 2) Touch(dev / name);
      const std::uint8_t typeShape = in.Byte();
      std::string type;
      if ((typeShape & 1) != 0) {
        type = in.Raw(typeShape >> 1 & 7);
        Touch(sys / name / "type", type);
      }
      if (kind == 0 && !((typeShape & 1) != 0 && TypeSaysPhantom(type))) hardware.push_back(name);
      continue;
    }
    // A link in the device directory: 3 to a live pseudo-terminal, 4 to one
    // that has gone, 5 to something that is no pseudo-terminal.
    const std::uint8_t shape = in.Byte();
    const std::string number = std::to_string(shape % 20 + (kind == 4 ? 1000 : 0));
    fs::path target = (shape & 0x80) != 0 ? pts / number : fs::path("../pts") / number;
    if (kind == 3) Touch(pts / number);
    if (kind == 5) {
      const bool underOther = (shape & 0x40) != 0;
      target = underOther ? root / "other" / number : pts / ("x" + number);
      Touch(target);
    }
    fs::create_symlink(target, dev / name);
    if (kind == 3) links.push_back(name);
  }

  const std::vector<std::string> listed = ListSerialPorts(sys, dev);

  // Every expected port once: the hardware ttys whose names begin with "tty"
  // and go on by their short names ("USB0"), the other hardware ttys (and
  // "tty" alone, whose short name would be empty) as paths, then the links;
  // each part in natural order.
  std::set<std::string> shortNames;
  std::set<std::string> paths;
  for (const auto& name : hardware) {
    if (name.size() > 3 && name.rfind("tty", 0) == 0) {
      shortNames.insert(name.substr(3));
    } else {
      paths.insert((dev / name).string());
    }
  }
  std::set<std::string> linkPaths;
  for (const auto& name : links) linkPaths.insert((dev / name).string());
  FUZZ_CHECK(listed.size() == shortNames.size() + paths.size() + linkPaths.size());
  if (listed.size() != shortNames.size() + paths.size() + linkPaths.size()) return;
  const auto firstPath = listed.begin() + static_cast<std::ptrdiff_t>(shortNames.size());
  const auto firstLink = firstPath + static_cast<std::ptrdiff_t>(paths.size());
  FUZZ_CHECK(std::set<std::string>(listed.begin(), firstPath) == shortNames);
  FUZZ_CHECK(std::set<std::string>(firstPath, firstLink) == paths);
  FUZZ_CHECK(std::set<std::string>(firstLink, listed.end()) == linkPaths);

  auto named = [](const std::string& path) { return fs::path(path).filename().string(); };
  const std::pair<std::vector<std::string>::const_iterator,
                  std::vector<std::string>::const_iterator>
      parts[] = {{listed.begin(), firstPath}, {firstPath, firstLink}, {firstLink, listed.end()}};
  for (const auto& [from, to] : parts) {
    for (auto a = from; a != to; ++a) {
      for (auto b = std::next(a); b != to; ++b) {
        // Listed in order, and the order is strict and total on them.
        FUZZ_CHECK(NaturalLess(named(*a), named(*b)));
        FUZZ_CHECK(!NaturalLess(named(*b), named(*a)));
      }
      FUZZ_CHECK(!NaturalLess(named(*a), named(*a)));
    }
  }
}

}  // namespace velmora::fuzz
