#include "ui/widgets/double_click_combo_box.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>

namespace velmora::ui {

void DoubleClickComboBox::showPopup() {
  QComboBox::showPopup();
  if (popupWatched_) return;
  // The popup's frame gets the presses outside the list while it is open.
  view()->viewport()->installEventFilter(this);
  if (QWidget* frame = view()->parentWidget()) frame->installEventFilter(this);
  popupWatched_ = true;
}

bool DoubleClickComboBox::CompletesDoubleClick(QPoint globalPos) const {
  return firstPress_.isValid() && firstPress_.elapsed() <= QApplication::doubleClickInterval() &&
         (globalPos - firstPressPos_).manhattanLength() <= QApplication::startDragDistance();
}

void DoubleClickComboBox::ReportDoubleClick() {
  firstPress_.invalidate();
  reported_ = true;
  hidePopup();
  emit doubleClicked();
}

void DoubleClickComboBox::mousePressEvent(QMouseEvent* event) {
  reported_ = false;
  if (event->button() == Qt::LeftButton) {
    const QPoint pos = event->globalPosition().toPoint();
    if (CompletesDoubleClick(pos)) {
      event->accept();
      ReportDoubleClick();
      return;
    }
    firstPress_.start();
    firstPressPos_ = pos;
  }
  QComboBox::mousePressEvent(event);
}

void DoubleClickComboBox::mouseDoubleClickEvent(QMouseEvent* event) {
  // Qt sends a double click right after the press that completed it.
  event->accept();
  if (event->button() == Qt::LeftButton && !reported_) ReportDoubleClick();
}

bool DoubleClickComboBox::eventFilter(QObject* watched, QEvent* event) {
  const bool press =
      event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
  if (press && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
      CompletesDoubleClick(static_cast<QMouseEvent*>(event)->globalPosition().toPoint())) {
    ReportDoubleClick();
    return true;
  }
  return QComboBox::eventFilter(watched, event);
}

}  // namespace velmora::ui
