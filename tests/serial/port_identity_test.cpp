// Who a port is: the drop-down's description of a device, and the rule that
// decides where the watch re-opens a lost port.

#include "serial/port_identity.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "serial/device_directories.h"

namespace velmora {
namespace {

PortIdentity Usb(std::string serial, std::string usbPath = "1-1",
                 std::string usbInterface = "1.0") {
  PortIdentity identity;
  identity.kind = PortKind::Usb;
  identity.vendorId = "0403";
  identity.productId = "6001";
  identity.manufacturer = "FTDI";
  identity.product = "FT232R USB UART";
  identity.serial = std::move(serial);
  identity.usbPath = std::move(usbPath);
  identity.usbInterface = std::move(usbInterface);
  return identity;
}

PortIdentity WithStrings(std::string manufacturer, std::string product, std::string serial) {
  PortIdentity identity = Usb(std::move(serial));
  identity.manufacturer = std::move(manufacturer);
  identity.product = std::move(product);
  return identity;
}

struct DescriptionRow {
  const char* what;
  PortIdentity identity;
  Bytes description;
};

class Description : public ::testing::TestWithParam<DescriptionRow> {};

TEST_P(Description, IsTheDropDownText) {
  EXPECT_EQ(DescribePort(GetParam().identity), GetParam().description);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Description,
    ::testing::Values(
        DescriptionRow{"UsbWithSerial", Usb("A50285BI"), "FTDI FT232R USB UART (A50285BI)"},
        DescriptionRow{"UsbWithoutSerial", Usb(""), "FTDI FT232R USB UART"},
        DescriptionRow{"OnlyAProduct", WithStrings("", "USB Serial", ""), "USB Serial"},
        DescriptionRow{"OnlyAManufacturer", WithStrings("QinHeng", "", "7"), "QinHeng (7)"},
        DescriptionRow{"NoStringsGivesTheIds", WithStrings("", "", ""), "USB 0403:6001"},
        DescriptionRow{"NoStringsWithSerial", WithStrings("", "", "X1"), "USB 0403:6001 (X1)"},
        DescriptionRow{"BuiltIn", IdentityOfKind(PortKind::BuiltIn), "built-in serial port"},
        DescriptionRow{"PseudoTerminal", IdentityOfKind(PortKind::PseudoTerminal),
                       "virtual port (pty)"},
        DescriptionRow{"UnknownHasNone", PortIdentity{}, ""},
        // UTF-8 Cyrillic becomes its 1251 bytes.
        DescriptionRow{"CyrillicInCp1251", WithStrings("\xD0\x9C\xD0\xB8\xD0\xBA", "UART", ""),
                       "\xCC\xE8\xEA UART"},
        // Characters the code page lacks, broken UTF-8 and control
        // characters become one '?' each.
        DescriptionRow{"CjkBecomesQuestionMarks", WithStrings("\xE6\x97\xA5\xE6\x9C\xAC", "X", ""),
                       "?? X"},
        DescriptionRow{"BrokenUtf8", WithStrings("A\xC3", "B\xFF\xFE", "\x80S"), "A? B?? (?S)"},
        DescriptionRow{"ControlCharacters", WithStrings("A\tB", std::string("C\0D", 3), "E\x7F"),
                       "A?B C?D (E?)"},
        DescriptionRow{"C1Control", WithStrings("A\xC2\x98", "B", ""), "A? B"}),
    [](const auto& row) { return std::string(row.param.what); });

using Action = ReopenChoice::Action;

struct ReopenRow {
  const char* what;
  PortIdentity wanted;
  PortIdentity atName;
  std::vector<ListedPort> ports;
  Action action;
  std::string name;
};

class Reopen : public ::testing::TestWithParam<ReopenRow> {};

TEST_P(Reopen, ChoosesTheNameTheDeviceIsUnder) {
  const ReopenRow& row = GetParam();
  const ReopenChoice choice = ChooseReopen(row.wanted, "USB0", row.atName, row.ports);
  EXPECT_EQ(choice.action, row.action);
  EXPECT_EQ(choice.name, row.name);
}

const PortIdentity kBuiltIn = IdentityOfKind(PortKind::BuiltIn);
const PortIdentity kPty = IdentityOfKind(PortKind::PseudoTerminal);

PortIdentity OtherIds(PortIdentity identity) {
  identity.productId = "6015";
  return identity;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Reopen,
    ::testing::Values(
        ReopenRow{"SameDeviceUnderItsName", Usb("A"), Usb("A"), {}, Action::ByName, "USB0"},
        // Two identical adapters swapped names: ours is now USB1.
        ReopenRow{"SwappedNamesFollowTheSerial",
                  Usb("A", "1-1"),
                  Usb("B", "1-2"),
                  {{"USB0", Usb("B", "1-2")}, {"USB1", Usb("A", "1-1")}},
                  Action::Elsewhere,
                  "USB1"},
        ReopenRow{"ReplugElsewhereOnTheBusKeepsTheSerial",
                  Usb("A", "1-1"),
                  {},
                  {{"USB3", Usb("A", "1-4")}},
                  Action::Elsewhere,
                  "USB3"},
        ReopenRow{"StrangerUnderTheOldNameIsRefused",
                  Usb("A"),
                  Usb("B"),
                  {{"USB0", Usb("B")}},
                  Action::Refuse,
                  ""},
        ReopenRow{"OtherIdsSameSerialIsAStranger",
                  Usb("A"),
                  OtherIds(Usb("A")),
                  {{"USB0", OtherIds(Usb("A"))}},
                  Action::Refuse,
                  ""},
        ReopenRow{"OtherInterfaceOfTheSameAdapterIsAStranger",
                  Usb("A", "1-1", "1.0"),
                  {},
                  {{"USB1", Usb("A", "1-1", "1.1")}},
                  Action::Refuse,
                  ""},
        ReopenRow{"AbsentEverywhereIsRefused", Usb("A"), {}, {}, Action::Refuse, ""},
        ReopenRow{"TwoWithOneSerialCannotBeToldApart",
                  Usb("A"),
                  {},
                  {{"USB1", Usb("A", "1-2")}, {"USB2", Usb("A", "1-3")}},
                  Action::Refuse,
                  ""},
        ReopenRow{"WithoutSerialTheSamePlaceOnTheBus",
                  Usb("", "1-3"),
                  {},
                  {{"USB0", Usb("", "1-1")}, {"USB5", Usb("", "1-3")}},
                  Action::Elsewhere,
                  "USB5"},
        ReopenRow{"WithoutSerialAnotherPlaceIsAStranger",
                  Usb("", "1-3"),
                  Usb("", "1-1"),
                  {{"USB0", Usb("", "1-1")}},
                  Action::Refuse,
                  ""},
        ReopenRow{"WithoutSerialOrPlaceNothingToFollow",
                  Usb("", ""),
                  Usb("B"),
                  {},
                  Action::ByName,
                  "USB0"},
        ReopenRow{"ASerialNeverMatchesOneWithout",
                  Usb("", "1-1"),
                  {},
                  {{"USB1", Usb("A", "1-1")}},
                  Action::Refuse,
                  ""},
        ReopenRow{"BuiltInGoesByName", kBuiltIn, Usb("B"), {}, Action::ByName, "USB0"},
        ReopenRow{"PseudoTerminalGoesByName", kPty, {}, {}, Action::ByName, "USB0"},
        ReopenRow{"UnknownGoesByName", PortIdentity{}, Usb("B"), {}, Action::ByName, "USB0"},
        // The name's identity and the list disagree: a device coming or going.
        ReopenRow{"ReadsThatDisagreeWaitForTheNextTick",
                  Usb("A"),
                  {},
                  {{"USB0", Usb("A")}},
                  Action::Refuse,
                  ""}),
    [](const auto& row) { return std::string(row.param.what); });

TEST(CanFollow, NeedsUsbIdsAndASerialOrAPlace) {
  EXPECT_TRUE(CanFollow(Usb("A", "")));
  EXPECT_TRUE(CanFollow(Usb("", "1-1")));
  EXPECT_FALSE(CanFollow(Usb("", "")));
  PortIdentity noIds = Usb("A");
  noIds.vendorId.clear();
  EXPECT_FALSE(CanFollow(noIds));
  EXPECT_FALSE(CanFollow(kBuiltIn));
  EXPECT_FALSE(CanFollow(kPty));
  EXPECT_FALSE(CanFollow(PortIdentity{}));
}

struct DirectoriesRow {
  const char* what;
  std::map<std::string, std::string> environment;
  std::string sysClassTty;
  std::string dev;
};

class EnvironmentDirectories : public ::testing::TestWithParam<DirectoriesRow> {};

TEST_P(EnvironmentDirectories, ReplaceTheSystemsOnlyWhenSet) {
  const auto& environment = GetParam().environment;
  const DeviceDirectories directories = DeviceDirectoriesFrom([&](const char* name) {
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
  });
  EXPECT_EQ(directories.sysClassTty, GetParam().sysClassTty);
  EXPECT_EQ(directories.dev, GetParam().dev);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EnvironmentDirectories,
    ::testing::Values(
        DirectoriesRow{"Unset", {}, "/sys/class/tty", "/dev"},
        DirectoriesRow{"Empty",
                       {{"VELMORA_SYSFS_ROOT", ""}, {"VELMORA_DEV_DIR", ""}},
                       "/sys/class/tty",
                       "/dev"},
        DirectoriesRow{"Both",
                       {{"VELMORA_SYSFS_ROOT", "/tmp/f/sys"}, {"VELMORA_DEV_DIR", "/tmp/f/dev"}},
                       "/tmp/f/sys/class/tty",
                       "/tmp/f/dev"},
        DirectoriesRow{"TrailingSlashes",
                       {{"VELMORA_SYSFS_ROOT", "/tmp/f/sys//"}, {"VELMORA_DEV_DIR", "/tmp/d/"}},
                       "/tmp/f/sys/class/tty",
                       "/tmp/d"},
        DirectoriesRow{"RootItself", {{"VELMORA_SYSFS_ROOT", "/"}}, "/class/tty", "/dev"}),
    [](const auto& row) { return std::string(row.param.what); });

}  // namespace
}  // namespace velmora
