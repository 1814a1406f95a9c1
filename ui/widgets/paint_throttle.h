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
// paint instead of two, still well inside a frame. When the line goes quiet
// (Settled) what waits is painted at once.
//
// A change within a frame of the last paint is part of a stream (bursts of
// packets): it is painted at the latest a frame after it came, and sooner
// when a later packet settles the line once the frame time has passed. A
// stream of packets then paints in the wake-ups its packets bring anyway,
// not in wake-ups of its own.
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

  // The change about to be made comes alone (the clock's new second): its
  // repaint() is painted at once when the frame time allows, else when it
  // does, without waiting kGatherMs for company. Unlike update(), repaint()
  // posts nothing, so the change costs the event loop no second wake-up.
  void ComesAlone();
  // Nothing more is on its way (the line has gone quiet): what waits for
  // company is painted now, or as soon as the frame time allows.
  void Settled();

 signals:
  // A frame is about to be painted.
  void frameDue();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void DeliverFrame();
  void Deferred();
  // Paints what waits, when the filter lets it through.
  void PaintNow();
  // A change waits for its frame: the timer runs until the frame is due.
  void Hold();
  // Milliseconds until the window may be painted.
  qint64 MsUntilPaint() const;
  // Milliseconds until what waits must be painted.
  qint64 MsUntilDue() const;
  // Notes the first change since the last paint.
  void NoteChange();

  QWidget* window_;
  QElapsedTimer sinceLastPaint_;
  QElapsedTimer sinceFirstChange_;  // the first change not painted yet
  QTimer deferred_;
  bool frameWanted_ = false;  // RequestFrame without its frameDue yet
  bool heldBack_ = false;     // a paint request of Qt's waits for the timer
  bool alone_ = false;        // ComesAlone or Settled since the last paint
  bool inStream_ = false;     // the first change came within a frame of the last paint
};

}  // namespace velmora::ui
