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
//
// The first change after a quiet spell waits kGatherMs for those that tend to
// follow it (a send's line and counters, then the device's answer): one
// paint instead of two, still well inside a frame.
class PaintThrottle : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMinIntervalMs = 33;
  static constexpr int kGatherMs = 10;

  explicit PaintThrottle(QWidget* window);

  // The throttle of `widget`'s top-level window, or nullptr.
  static PaintThrottle* Of(const QWidget* widget);

  // Asks for a frame, also when nothing has been marked for painting yet:
  // frameDue() comes when the next frame is due, or kGatherMs after the
  // first change when the last paint is a frame old.
  void RequestFrame();

 signals:
  // A frame is about to be painted.
  void frameDue();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void DeliverFrame();
  void Deferred();
  // A change waits for its frame: the timer runs until the frame is due.
  void Hold();
  // Milliseconds until the window may be painted.
  qint64 MsUntilPaint() const;

  QWidget* window_;
  QElapsedTimer sinceLastPaint_;
  QElapsedTimer sinceFirstChange_;  // the first change not painted yet
  QTimer deferred_;
  bool frameWanted_ = false;  // RequestFrame without its frameDue yet
  bool heldBack_ = false;     // a paint request of Qt's waits for the timer
};

}  // namespace velmora::ui
