#include "serial/termios_settings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>

#include "serial/line_time.h"
#include "serial/posix_errors.h"

namespace velmora {
namespace {

struct FrameRow {
  std::uint8_t dataBits;
  std::uint8_t stopBits;
  tcflag_t size;
};

const char* StopName(std::uint8_t stopBits) {
  static const char* const kStops[] = {"One", "OneAndAHalf", "Two"};
  return stopBits < 3 ? kStops[stopBits] : "Unknown";
}

void PrintTo(const FrameRow& row, std::ostream* out) {
  *out << int(row.dataBits) << " data bits, " << StopName(row.stopBits) << " stop bit";
}

using FrameAndRate = std::tuple<FrameRow, std::uint32_t>;

class AcceptedFrame : public ::testing::TestWithParam<FrameAndRate> {};

std::string FrameAndRateName(const ::testing::TestParamInfo<FrameAndRate>& tested) {
  const auto& [row, baud] = tested.param;
  return "Baud" + std::to_string(baud) + "Bits" + std::to_string(row.dataBits) + "Stop" +
         StopName(row.stopBits);
}

TEST_P(AcceptedFrame, FillsARawRecordWithTheFrameAndSpeed) {
  const auto [row, baud] = GetParam();
  termios tio{};
  ASSERT_EQ(FillTermios({baud, row.dataBits, 0, row.stopBits}, tio), SerialError::None);

  EXPECT_EQ(tio.c_cflag & CSIZE, row.size);
  EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, row.stopBits != 0);
  EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), CLOCAL | CREAD);
  EXPECT_EQ(tio.c_cflag & (PARENB | CRTSCTS | HUPCL), 0u);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP), 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(tio.c_cc[VMIN], 0);
  EXPECT_EQ(tio.c_cc[VTIME], 0);
  EXPECT_EQ(cfgetispeed(&tio), *SpeedOfBaudRate(baud));
  EXPECT_EQ(cfgetospeed(&tio), *SpeedOfBaudRate(baud));
}

// One and a half stop bits only with 5 data bits; two stop bits not with 5.
INSTANTIATE_TEST_SUITE_P(
    FramesTheWindowsDriverTakes, AcceptedFrame,
    ::testing::Combine(::testing::Values(FrameRow{5, 0, CS5}, FrameRow{5, 1, CS5},
                                         FrameRow{6, 0, CS6}, FrameRow{6, 2, CS6},
                                         FrameRow{7, 0, CS7}, FrameRow{7, 2, CS7},
                                         FrameRow{8, 0, CS8}, FrameRow{8, 2, CS8}),
                       ::testing::Values(1200u, 9600u, 115200u)),
    FrameAndRateName);

// Every rate of the speed table against its termios constant, written out
// here rather than taken from the table under test.
struct SpeedRow {
  std::uint32_t baud;
  speed_t speed;
};

void PrintTo(const SpeedRow& row, std::ostream* out) { *out << row.baud << " baud"; }

class BaudRateSpeed : public ::testing::TestWithParam<SpeedRow> {};

TEST_P(BaudRateSpeed, IsTheTermiosConstantOfTheRateBothWays) {
  const SpeedRow row = GetParam();
  EXPECT_EQ(SpeedOfBaudRate(row.baud), std::optional<speed_t>(row.speed));
  termios tio{};
  ASSERT_EQ(FillTermios({row.baud, 8, 0, 0}, tio), SerialError::None);
  EXPECT_EQ(cfgetispeed(&tio), row.speed);
  EXPECT_EQ(cfgetospeed(&tio), row.speed);
}

INSTANTIATE_TEST_SUITE_P(EveryRateOfTheTable, BaudRateSpeed,
                         ::testing::Values(SpeedRow{110, B110}, SpeedRow{300, B300},
                                           SpeedRow{600, B600}, SpeedRow{1200, B1200},
                                           SpeedRow{2400, B2400}, SpeedRow{4800, B4800},
                                           SpeedRow{9600, B9600}, SpeedRow{19200, B19200},
                                           SpeedRow{38400, B38400}, SpeedRow{57600, B57600},
                                           SpeedRow{115200, B115200}, SpeedRow{230400, B230400},
                                           SpeedRow{460800, B460800}, SpeedRow{921600, B921600}),
                         [](const ::testing::TestParamInfo<SpeedRow>& tested) {
                           return "Baud" + std::to_string(tested.param.baud);
                         });

// Rates that termios or the Windows driver know but the terminal offers not.
class RateWithoutSpeed : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(RateWithoutSpeed, HasNoConstantAndIsRefused) {
  EXPECT_EQ(SpeedOfBaudRate(GetParam()), std::nullopt);
  termios tio{};
  EXPECT_EQ(FillTermios({GetParam(), 8, 0, 0}, tio), SerialError::SettingsRefused);
}

INSTANTIATE_TEST_SUITE_P(OffTheTable, RateWithoutSpeed,
                         ::testing::Values(0u, 50u, 75u, 134u, 150u, 200u, 1800u, 14400u, 28800u,
                                           56000u, 76800u, 128000u, 256000u, 500000u, 1000000u),
                         [](const ::testing::TestParamInfo<std::uint32_t>& tested) {
                           return "Baud" + std::to_string(tested.param);
                         });

class RefusedSettings : public ::testing::TestWithParam<LineSettings> {};

std::string SettingsName(const ::testing::TestParamInfo<LineSettings>& tested) {
  const LineSettings& s = tested.param;
  return "Baud" + std::to_string(s.baudRate) + "Bits" + std::to_string(s.dataBits) + "Parity" +
         std::to_string(s.parity) + "Stop" + StopName(s.stopBits);
}

TEST_P(RefusedSettings, AreRefusedAndLeaveTheRecordAlone) {
  termios tio{};
  tio.c_cflag = CS7 | CLOCAL;
  EXPECT_EQ(FillTermios(GetParam(), tio), SerialError::SettingsRefused);
  EXPECT_EQ(tio.c_cflag, static_cast<tcflag_t>(CS7 | CLOCAL));
}

INSTANTIATE_TEST_SUITE_P(OneAndAHalfStopBitsWithMoreThanFiveDataBits, RefusedSettings,
                         ::testing::Values(LineSettings{9600, 6, 0, 1}, LineSettings{9600, 7, 0, 1},
                                           LineSettings{9600, 8, 0, 1}),
                         SettingsName);
INSTANTIATE_TEST_SUITE_P(TwoStopBitsWithFiveDataBits, RefusedSettings,
                         ::testing::Values(LineSettings{9600, 5, 0, 2}), SettingsName);
INSTANTIATE_TEST_SUITE_P(ValuesOutsideTheLists, RefusedSettings,
                         ::testing::Values(LineSettings{12345, 8, 0, 0}, LineSettings{0, 8, 0, 0},
                                           LineSettings{9600, 4, 0, 0}, LineSettings{9600, 9, 0, 0},
                                           LineSettings{9600, 8, 0, 3},
                                           LineSettings{9600, 8, 2, 0}),
                         SettingsName);

TEST(TermiosTaken, HoldsForTheRecordAsAsked) {
  termios wanted{};
  ASSERT_EQ(FillTermios({9600, 8, 0, 2}, wanted), SerialError::None);
  EXPECT_TRUE(TermiosTaken(wanted, wanted));
}

TEST(TermiosTaken, FailsWhenTheDeviceChangedTheFrameOrSpeed) {
  termios wanted{};
  ASSERT_EQ(FillTermios({9600, 7, 0, 2}, wanted), SerialError::None);

  termios otherSize = wanted;
  otherSize.c_cflag = (otherSize.c_cflag & ~CSIZE) | CS8;
  termios noStopBit = wanted;
  noStopBit.c_cflag &= ~CSTOPB;
  termios otherSpeed = wanted;
  cfsetospeed(&otherSpeed, B4800);
  termios echoing = wanted;
  echoing.c_lflag |= ECHO;

  EXPECT_FALSE(TermiosTaken(wanted, otherSize));
  EXPECT_FALSE(TermiosTaken(wanted, noStopBit));
  EXPECT_FALSE(TermiosTaken(wanted, otherSpeed));
  EXPECT_FALSE(TermiosTaken(wanted, echoing));
}

TEST(MakeRaw, KeepsSpeedAndFrameButDropsLineEditing) {
  termios tio{};
  tio.c_cflag = CS7 | CSTOPB | CRTSCTS;
  tio.c_iflag = ICRNL | IXON;
  tio.c_oflag = OPOST | ONLCR;
  tio.c_lflag = ICANON | ECHO | ISIG;
  tio.c_cc[VMIN] = 1;
  cfsetospeed(&tio, B2400);
  MakeRaw(tio);
  EXPECT_EQ(tio.c_cflag & (CSIZE | CSTOPB | CRTSCTS | CLOCAL | CREAD),
            static_cast<tcflag_t>(CS7 | CSTOPB | CLOCAL | CREAD));
  EXPECT_EQ(tio.c_iflag & (ICRNL | IXON), 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(tio.c_cc[VMIN], 0);
  EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B2400));
}

TEST(SerialErrorFromErrno, TranslatesEachKindOfFault) {
  const std::pair<int, SerialError> rows[] = {
      {0, SerialError::None},
      {ENOENT, SerialError::NotFound},
      {ENXIO, SerialError::NotFound},
      {EBUSY, SerialError::InUse},
      {EWOULDBLOCK, SerialError::InUse},
      {EACCES, SerialError::AccessDenied},
      {EPERM, SerialError::AccessDenied},
      {ENOTTY, SerialError::InvalidName},
      {EISDIR, SerialError::InvalidName},
      {ENAMETOOLONG, SerialError::InvalidName},
      {EINVAL, SerialError::SettingsRefused},
      {EIO, SerialError::DeviceRemoved},
      {ENODEV, SerialError::DeviceRemoved},
      {EBADF, SerialError::NotOpen},
      {ETIMEDOUT, SerialError::TimedOut},
      {ENOSPC, SerialError::Io},
  };
  for (const auto& [error, expected] : rows) {
    EXPECT_EQ(SerialErrorFromErrno(error), expected) << "errno " << error;
  }
}

TEST(WriteBound, IsTwiceTheLineTimePlusOneSecond) {
  // 8N1: 10 bits a byte; 1200 bytes at 1200 baud take 10 s on the line.
  EXPECT_EQ(LineTimeMs({1200, 8, 0, 0}, 1200), 10'000u);
  EXPECT_EQ(WriteBoundMs({1200, 8, 0, 0}, 1200), 21'000u);
  // 5 data bits with 1.5 stop bits count as 1 + 5 + 2 = 8 bits; rounded up.
  EXPECT_EQ(LineTimeMs({9600, 5, 0, 1}, 1), 1u);
  EXPECT_EQ(LineTimeMs({9600, 7, 0, 2}, 960), 1000u);
  // Nothing applied yet: no line time, only the second.
  EXPECT_EQ(WriteBoundMs({}, 5000), 1000u);
}

}  // namespace
}  // namespace velmora
