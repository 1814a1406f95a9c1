#include "ui/widgets/paint_throttle.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace velmora::ui {

PaintThrottle::PaintThrottle(QWidget* window) : QObject(window), window_(window) {
  deferred_.setSingleShot(true);
  connect(&deferred_, &QTimer::timeout, this, &PaintThrottle::Deferred);
  window_->installEventFilter(this);
}

PaintThrottle* PaintThrottle::Of(const QWidget* widget) {
  return widget->window()->findChild<PaintThrottle*>(QString(), Qt::FindDirectChildrenOnly);
}

void PaintThrottle::RequestFrame() {
  if (frameWanted_) return;
  frameWanted_ = true;
  Hold();
}

qint64 PaintThrottle::MsUntilPaint() const {
  qint64 wait = 0;
  if (sinceLastPaint_.isValid()) wait = kMinIntervalMs - sinceLastPaint_.elapsed();
  if (sinceFirstChange_.isValid()) wait = std::max(wait, kGatherMs - sinceFirstChange_.elapsed());
  return std::max<qint64>(wait, 0);
}

void PaintThrottle::Hold() {
  if (!sinceFirstChange_.isValid()) sinceFirstChange_.start();
  if (!deferred_.isActive()) deferred_.start(static_cast<int>(MsUntilPaint()));
}

// What the receivers change now marks their widgets for painting; Qt then
// asks for the paint, which the frame time lets through.
void PaintThrottle::DeliverFrame() {
  if (!frameWanted_) return;
  frameWanted_ = false;
  emit frameDue();
}

void PaintThrottle::Deferred() {
  // The request Qt made is held back; a new one takes its place when due.
  if (heldBack_) {
    heldBack_ = false;
    QCoreApplication::postEvent(window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
  }
  DeliverFrame();
}

bool PaintThrottle::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_ || event->type() != QEvent::UpdateRequest) return false;
  if (!sinceFirstChange_.isValid() || MsUntilPaint() > 0) {
    heldBack_ = true;
    Hold();
    return true;
  }
  heldBack_ = false;
  deferred_.stop();
  sinceLastPaint_.start();
  sinceFirstChange_.invalidate();
  // Whatever is brought up to date now is painted by this very frame.
  frameWanted_ = false;
  emit frameDue();
  return false;
}

}  // namespace velmora::ui
