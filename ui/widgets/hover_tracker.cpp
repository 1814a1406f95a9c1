#include "ui/widgets/hover_tracker.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QWidget>

namespace velmora::ui {

void HoverTracker::Watch(QWidget* widget) {
  widget->setMouseTracking(true);
  // A control that ignores the move (a button does) would pass it to a
  // tracking panel, which would clear the help the control has just shown.
  widget->setAttribute(Qt::WA_NoMousePropagation);
  widget->installEventFilter(this);
  reportAs_.insert(widget, widget);
  if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) {
    area->viewport()->setMouseTracking(true);
    area->viewport()->installEventFilter(this);
    reportAs_.insert(area->viewport(), widget);
  }
}

bool HoverTracker::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseMove) return false;
  QWidget* target = reportAs_.value(watched);
  if (target == nullptr) return false;
  const auto* move = static_cast<QMouseEvent*>(event);
  auto* receiver = static_cast<QWidget*>(watched);
  // A move over a child control reaches the panel only when the child passed
  // it up; that is not the panel's own area.
  if (receiver->childAt(move->position().toPoint()) != nullptr) return false;
  emit mouseMoved(target, move->globalPosition().toPoint());
  return false;
}

}  // namespace velmora::ui
