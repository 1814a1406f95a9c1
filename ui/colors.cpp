#include "ui/colors.h"

#include <QPalette>
#include <QWidget>

namespace velmora::ui {

QColor ToQColor(std::uint32_t value) {
  const Rgb rgb = ColorValueRgb(value);
  return QColor(rgb.red, rgb.green, rgb.blue);
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
