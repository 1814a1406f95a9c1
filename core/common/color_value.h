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
inline constexpr std::uint32_t kYellow = 0x0000FFFF;
inline constexpr std::uint32_t kLime = 0x0000FF00;
inline constexpr std::uint32_t kRed = 0x000000FF;

}  // namespace velmora
