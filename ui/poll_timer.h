#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>

class QSocketNotifier;

namespace velmora::ui {

// The receive poll's timer: it ticks every millisecond, or once after a
// delay given in microseconds. The tick that ends a packet is due at the
// start of a millisecond of the clock; a QTimer counts whole milliseconds
// from when it starts and so wakes up to a millisecond after that. On Linux
// the single tick goes through a timerfd, which takes the delay to the
// nanosecond; elsewhere a precise QTimer takes it rounded up to milliseconds.
class PollTimer : public QObject {
  Q_OBJECT

 public:
  explicit PollTimer(QObject* parent = nullptr);
  ~PollTimer() override;

  // A tick every millisecond until stopped or started otherwise.
  void StartEveryMillisecond();
  // One tick after `delay`; as soon as the event loop runs for 0 or less.
  void StartOnce(std::chrono::microseconds delay);
  void Stop();
  bool IsActive() const;
  bool TicksEveryMillisecond() const;

 signals:
  void timeout();

 private:
  void TimerFdReadable();
  void DisarmOnce();

  QTimer timer_;  // the millisecond ticks; the single one without a timerfd
  int timerFd_ = -1;
  std::unique_ptr<QSocketNotifier> timerFdNotifier_;
  bool onceArmed_ = false;  // the timerfd's single tick is pending
};

}  // namespace velmora::ui
