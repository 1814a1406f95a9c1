#pragma once

#include <termios.h>

#include <cstdint>
#include <optional>

#include "serial/line_settings.h"
#include "serial/serial_error.h"

namespace velmora {

// The termios speed constant of a baud rate; nullopt for a rate without one.
std::optional<speed_t> SpeedOfBaudRate(std::uint32_t baudRate);

// Raw mode on an existing record: no echo, no line editing, no signals, no
// translation of CR or LF, no flow control; reads return what is waiting.
// Speed, character size and stop bits stay as they are.
void MakeRaw(termios& tio);

// The whole record from the line settings: raw mode, CLOCAL|CREAD, the
// speed, the character size and CSTOPB; everything else zero. Refuses
// (SettingsRefused, `tio` untouched) what the Windows serial driver refuses:
// one and a half stop bits except with 5 data bits, two stop bits with 5 data
// bits, data bits outside 5..8, parity, and baud rates without a speed
// constant. One and a half stop bits are asked as CSTOPB with CS5, which
// 16550-class UARTs send as 1.5 stop bits.
SerialError FillTermios(const LineSettings& settings, termios& tio);

// Whether the record read back after tcsetattr holds what was asked: the
// speeds, the character size, the stop bits and the raw and control flags.
bool TermiosTaken(const termios& wanted, const termios& got);

}  // namespace velmora
