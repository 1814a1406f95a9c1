#pragma once

#include <cstdint>

namespace velmora {

// Colour values as the settings file keeps them: 0x00BBGGRR for a plain
// colour (red in the lowest byte), 0xFF0000nn for the system colour number nn.
// The program keeps these values; the window derives its colours from them
// for display only.
inline constexpr std::uint32_t kSysButtonFace = 0xFF00000F;
inline constexpr std::uint32_t kSysWindowText = 0xFF000008;
inline constexpr std::uint32_t kSysWindow = 0xFF000005;
inline constexpr std::uint32_t kSysInactiveBorder = 0xFF00000B;
inline constexpr std::uint32_t kSysInfoBackground = 0xFF000018;
inline constexpr std::uint32_t kSysMenuBar = 0xFF00001E;
inline constexpr std::uint32_t kYellow = 0x0000FFFF;
inline constexpr std::uint32_t kLime = 0x0000FF00;
inline constexpr std::uint32_t kRed = 0x000000FF;
inline constexpr std::uint32_t kAqua = 0x00FFFF00;
inline constexpr std::uint32_t kBlue = 0x00FF0000;
inline constexpr std::uint32_t kBlack = 0x00000000;

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// The colour shown for a value. System colours are those of a classic
// Windows desktop, never the desktop palette of the machine (a dark theme's
// window colour under black text would be unreadable); an index the terminal
// does not use, as a damaged settings file may hold, shows as the button face.
constexpr Rgb ColorValueRgb(std::uint32_t value) {
  if ((value >> 24) == 0xFF) {
    switch (value & 0xFF) {
      case 5: return {0xFF, 0xFF, 0xFF};   // window
      case 8: return {0x00, 0x00, 0x00};   // window text
      case 11: return {0xF4, 0xF7, 0xFC};  // inactive border
      case 15: return {0xF0, 0xF0, 0xF0};  // button face
      case 24: return {0xFF, 0xFF, 0xE1};  // info tip background
      case 30: return {0xF0, 0xF0, 0xF0};  // menu bar
      default: return {0xF0, 0xF0, 0xF0};
    }
  }
  return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF),
          static_cast<std::uint8_t>((value >> 16) & 0xFF)};
}

}  // namespace velmora
