#include "logfile/log_view.h"

#include "app/cfg_record.h"

namespace velmora {

std::vector<Bytes> FrozenViewEntries(const std::vector<Bytes>& logEntries) {
  std::vector<Bytes> entries = logEntries;
  entries.emplace_back();
  entries.emplace_back(kStopLine);
  return entries;
}

Bytes FrozenViewText(const std::vector<Bytes>& logEntries) {
  Bytes text;
  for (const Bytes& entry : logEntries) {
    text += entry;
    text += "\r\n";
  }
  // The empty line, then STOP.
  text += "\r\n";
  text += kStopLine;
  return text;
}

LogColors ColorCycle::BTPalitraClick() {
  step_ = (step_ + 1) % kSteps;
  return kColors[static_cast<std::size_t>(step_)];
}

std::int32_t StepLogFontSize(std::int32_t points, bool up) {
  if (up) return points < kMaxLogFontSize ? points + 1 : points;
  return points > kMinLogFontSize ? points - 1 : points;
}

int PointsToPixels(int points) { return (points * 96 + 36) / 72; }

}  // namespace velmora
