#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "common/bytes.h"
#include "common/clock.h"

namespace velmora {

// The four send modes of the panel "Отправка:".
enum class SendMode {
  Manual,       // "Ручная" (RBManual)
  AfterAnswer,  // "После ответа" (RBAfterAns)
  OnSelect,     // "При выборе" (RBSel)
  Period,       // "Период, мс:" (RBPeriod)
};

// The enabled states a mode gives three controls of the panel.
struct ModeControls {
  bool oldCmdList = true;  // OldCmdList
  bool sendStart = true;   // SendStart
  bool ciklSend = false;   // CiklSend
  bool enablesTimerPeriod = false;
};

// The controls' states for `mode`; `historyPanelShown` disables the list in
// "После ответа" and "Период, мс:".
ModeControls ModeControlsOf(SendMode mode, bool historyPanelShown);

// The period in PeriodTX: a decimal number in 0..2147483647, digits only.
// Anything else (empty, a sign, a space, too big) means no periodic send.
std::optional<std::int32_t> PeriodOf(BytesView text);

// What the sequencer reads from the window and asks of it. The window
// implements it; tests fake it.
class AutomationHost {
 public:
  virtual ~AutomationHost() = default;
  // The chosen radio button of "Отправка:".
  virtual SendMode ChosenMode() = 0;
  // A command file is loaded and shown (FilePanelShown).
  virtual bool FilePanelShown() = 0;
  // The lines of the loaded file, the items of OldCmdList.
  virtual std::size_t FileLineCount() = 0;
  virtual Bytes FileLine(std::size_t index) = 0;
  // The console line MainStrCmd.
  virtual Bytes ConsoleLine() = 0;
  // The text of PeriodTX.
  virtual Bytes PeriodText() = 0;
  virtual bool CiklSendChecked() = 0;
  virtual bool PortOpen() = 0;
  // The bytes waiting in the port's input queue, asked afresh.
  virtual std::uint32_t BytesWaiting() = 0;
  // SendPortData: the single path of a packet (it may drop the call while
  // busy, show the port-error window, or send nothing for an empty text).
  virtual void SendPortData(const Bytes& command) = 0;
  // The all-sent notice: the modal message box "Все команды отправлены",
  // shown by the window (the sequencer has already updated its state).
  virtual void ShowAllSent() = 0;
};

// The send modes' sequencing of the console line and the command file:
// StartSendCommands, the after-answer step, the periodic tick of TimerPeriod
// and the send on connect. It owns FileCmdIndex, PeriodTicked,
// LastPeriodSend and whether TimerPeriod is enabled; the window owns the
// timer itself and asks NextTickDelay when to run it.
class SendAutomation {
 public:
  explicit SendAutomation(const Clock& clock);

  // A click on a mode's radio button (or the restore choosing it): in
  // "Период, мс:" TimerPeriod is enabled. No mode stops it and none touches
  // FileCmdIndex. Returns the controls' states for the window to apply.
  ModeControls ModeClicked(SendMode mode, bool historyPanelShown);

  // A command file has been chosen: file mode starts at line 0 (called
  // before the file is read, so a failed read leaves file mode at 0).
  void FileModeEntered() { fileCmdIndex_ = 0; }

  // SendStart's click, and the send on connect in file mode.
  void StartSendCommands(AutomationHost& host);
  // The step at the end of the rendering of a received packet that gave a
  // line (ReadBufRxInLog).
  void AfterAnswer(AutomationHost& host);
  // One tick of TimerPeriod.
  void TimerPeriodTimer(AutomationHost& host);
  // The housekeeping tick's cyclic re-enable: CiklSend checked and "Период,
  // мс:" chosen enables TimerPeriod when it is not enabled already. Returns
  // true when it enabled it (the window then wakes the timer).
  bool CyclicReenable(bool ciklSendChecked, SendMode mode);
  // After a connect with "Отправить при соединении" checked: the file in
  // file mode, else the console line.
  void CheckSendDataAftConnect(AutomationHost& host);

  // When TimerPeriod should run next, in milliseconds from now (0 = at
  // once), or nothing: the timer parks until one of the wakes (a mode click,
  // StartSendCommands, the cyclic re-enable, a port open, an edit of
  // PeriodTX) asks again. Outside "Период, мс:" the only tick wanted is the
  // first, which sets PeriodTicked. Never more than a second, so that a
  // stepped wall clock is seen soon.
  std::optional<int> NextTickDelay(AutomationHost& host) const;

  // TimerPeriod is enabled (the logical flag; the window's timer may rest).
  bool TimerPeriodEnabled() const { return timerPeriodEnabled_; }
  void EnableTimerPeriod() { timerPeriodEnabled_ = true; }
  std::uint32_t FileCmdIndex() const { return fileCmdIndex_; }
  bool PeriodTicked() const { return periodTicked_; }
  std::int32_t LastPeriodSend() const { return lastPeriodSend_; }

 private:
  void SendNextFileLine(AutomationHost& host);

  const Clock& clock_;
  std::uint32_t fileCmdIndex_ = 0;
  bool periodTicked_ = false;
  std::int32_t lastPeriodSend_ = 0;
  bool timerPeriodEnabled_ = false;
};

}  // namespace velmora
