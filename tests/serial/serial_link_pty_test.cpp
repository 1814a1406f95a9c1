// The port layer through the real kernel tty driver: SerialLink on the
// termios backend, the simulated device on the other end.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "port_waiting.h"
#include "pty_device.h"
#include "serial/line_time.h"
#include "serial/serial_link.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

int OpenDescriptorCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

devsim::DeviceOptions Playing(devsim::Mode mode) {
  devsim::DeviceOptions options;
  options.mode = mode;
  return options;
}

class PtyLink : public ::testing::Test {
 protected:
  void Plug(devsim::DeviceOptions options) {
    device = std::make_unique<devsim::PtyDevice>(std::move(options));
  }
  SerialLink NewLink() {
    return SerialLink([] { return CreateSerialPort(); }, [this](int ms) { waits.push_back(ms); });
  }
  PortRequest Request(std::uint32_t baud = 9600, std::uint8_t bits = 8, int stopItem = 0) const {
    return PortRequest{device->PortName(), baud, bits, stopItem};
  }
  SerialError Write(const std::string& bytes) {
    return link.Port().Write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::string ReadWaiting() {
    std::uint32_t waiting = 0;
    EXPECT_EQ(link.Port().BytesWaiting(waiting), SerialError::None);
    std::string bytes(waiting, '\0');
    SerialError error = SerialError::None;
    bytes.resize(link.Port().Read(reinterpret_cast<std::uint8_t*>(bytes.data()), waiting, error));
    EXPECT_EQ(error, SerialError::None);
    return bytes;
  }

  std::unique_ptr<devsim::PtyDevice> device;
  std::vector<int> waits;
  SerialLink link = NewLink();
};

struct FrameRow {
  std::uint32_t baud;
  std::uint8_t dataBits;
  int stopItem;
  speed_t speed;
};

// "Baud9600Bits5StopOneAndAHalf": what the case asks of the port, so that
// ctest names a failing row.
std::string FrameName(const ::testing::TestParamInfo<FrameRow>& tested) {
  static const char* const kStops[] = {"One", "OneAndAHalf", "Two"};
  const FrameRow& row = tested.param;
  return "Baud" + std::to_string(row.baud) + "Bits" + std::to_string(row.dataBits) + "Stop" +
         kStops[row.stopItem];
}

void PrintTo(const FrameRow& row, std::ostream* out) {
  *out << row.baud << " baud, " << int(row.dataBits) << " data bits, stop item " << row.stopItem;
}

class AcceptedFrameOnPty : public PtyLink, public ::testing::WithParamInterface<FrameRow> {};

TEST_P(AcceptedFrameOnPty, ConnectsAndTheDeviceSeesTheLine) {
  const FrameRow row = GetParam();
  Plug(Playing(devsim::Mode::Silent));
  ASSERT_EQ(link.OpenPort(Request(row.baud, row.dataBits, row.stopItem)), OpenResult::Opened);
  EXPECT_TRUE(link.PortOpen());
  EXPECT_EQ(waits, std::vector<int>{5});

  const auto seen = device->LineSettings();
  ASSERT_TRUE(seen.has_value());
  EXPECT_EQ(cfgetospeed(&*seen), row.speed);
  EXPECT_EQ(cfgetispeed(&*seen), row.speed);
  EXPECT_EQ((seen->c_cflag & CSTOPB) != 0, row.stopItem != 0);
  // A pseudo-terminal carries whole bytes: its driver always reports CS8.
  EXPECT_EQ(seen->c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(seen->c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  EXPECT_EQ(seen->c_cflag & (CRTSCTS | PARENB), 0u);
  EXPECT_EQ(seen->c_iflag & (IXON | IXOFF | ICRNL), 0u);
  EXPECT_EQ(seen->c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(seen->c_oflag & OPOST, 0u);

  link.ClosePort();
  EXPECT_FALSE(link.PortOpen());
  EXPECT_FALSE(link.Port().IsValid());
}

INSTANTIATE_TEST_SUITE_P(
    EveryDataBitsAndStopBitsTheDriverTakes, AcceptedFrameOnPty,
    ::testing::Values(FrameRow{1200, 5, 0, B1200}, FrameRow{9600, 5, 1, B9600},
                      FrameRow{19200, 6, 0, B19200}, FrameRow{38400, 6, 2, B38400},
                      FrameRow{57600, 7, 0, B57600}, FrameRow{115200, 7, 2, B115200},
                      FrameRow{2400, 8, 0, B2400}, FrameRow{4800, 8, 2, B4800}),
    FrameName);

class RefusedFrameOnPty : public PtyLink, public ::testing::WithParamInterface<FrameRow> {};

TEST_P(RefusedFrameOnPty, FailsAndTheRetryWithGoodSettingsClosesTheLeftHandle) {
  const FrameRow row = GetParam();
  Plug(Playing(devsim::Mode::Silent));
  const int before = OpenDescriptorCount();

  EXPECT_EQ(link.OpenPort(Request(row.baud, row.dataBits, row.stopItem)),
            OpenResult::SettingsRefused);
  EXPECT_FALSE(link.PortOpen());
  EXPECT_EQ(link.LastError(), SerialError::SettingsRefused);
  EXPECT_EQ(OpenDescriptorCount(), before + 1) << "the refused handle stays open until a retry";

  EXPECT_EQ(link.OpenPort(Request(9600, 8, 0)), OpenResult::Opened);
  EXPECT_EQ(OpenDescriptorCount(), before + 1) << "the retry must close the refused handle";
  link.ClosePort();
  EXPECT_EQ(OpenDescriptorCount(), before);
}

INSTANTIATE_TEST_SUITE_P(OneAndAHalfWithMoreThanFiveOrTwoWithFive, RefusedFrameOnPty,
                         ::testing::Values(FrameRow{9600, 6, 1, B9600}, FrameRow{9600, 7, 1, B9600},
                                           FrameRow{9600, 8, 1, B9600},
                                           FrameRow{9600, 5, 2, B9600}),
                         FrameName);

TEST_F(PtyLink, RefusesAPortAnotherVelmoraHolds) {
  Plug(Playing(devsim::Mode::Silent));
  ASSERT_EQ(link.OpenPort(Request()), OpenResult::Opened);

  SerialLink other = NewLink();
  EXPECT_EQ(other.OpenPort(Request()), OpenResult::OpenFailed);
  EXPECT_EQ(other.LastError(), SerialError::InUse);
  EXPECT_FALSE(other.Port().IsValid());

  link.ClosePort();
  EXPECT_EQ(other.OpenPort(Request()), OpenResult::Opened) << "closing releases the port";
  other.ClosePort();
}

TEST_F(PtyLink, AnEmptyNameFailsWithoutOpening) {
  EXPECT_EQ(link.OpenPort(PortRequest{"", 9600, 8, 0}), OpenResult::EmptyName);
  EXPECT_FALSE(link.PortOpen());
  EXPECT_FALSE(link.Port().IsValid());
}

TEST_F(PtyLink, NamesThatAreNoPortFailToOpen) {
  const fs::path plainFile =
      fs::temp_directory_path() / ("velmora-plain-" + std::to_string(getpid()));
  std::ofstream(plainFile) << "not a tty";
  const std::pair<std::string, SerialError> rows[] = {
      {"/dev/velmora-no-such-port", SerialError::NotFound},
      {"COM1", SerialError::NotFound},
      {plainFile.string(), SerialError::InvalidName},
  };
  for (const auto& [name, error] : rows) {
    EXPECT_EQ(link.OpenPort(PortRequest{name, 9600, 8, 0}), OpenResult::OpenFailed) << name;
    EXPECT_EQ(link.LastError(), error) << name;
    EXPECT_FALSE(link.Port().IsValid()) << name;
  }
  fs::remove(plainFile);
}

// The name goes to open() as it is: blanks, quotes and shell characters are
// no syntax anywhere, so a port linked under such a name opens, and a name
// that would run a command in a shell runs nothing.
TEST_F(PtyLink, APortNameWithBlanksQuotesAndShellCharactersIsUsedAsItIs) {
  const fs::path dir = fs::temp_directory_path() / ("velmora-odd-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string odd = (dir / "my port 'A' \"B\" $(x);`y`|&*?").string();
  devsim::DeviceOptions options = Playing(devsim::Mode::Echo);
  options.linkPath = odd;
  Plug(options);
  ASSERT_EQ(link.OpenPort(PortRequest{odd, 9600, 8, 0}), OpenResult::Opened);
  ASSERT_EQ(Write("ping"), SerialError::None);
  link.ClosePort();

  const std::string injected = "/dev/null; touch " + (dir / "ran").string();
  EXPECT_EQ(link.OpenPort(PortRequest{injected, 9600, 8, 0}), OpenResult::OpenFailed);
  EXPECT_FALSE(fs::exists(dir / "ran"));
  device.reset();
  fs::remove_all(dir);
}

TEST_F(PtyLink, AValueThatIsNoItemTouchesNothing) {
  Plug(Playing(devsim::Mode::Silent));
  ASSERT_EQ(link.OpenPort(Request()), OpenResult::Opened);
  PortRequest typed = Request();
  typed.dataBits.reset();
  EXPECT_EQ(link.OpenPort(typed), OpenResult::NoSelection);
  EXPECT_TRUE(link.PortOpen());
  EXPECT_TRUE(link.Port().IsValid());
  EXPECT_EQ(waits, std::vector<int>{5}) << "only the first connect waited";
}

TEST_F(PtyLink, TheDeviceReceivesEveryByteValueExactly) {
  Plug(Playing(devsim::Mode::Silent));
  ASSERT_EQ(link.OpenPort(Request(115200)), OpenResult::Opened);
  std::string packet;
  for (int value = 0; value < 256; ++value) packet += static_cast<char>(value);
  packet += "\r\n\r";
  EXPECT_EQ(Write(packet), SerialError::None);
  ASSERT_TRUE(device->WaitForReceived(packet.size(), 5s));
  EXPECT_EQ(device->Received(), packet);
}

// Every send purges the port first. On a pseudo-terminal the bytes of the
// previous packet already stand in the device's input, unread; they must
// survive the purge, as bytes that left a real port's wire do.
TEST_F(PtyLink, APurgeBetweenPacketsKeepsWhatThePseudoTerminalDelivered) {
  Plug(Playing(devsim::Mode::Silent));
  ASSERT_EQ(link.OpenPort(Request(115200)), OpenResult::Opened);
  std::string sent;
  for (int i = 0; i < 200; ++i) {
    const std::string packet = "packet " + std::to_string(i) + "\r";
    EXPECT_EQ(link.Port().Purge(), SerialError::None);
    EXPECT_EQ(Write(packet), SerialError::None);
    sent += packet;
  }
  ASSERT_TRUE(device->WaitForReceived(sent.size(), 5s)) << device->Received().size();
  EXPECT_EQ(device->Received(), sent);
}

TEST_F(PtyLink, ADeviceThatNeverReadsHoldsABigWriteOnlyUntilTheBound) {
  Plug(Playing(devsim::Mode::Deaf));
  ASSERT_EQ(link.OpenPort(Request(921600)), OpenResult::Opened);
  // Far more than the pseudo-terminal buffers (about 20 KiB).
  const std::string packet(64 * 1024, 'A');
  const auto bound = std::chrono::milliseconds(WriteBoundMs(link.Settings(), packet.size()));

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Write(packet), SerialError::TimedOut);
  const auto elapsed = std::chrono::steady_clock::now() - start;

  EXPECT_LT(elapsed, bound + 3s);
  EXPECT_TRUE(link.PortOpen());
}

TEST_F(PtyLink, AnUnpluggedDeviceFailsEveryOperationQuickly) {
  const fs::path linkPath =
      fs::temp_directory_path() / ("velmora-ttyTEST-" + std::to_string(getpid()));
  devsim::DeviceOptions options = Playing(devsim::Mode::Echo);
  options.linkPath = linkPath.string();
  Plug(options);
  ASSERT_EQ(link.OpenPort(Request()), OpenResult::Opened);

  device->Unplug();
  EXPECT_FALSE(fs::exists(fs::symlink_status(linkPath)));
  std::uint32_t waiting = 0;
  std::uint8_t buffer[16];
  SerialError error = SerialError::None;
  EXPECT_EQ(link.Port().BytesWaiting(waiting), SerialError::DeviceRemoved);
  EXPECT_EQ(link.Port().Read(buffer, sizeof buffer, error), 0u);
  EXPECT_EQ(error, SerialError::DeviceRemoved);
  EXPECT_EQ(link.Port().Apply(link.Settings()), SerialError::DeviceRemoved);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Write("ping\r"), SerialError::DeviceRemoved);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_TRUE(link.PortOpen()) << "nothing closes a vanished port by itself";

  link.ClosePort();
  device->PlugBack();
  ASSERT_EQ(link.OpenPort(Request()), OpenResult::Opened) << "the same name works again";
  EXPECT_EQ(Write("ping\r"), SerialError::None);
  ASSERT_TRUE(testing::WaitForWaiting(link.Port(), 5));
  EXPECT_EQ(ReadWaiting(), "ping\r");
  link.ClosePort();
}

TEST_F(PtyLink, AScriptedDeviceAnswersAKnownLine) {
  devsim::DeviceOptions options = Playing(devsim::Mode::Script);
  options.script = {{"ver", "V1.10\r\n", 20}, {"other", "no", 0}};
  Plug(options);
  ASSERT_EQ(link.OpenPort(Request()), OpenResult::Opened);
  EXPECT_EQ(Write("ver\r"), SerialError::None);
  ASSERT_TRUE(testing::WaitForWaiting(link.Port(), 7));
  EXPECT_EQ(ReadWaiting(), "V1.10\r\n");
}

TEST_F(PtyLink, AFloodArrivesWholeAndInOrder) {
  devsim::DeviceOptions options = Playing(devsim::Mode::Flood);
  options.floodBytes = 50'000;
  Plug(options);
  ASSERT_EQ(link.OpenPort(Request(115200)), OpenResult::Opened);
  EXPECT_EQ(Write("go\r"), SerialError::None);
  std::string received;
  while (received.size() < options.floodBytes && testing::WaitForWaiting(link.Port(), 1)) {
    received += ReadWaiting();
  }
  EXPECT_EQ(received, devsim::FloodBytes(options.floodBytes, false));
}

TEST(DeviceScript, ReadsRequestReplyAndDelayWithEscapes) {
  std::istringstream file(
      "# comment\n"
      "ver\tV1.10\\r\\n\t250\n"
      "\n"
      "\\x02STATUS\\x03\tOK\\tREADY\\x0D\r\n"
      "ping\tpong\n");
  const auto script = devsim::ParseScript(file);
  ASSERT_EQ(script.size(), 3u);
  EXPECT_EQ(script[0].request, "ver");
  EXPECT_EQ(script[0].reply, "V1.10\r\n");
  EXPECT_EQ(script[0].delayMs, 250);
  EXPECT_EQ(script[1].request, "\x02STATUS\x03");
  EXPECT_EQ(script[1].reply, "OK\tREADY\r");
  EXPECT_EQ(script[1].delayMs, 0);
  EXPECT_EQ(script[2].reply, "pong");
}

TEST(DeviceScript, RefusesALineWithoutAReply) {
  std::istringstream file("ver\n");
  EXPECT_THROW(devsim::ParseScript(file), std::runtime_error);
}

TEST(DeviceFlood, TextLinesAreNumberedAndCut) {
  EXPECT_EQ(devsim::FloodBytes(60, true),
            "0000001 The quick brown fox jumps over the lazy dog\r\n0000002");
}

}  // namespace
}  // namespace velmora
