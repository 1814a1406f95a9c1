#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

namespace velmora::ui {

// Repaints a top-level window at most about 30 times a second. On a busy
// line every packet changes the counters and the log; painting each change
// cost as much as all the rest of the receive path together, and nobody can
// read faster than this anyway. Qt collects the changes between two paints,
// so nothing shown is lost: it only arrives in larger steps.
class PaintThrottle : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMinIntervalMs = 33;

  explicit PaintThrottle(QWidget* window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  QElapsedTimer sinceLastPaint_;
  QTimer deferred_;
};

}  // namespace velmora::ui
