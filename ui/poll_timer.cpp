#include "ui/poll_timer.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cstdint>

#if defined(__linux__)
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace velmora::ui {

PollTimer::PollTimer(QObject* parent) : QObject(parent) {
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &PollTimer::timeout);
#if defined(__linux__)
  timerFd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timerFd_ >= 0) {
    timerFdNotifier_ = std::make_unique<QSocketNotifier>(timerFd_, QSocketNotifier::Read);
    timerFdNotifier_->setEnabled(false);
    connect(timerFdNotifier_.get(), &QSocketNotifier::activated, this, &PollTimer::TimerFdReadable);
  }
#endif
}

PollTimer::~PollTimer() {
  timerFdNotifier_.reset();
#if defined(__linux__)
  if (timerFd_ >= 0) close(timerFd_);
#endif
}

void PollTimer::StartEveryMillisecond() {
  DisarmOnce();
  timer_.setSingleShot(false);
  timer_.start(1);
}

void PollTimer::StartOnce(std::chrono::microseconds delay) {
  timer_.stop();
  const std::int64_t us = std::max<std::int64_t>(delay.count(), 0);
#if defined(__linux__)
  if (timerFd_ >= 0) {
    itimerspec due{};
    // A zero value disarms the timer: "at once" is one nanosecond. Arming
    // replaces the pending tick and clears an expiry never read, so the
    // expiries need not be read: the notifier rests between the ticks.
    due.it_value.tv_sec = static_cast<time_t>(us / 1000000);
    due.it_value.tv_nsec = us > 0 ? static_cast<long>(us % 1000000 * 1000) : 1;
    if (timerfd_settime(timerFd_, 0, &due, nullptr) == 0) {
      onceArmed_ = true;
      timerFdNotifier_->setEnabled(true);
      return;
    }
  }
#endif
  DisarmOnce();
  timer_.setSingleShot(true);
  timer_.start(static_cast<int>(std::min<std::int64_t>((us + 999) / 1000, INT32_MAX)));
}

void PollTimer::Stop() {
  timer_.stop();
  DisarmOnce();
}

void PollTimer::DisarmOnce() {
  if (!onceArmed_) return;
  onceArmed_ = false;
  // The timer may still expire; nobody listens until it is armed again.
  timerFdNotifier_->setEnabled(false);
}

bool PollTimer::IsActive() const { return onceArmed_ || timer_.isActive(); }

bool PollTimer::TicksEveryMillisecond() const {
  return timer_.isActive() && !timer_.isSingleShot() && timer_.interval() == 1;
}

void PollTimer::TimerFdReadable() {
  // The notifier may have been found readable before a Stop in the same
  // pass of the event loop; such a tick is gone.
  if (!onceArmed_) return;
  DisarmOnce();
  emit timeout();
}

}  // namespace velmora::ui
