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
//
// The paints are the window's frames. A widget whose content is costly to
// bring up to date (the log's line layout) asks for a frame and does the work
// when frameDue() says one is about to be painted: all the changes of a frame
// then cost one layout and one paint, and reach the screen at most one frame
// late.
class PaintThrottle : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMinIntervalMs = 33;

  explicit PaintThrottle(QWidget* window);

  // The throttle of `widget`'s top-level window, or nullptr.
  static PaintThrottle* Of(const QWidget* widget);

  // Asks for a frame, also when nothing has been marked for painting yet:
  // frameDue() comes at once when the last paint is a frame old (after the
  // events already queued, whose changes the frame then shows too), else
  // when the next frame is due.
  void RequestFrame();

 signals:
  // A frame is about to be painted.
  void frameDue();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void DeliverFrame();
  void Deferred();

  QWidget* window_;
  QElapsedTimer sinceLastPaint_;
  QTimer deferred_;
  bool frameWanted_ = false;  // RequestFrame without its frameDue yet
  bool heldBack_ = false;     // a paint request of Qt's waits for the timer
};

}  // namespace velmora::ui
