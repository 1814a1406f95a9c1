#include "ui/housekeeping.h"

#include <QListWidget>
#include <memory>

#include "app/hover_help.h"
#include "common/clock_text.h"
#include "ui/text_codec.h"
#include "ui/widgets/clock_label.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"
#include "ui/widgets/paint_throttle.h"

namespace velmora::ui {
namespace {

// The log window is emptied when it shows more than this many lines.
constexpr int kMaxLogLines = 5000;

}  // namespace

bool LogOverLineLimit(const LogWindow& log) { return log.ShownLineCount() > kMaxLogLines; }

std::vector<HousekeepingStep> CustomFunctionsSteps(const HousekeepingControls& c) {
  return {
      // The console's drop-down is as wide as the console line.
      {"FollowConsoleWidth",
       [c] {
         c.FastOldCmd->resize(c.MainStrCmd->width(), c.FastOldCmd->height());
         return false;
       }},
      {"LimitLogLines",
       [c] {
         if (LogOverLineLimit(*c.MainWindow)) c.MainWindow->Clear();
         return false;
       }},
      // The time of day, 24-hour, whatever the locale. The label changes
      // only when the second does; the step asks for a tick at the next
      // whole second and has no work for the 10 ms tick.
      {"ShowClock",
       [c, shown = std::make_shared<Bytes>()] {
         const LocalTime now = c.clock->Now();
         Bytes text = ClockText(now);
         if (text != *shown) {
           const bool first = shown->empty();
           // Nothing else changes with the second: no reason to wait for
           // company before painting.
           if (PaintThrottle* throttle = PaintThrottle::Of(c.TextTime)) throttle->ComesAlone();
           c.TextTime->setText(ToQString(text), ClockLabel::Paint::Now);
           *shown = std::move(text);
           if (!first && c.newSecond) c.newSecond();
         }
         c.wakeIn(MsToNextWholeSecond(now));
         return false;
       }},
      // CiklSend checked and "Период, мс:" chosen enable TimerPeriod. Checking
      // the box and choosing the mode wake the tick.
      {"CyclicTimerPeriod", [c] { return c.CyclicTimerPeriod && c.CyclicTimerPeriod(); }},
      // The 13 help countdowns run while one is above 0.
      {"HelpCountdowns",
       [c] {
         c.hover->Tick();
         return c.hover->HasWork();
       }},
  };
}

Housekeeping::Housekeeping(std::vector<HousekeepingStep> steps, QObject* parent)
    : QObject(parent), steps_(std::move(steps)) {
  timer_.setObjectName(QStringLiteral("CustomFunctions"));
  timer_.setInterval(10);
  // The help dwell counts 100 of these ticks: keep them 10 ms apart.
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &Housekeeping::CustomFunctionsTimer);
  wakeIn_.setSingleShot(true);
  wakeIn_.setTimerType(Qt::PreciseTimer);
  connect(&wakeIn_, &QTimer::timeout, this, [this] {
    if (!timer_.isActive()) CustomFunctionsTimer();
  });
}

void Housekeeping::WakeIn(int ms) { wakeIn_.start(ms); }

void Housekeeping::Wake() {
  if (!timer_.isActive()) timer_.start();
}

void Housekeeping::CustomFunctionsTimer() {
  bool work = false;
  for (const HousekeepingStep& step : steps_) work = step.run() || work;
  if (!work) timer_.stop();
}

}  // namespace velmora::ui
