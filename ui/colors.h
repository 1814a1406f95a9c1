#pragma once

#include <QColor>
#include <cstdint>

class QWidget;

namespace velmora::ui {

// Colour values as the settings file keeps them: 0x00BBGGRR for a plain
// colour, 0xFF0000nn for the system colour number nn. The program keeps these
// values; Qt colours are derived from them for display only.
inline constexpr std::uint32_t kSysButtonFace = 0xFF00000F;
inline constexpr std::uint32_t kSysWindowText = 0xFF000008;
inline constexpr std::uint32_t kSysWindow = 0xFF000005;
inline constexpr std::uint32_t kYellow = 0x0000FFFF;
inline constexpr std::uint32_t kLime = 0x0000FF00;
inline constexpr std::uint32_t kRed = 0x000000FF;

QColor ToQColor(std::uint32_t value);

// Paints a control's background (its text area for edits and lists) and
// reads it back; the connection indicator and the highlighted labels use it.
void SetBackground(QWidget* widget, std::uint32_t value);
void SetTextColor(QWidget* widget, std::uint32_t value);
QColor Background(const QWidget* widget);
QColor TextColor(const QWidget* widget);

}  // namespace velmora::ui
