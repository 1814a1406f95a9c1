#pragma once

#include <QHash>
#include <QObject>
#include <QPoint>

class QWidget;

namespace velmora::ui {

// Reports mouse movement over watched widgets, for the hover help. Mouse
// tracking is switched on for them. A panel reports only movement over its
// own free area, not movement that its child controls pass up to it; a
// scroll area reports movement over its viewport as its own.
class HoverTracker : public QObject {
  Q_OBJECT

 public:
  explicit HoverTracker(QObject* parent = nullptr) : QObject(parent) {}

  void Watch(QWidget* widget);

 signals:
  void mouseMoved(QWidget* widget, QPoint globalPos);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QHash<QObject*, QWidget*> reportAs_;
};

}  // namespace velmora::ui
