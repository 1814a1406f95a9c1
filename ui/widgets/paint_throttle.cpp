#include "ui/widgets/paint_throttle.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace velmora::ui {

PaintThrottle::PaintThrottle(QWidget* window) : QObject(window), window_(window) {
  deferred_.setSingleShot(true);
  // The request Qt made is held back; a new one takes its place when due.
  connect(&deferred_, &QTimer::timeout, this, [this] {
    QCoreApplication::postEvent(window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
  });
  window_->installEventFilter(this);
}

bool PaintThrottle::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_ || event->type() != QEvent::UpdateRequest) return false;
  if (sinceLastPaint_.isValid() && sinceLastPaint_.elapsed() < kMinIntervalMs) {
    if (!deferred_.isActive()) {
      deferred_.start(static_cast<int>(kMinIntervalMs - sinceLastPaint_.elapsed()));
    }
    return true;
  }
  sinceLastPaint_.start();
  return false;
}

}  // namespace velmora::ui
