#include "ui/widgets/paint_throttle.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace velmora::ui {

PaintThrottle::PaintThrottle(QWidget* window) : QObject(window), window_(window) {
  deferred_.setSingleShot(true);
  // A coarse timer may fire early, and the frame then waits one more round.
  deferred_.setTimerType(Qt::PreciseTimer);
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

void PaintThrottle::ComesAlone() { alone_ = true; }

void PaintThrottle::Settled() {
  if (!deferred_.isActive()) return;
  alone_ = true;
  // Held by the frame time: the timer stands, and a later settled tick may
  // still come first.
  if (MsUntilPaint() > 0) return;
  deferred_.stop();
  Deferred();
}

qint64 PaintThrottle::MsUntilPaint() const {
  qint64 wait = 0;
  if (sinceLastPaint_.isValid()) wait = kMinIntervalMs - sinceLastPaint_.elapsed();
  if (sinceFirstChange_.isValid() && !alone_)
    wait = std::max(wait, kGatherMs - sinceFirstChange_.elapsed());
  return std::max<qint64>(wait, 0);
}

qint64 PaintThrottle::MsUntilDue() const {
  qint64 wait = MsUntilPaint();
  if (inStream_ && sinceFirstChange_.isValid())
    wait = std::max(wait, kMinIntervalMs - sinceFirstChange_.elapsed());
  return wait;
}

void PaintThrottle::NoteChange() {
  if (sinceFirstChange_.isValid()) return;
  sinceFirstChange_.start();
  inStream_ = sinceLastPaint_.isValid() && sinceLastPaint_.elapsed() < kMinIntervalMs;
}

void PaintThrottle::Hold() {
  NoteChange();
  if (!deferred_.isActive()) deferred_.start(static_cast<int>(MsUntilDue()));
}

// What the receivers change now marks their widgets for painting; Qt then
// asks for the paint, which the frame time lets through.
void PaintThrottle::DeliverFrame() {
  if (!frameWanted_) return;
  frameWanted_ = false;
  emit frameDue();
}

void PaintThrottle::Deferred() {
  if (!heldBack_) {
    DeliverFrame();
    return;
  }
  PaintNow();
}

// The frame is painted now, through the filter below.
void PaintThrottle::PaintNow() {
  heldBack_ = false;
  QEvent request(QEvent::UpdateRequest);
  QCoreApplication::sendEvent(window_, &request);
}

bool PaintThrottle::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_ || event->type() != QEvent::UpdateRequest) return false;
  NoteChange();
  if (MsUntilPaint() > 0) {
    heldBack_ = true;
    Hold();
    return true;
  }
  heldBack_ = false;
  alone_ = false;
  deferred_.stop();
  // This paint brings every widget up to date: a request Qt posted before
  // it (an update() before a repaint()) would only wake the loop for a
  // paint with nothing left to paint.
  QCoreApplication::removePostedEvents(window_, QEvent::UpdateRequest);
  sinceLastPaint_.start();
  sinceFirstChange_.invalidate();
  // Whatever is brought up to date now is painted by this very frame.
  frameWanted_ = false;
  emit frameDue();
  return false;
}

}  // namespace velmora::ui
