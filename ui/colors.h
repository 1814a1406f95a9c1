#pragma once

#include <QColor>
#include <cstdint>

#include "common/color_value.h"

class QWidget;

namespace velmora::ui {

QColor ToQColor(std::uint32_t value);

// Paints a control's background (its text area for edits and lists) and
// reads it back; the connection indicator and the highlighted labels use it.
void SetBackground(QWidget* widget, std::uint32_t value);
void SetTextColor(QWidget* widget, std::uint32_t value);
QColor Background(const QWidget* widget);
QColor TextColor(const QWidget* widget);

}  // namespace velmora::ui
