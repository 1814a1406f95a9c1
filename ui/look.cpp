#include "ui/look.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include "common/free_memory.h"
#include "logfile/log_view.h"

namespace velmora::ui {

int PointsToPixels(int points) { return velmora::PointsToPixels(points); }

QFont UiFont(int points, bool bold) {
  QFont font(QString::fromLatin1(kUiFontFamily));
  font.setPixelSize(PointsToPixels(points));
  font.setBold(bold);
  // The window's texts (Latin, Cyrillic, digits) need no shaper. Shaping
  // was most of the cost of painting a counter, which changes with every
  // packet.
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

QFont LogFont(int points) {
  QFont font(QString::fromLatin1(kLogFontFamily));
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(PointsToPixels(points));
  font.setKerning(false);
  // Each character shows as itself, as a terminal's should: no ligature
  // joins "->" or "fi". Text that needs no shaping then skips the shaper,
  // which was the larger part of laying out new lines.
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

QFont HelpFont(bool bold) {
  QFont font(QString::fromLatin1(kHelpFontFamily));
  font.setPixelSize(PointsToPixels(8));
  font.setBold(bold);
  return font;
}

void CenterOnScreen(QWidget& window) {
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                         screen->availableGeometry()));
}

void PrepareQtRuntime() {
  KeepFreedMemoryForReuse();
  if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
}

}  // namespace velmora::ui
