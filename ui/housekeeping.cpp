#include "ui/housekeeping.h"

#include <QListWidget>

#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"

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
      // CiklSend checked and "Период, мс:" chosen enable TimerPeriod. Checking
      // the box and choosing the mode wake the tick.
      {"CyclicTimerPeriod", [c] { return c.CyclicTimerPeriod && c.CyclicTimerPeriod(); }},
  };
}

Housekeeping::Housekeeping(std::vector<HousekeepingStep> steps, QObject* parent)
    : QObject(parent), steps_(std::move(steps)) {
  timer_.setObjectName(QStringLiteral("CustomFunctions"));
  timer_.setInterval(10);
  connect(&timer_, &QTimer::timeout, this, &Housekeeping::CustomFunctionsTimer);
}

void Housekeeping::Wake() {
  if (!timer_.isActive()) timer_.start();
}

void Housekeeping::CustomFunctionsTimer() {
  bool work = false;
  for (const HousekeepingStep& step : steps_) work = step.run() || work;
  if (!work) timer_.stop();
}

}  // namespace velmora::ui
