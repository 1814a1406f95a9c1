#include "automation/send_automation.h"

#include <algorithm>
#include <limits>

namespace velmora {

namespace {
constexpr std::int64_t kMsPerDay = 86'400'000;
// The longest the parked-or-waiting timer sleeps before it looks again.
constexpr std::int64_t kLongestWaitMs = 1000;
}  // namespace

ModeControls ModeControlsOf(SendMode mode, bool historyPanelShown) {
  switch (mode) {
    case SendMode::Manual: return {true, true, false, false};
    case SendMode::AfterAnswer: return {!historyPanelShown, true, true, false};
    case SendMode::OnSelect: return {true, false, false, false};
    case SendMode::Period: return {!historyPanelShown, true, true, true};
  }
  return {};
}

std::optional<std::int32_t> PeriodOf(BytesView text) {
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

SendAutomation::SendAutomation(const Clock& clock) : clock_(clock) {}

ModeControls SendAutomation::ModeClicked(SendMode mode, bool historyPanelShown) {
  const ModeControls controls = ModeControlsOf(mode, historyPanelShown);
  if (controls.enablesTimerPeriod) timerPeriodEnabled_ = true;
  return controls;
}

// The index moves before the send: a send dropped by the busy guard still
// uses up its line, and a tick inside a modal window opened by the send
// finds the index already past the line being sent.
void SendAutomation::SendNextFileLine(AutomationHost& host) {
  const Bytes line = host.FileLine(fileCmdIndex_);
  ++fileCmdIndex_;
  host.SendPortData(line);
}

void SendAutomation::StartSendCommands(AutomationHost& host) {
  switch (host.ChosenMode()) {
    case SendMode::Manual:
    case SendMode::AfterAnswer:
      if (fileCmdIndex_ < host.FileLineCount()) {
        SendNextFileLine(host);
      } else {
        fileCmdIndex_ = 0;
        host.ShowAllSent();
      }
      break;
    case SendMode::Period: timerPeriodEnabled_ = true; break;
    case SendMode::OnSelect: break;
  }
}

void SendAutomation::AfterAnswer(AutomationHost& host) {
  // The mode first: asking the port for its waiting bytes is a system call
  // on every packet, which only this mode needs.
  if (host.ChosenMode() != SendMode::AfterAnswer || host.BytesWaiting() != 0) return;
  if (!host.FilePanelShown()) {
    host.SendPortData(host.ConsoleLine());
    return;
  }
  const std::size_t lines = host.FileLineCount();
  bool goOn = true;
  // At (or, should the list have shrunk, past) the end of the file.
  if (fileCmdIndex_ >= lines) {
    fileCmdIndex_ = 0;
    if (!host.CiklSendChecked()) {
      goOn = false;
      // Once TimerPeriod has ticked, the end of an after-answer run is silent.
      if (!periodTicked_) host.ShowAllSent();
    }
  }
  if (goOn && fileCmdIndex_ < lines) SendNextFileLine(host);
}

void SendAutomation::TimerPeriodTimer(AutomationHost& host) {
  if (!timerPeriodEnabled_) return;
  periodTicked_ = true;
  if (host.ChosenMode() != SendMode::Period) return;
  const std::optional<std::int32_t> period = PeriodOf(host.PeriodText());
  if (!period) return;
  // A closed port: nothing is sent and the time of the last send is kept, so
  // the first tick after connecting sends at once when the period has passed.
  if (!host.PortOpen()) return;
  const std::int32_t t = MsOfDay(clock_.Now());
  // The time of day starts again at midnight (or the clock was set back):
  // the last send moves a day back, so the period stays exact across
  // midnight and a step back costs at most one early send, never a stall.
  if (t < lastPeriodSend_) lastPeriodSend_ = static_cast<std::int32_t>(lastPeriodSend_ - kMsPerDay);
  if (static_cast<std::int64_t>(t) - lastPeriodSend_ <= *period) return;
  lastPeriodSend_ = t;
  if (!host.FilePanelShown()) {
    host.SendPortData(host.ConsoleLine());
    return;
  }
  if (fileCmdIndex_ < host.FileLineCount()) {
    SendNextFileLine(host);
  } else if (host.CiklSendChecked()) {
    // Line 0 follows one period later.
    fileCmdIndex_ = 0;
  } else {
    timerPeriodEnabled_ = false;
    fileCmdIndex_ = 0;
    periodTicked_ = false;
    host.ShowAllSent();
  }
}

bool SendAutomation::CyclicReenable(bool ciklSendChecked, SendMode mode) {
  // Only when not enabled already: restarting a running timer every 10 ms
  // would keep a 1 ms one from ever firing.
  if (!ciklSendChecked || mode != SendMode::Period || timerPeriodEnabled_) return false;
  timerPeriodEnabled_ = true;
  return true;
}

void SendAutomation::CheckSendDataAftConnect(AutomationHost& host) {
  if (host.FilePanelShown()) {
    StartSendCommands(host);
  } else {
    host.SendPortData(host.ConsoleLine());
  }
}

std::optional<int> SendAutomation::NextTickDelay(AutomationHost& host) const {
  if (!timerPeriodEnabled_) return std::nullopt;
  std::optional<std::int64_t> wait;
  if (host.ChosenMode() == SendMode::Period && host.PortOpen()) {
    if (const std::optional<std::int32_t> period = PeriodOf(host.PeriodText())) {
      const std::int64_t t = MsOfDay(clock_.Now());
      std::int64_t last = lastPeriodSend_;
      if (t < last) last -= kMsPerDay;
      // The first tick at which t - last is greater than the period.
      wait = std::clamp<std::int64_t>(last + *period + 1 - t, 0, kLongestWaitMs);
    }
  }
  // The first tick after enabling sets PeriodTicked, whatever the mode.
  if (!periodTicked_) wait = std::min<std::int64_t>(wait.value_or(1), 1);
  if (!wait) return std::nullopt;
  return static_cast<int>(*wait);
}

}  // namespace velmora
