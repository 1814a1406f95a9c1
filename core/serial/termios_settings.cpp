#include "serial/termios_settings.h"

#include <array>
#include <utility>

namespace velmora {

namespace {

constexpr std::array<std::pair<std::uint32_t, speed_t>, 14> kSpeeds{{
    {110, B110},
    {300, B300},
    {600, B600},
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
    {460800, B460800},
    {921600, B921600},
}};

constexpr tcflag_t kRawInputOff =
    IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK;
constexpr tcflag_t kRawLocalOff = ECHO | ECHONL | ICANON | ISIG | IEXTEN;
constexpr tcflag_t kControlChecked = CSIZE | CSTOPB | PARENB | CLOCAL | CREAD | CRTSCTS;

tcflag_t CharacterSize(std::uint8_t dataBits) {
  switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

}  // namespace

std::optional<speed_t> SpeedOfBaudRate(std::uint32_t baudRate) {
  for (const auto& [rate, speed] : kSpeeds) {
    if (rate == baudRate) return speed;
  }
  return std::nullopt;
}

void MakeRaw(termios& tio) {
  tio.c_iflag &= ~kRawInputOff;
  tio.c_oflag &= ~OPOST;
  tio.c_lflag &= ~kRawLocalOff;
  tio.c_cflag &= ~(PARENB | CRTSCTS | HUPCL);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
}

SerialError FillTermios(const LineSettings& settings, termios& tio) {
  const auto speed = SpeedOfBaudRate(settings.baudRate);
  const bool dataBitsKnown = settings.dataBits >= 5 && settings.dataBits <= 8;
  const bool stopBitsKnown = settings.stopBits <= 2;
  const bool oneAndAHalfWrong = settings.stopBits == 1 && settings.dataBits != 5;
  const bool twoWrong = settings.stopBits == 2 && settings.dataBits == 5;
  if (!speed || !dataBitsKnown || !stopBitsKnown || settings.parity != 0 || oneAndAHalfWrong ||
      twoWrong) {
    return SerialError::SettingsRefused;
  }
  termios filled{};
  filled.c_cflag = CharacterSize(settings.dataBits) | CLOCAL | CREAD;
  if (settings.stopBits != 0) filled.c_cflag |= CSTOPB;
  MakeRaw(filled);
  cfsetispeed(&filled, *speed);
  cfsetospeed(&filled, *speed);
  tio = filled;
  return SerialError::None;
}

bool TermiosTaken(const termios& wanted, const termios& got) {
  return cfgetispeed(&wanted) == cfgetispeed(&got) && cfgetospeed(&wanted) == cfgetospeed(&got) &&
         (wanted.c_cflag & kControlChecked) == (got.c_cflag & kControlChecked) &&
         (wanted.c_iflag & kRawInputOff) == (got.c_iflag & kRawInputOff) &&
         (wanted.c_oflag & OPOST) == (got.c_oflag & OPOST) &&
         (wanted.c_lflag & kRawLocalOff) == (got.c_lflag & kRawLocalOff);
}

}  // namespace velmora
