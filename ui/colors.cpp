#include "ui/colors.h"

#include <QPalette>
#include <QWidget>

namespace velmora::ui {

QColor ToQColor(std::uint32_t value) {
  if ((value >> 24) == 0xFF) {
    // The few system colours the terminal uses, as a classic desktop shows
    // them; any other index falls back to the button face.
    switch (value & 0xFF) {
      case 0x05: return QColor(255, 255, 255);  // window
      case 0x08: return QColor(0, 0, 0);        // window text
      case 0x18: return QColor(255, 255, 225);  // info tip
      default: return QColor(240, 240, 240);    // button face
    }
  }
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

void SetBackground(QWidget* widget, std::uint32_t value) {
  const QColor color = ToQColor(value);
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, color);
  palette.setColor(QPalette::Window, color);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

void SetTextColor(QWidget* widget, std::uint32_t value) {
  const QColor color = ToQColor(value);
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Text, color);
  palette.setColor(QPalette::WindowText, color);
  widget->setPalette(palette);
}

QColor Background(const QWidget* widget) { return widget->palette().color(QPalette::Base); }

QColor TextColor(const QWidget* widget) { return widget->palette().color(QPalette::Text); }

}  // namespace velmora::ui
