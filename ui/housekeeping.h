#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <vector>

class QListWidget;

namespace velmora {
class Clock;
class HoverHelp;
}  // namespace velmora

namespace velmora::ui {

class ClockLabel;
class LimitedEdit;
class LogWindow;

// One duty of the housekeeping tick. It does its work and returns whether it
// still has work for the next tick.
struct HousekeepingStep {
  const char* name;
  std::function<bool()> run;
};

// What the steps look after.
struct HousekeepingControls {
  LimitedEdit* MainStrCmd;
  QListWidget* FastOldCmd;
  LogWindow* MainWindow;
  // The cyclic re-enable of TimerPeriod (the send automation's step).
  std::function<bool()> CyclicTimerPeriod;
  // The clock label, the clock it shows, and how the clock step asks for
  // the tick it needs at the next whole second.
  ClockLabel* TextTime;
  const Clock* clock;
  std::function<void(int ms)> wakeIn;
  // The once-a-second duty that shares the clock's wake-up (the port watch):
  // it runs when the shown second changes, from the second second on.
  std::function<void()> newSecond;
  // The 13 help countdowns.
  HoverHelp* hover;
};

// The log shows more lines than it may keep: the tick has to empty it. Only
// an appended entry can make this true, so only such an entry wakes the tick.
bool LogOverLineLimit(const LogWindow& log);

// The steps of the tick, in the order they run. A new duty is one more line
// in this list (housekeeping.cpp).
std::vector<HousekeepingStep> CustomFunctionsSteps(const HousekeepingControls& controls);

// The 10 ms housekeeping tick (`CustomFunctions`). A tick every 10 ms costs
// about 1 % of a core on an idle line, so the tick rests once no step has
// work left, and the events that give a step work wake it.
class Housekeeping : public QObject {
  Q_OBJECT

 public:
  explicit Housekeeping(std::vector<HousekeepingStep> steps, QObject* parent = nullptr);

  // The steps, when they need the owner of the tick (set once, before the
  // tick first runs).
  void SetSteps(std::vector<HousekeepingStep> steps) { steps_ = std::move(steps); }
  // Starts the tick unless it runs.
  void Wake();
  // One tick in `ms` milliseconds, for a step that rests in between (the
  // clock). A later call moves that tick. When the 10 ms tick is running
  // then, that tick serves; otherwise the tick runs at once.
  void WakeIn(int ms);
  const QTimer& WakeInTimer() const { return wakeIn_; }
  // One tick: every step in order; then rests when none has work left.
  void CustomFunctionsTimer();
  const QTimer& Timer() const { return timer_; }

 private:
  std::vector<HousekeepingStep> steps_;
  QTimer timer_;
  QTimer wakeIn_;
};

}  // namespace velmora::ui
