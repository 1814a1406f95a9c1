#include "ui/receive_view.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSocketNotifier>

#include "receive/time_rx.h"
#include "ui/colors.h"
#include "ui/log_sink.h"
#include "ui/text_codec.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/paint_throttle.h"
#include "ui/widgets/up_down_arrows.h"

namespace velmora::ui {

ReceiveView::ReceiveView(const ReceiveViewControls& controls, Terminal& terminal, LogSink& log)
    : c_(controls),
      receiver_(terminal.ReceivePath()),
      link_(terminal.Link()),
      traffic_(terminal.Counters()),
      log_(log) {
  rxTimer_.setObjectName("RxTimer");
  // While the notifier watches, a hang-up wakes it (a hung-up port stays
  // readable): the timer's tick that ends a packet need not ask.
  connect(&rxTimer_, &PollTimer::timeout, this, [this] { Tick(!NotifierEnabled()); });
  connect(c_.TimeOutRx, &UpDownArrows::clicked, this, [this](bool up) { TimeOutRxClick(up); });
  connect(c_.BTClrStat, &QPushButton::clicked, this, [this] { BTClrStatClick(); });
  // clicked, not toggled: restoring a mode runs the handler explicitly, and
  // only when the selection changes.
  connect(c_.RBASCII, &QRadioButton::clicked, this,
          [this] { emit OutModeClicked(DataMode::Ascii); });
  connect(c_.RBHEX, &QRadioButton::clicked, this, [this] { emit OutModeClicked(DataMode::Hex); });
  c_.FiltrLog->installEventFilter(this);
}

ReceiveView::~ReceiveView() = default;

void ReceiveView::RxTimerTimer() { Tick(true); }

void ReceiveView::Tick(bool mayHaveHungUp) {
  // A modal box opened inside the tick runs its own message loop; the
  // level-triggered notifier would fire without pause there, so it rests
  // until the tick is over.
  if (notifier_) notifier_->setEnabled(false);
  // On a busy line a poll leaves bytes it had no room for: the next poll
  // follows in the same tick, for at most kBusyTickMs, instead of after a
  // trip through the event loop. Each poll is exactly a tick's.
  QElapsedTimer busy;
  busy.start();
  const std::int32_t receivedBefore = traffic_.rxBytes;
  do {
    receiver_.RxTimerTimer(*this);
  } while (receiver_.BytesLeftWaiting() > 0 && !receiver_.ReceiveBusy() && link_.PortOpen() &&
           receiver_.LastPollError() == SerialError::None && busy.elapsed() < kBusyTickMs);
  ReleaseHungUpPort(mayHaveHungUp && traffic_.rxBytes == receivedBefore);
  SchedulePolling();
  // No packet is pending and new bytes will wake a tick: what this tick
  // showed (mostly the answer to a send) needs no company for its paint.
  if (!rxTimer_.IsActive() && NotifierEnabled()) {
    if (PaintThrottle* throttle = Throttle()) throttle->Settled();
  }
}

PaintThrottle* ReceiveView::Throttle() {
  if (!throttle_) throttle_ = PaintThrottle::Of(c_.BTClrStat);
  return throttle_;
}

// A vanished device: its descriptor is closed at once, so that the system
// can give its name to the device when it comes back. The notifier goes
// first (it must never watch a closed descriptor); PortOpen and the
// indicator are left to the port watch, whose probe now fails.
//
// Asking the port costs two system calls. Only a tick that read nothing and
// may have been woken by the hang-up asks: a hung-up port stays readable, so
// after a tick that still read bytes the notifier wakes one that reads none.
void ReceiveView::ReleaseHungUpPort(bool ask) {
  if (!notifier_) return;
  if (receiver_.LastPollError() != SerialError::DeviceRemoved && (!ask || !link_.PortHungUp()))
    return;
  notifier_->setEnabled(false);
  // Deleted later: this may run inside the notifier's own signal.
  notifier_.release()->deleteLater();
  link_.ReleaseHungUpHandle();
  portGone_ = true;
}

void ReceiveView::PortStateChanged() {
  portGone_ = false;
  notifier_.reset();
  if (link_.PortOpen()) WatchDescriptor(link_.Port().ReadinessDescriptor());
  SchedulePolling();
}

void ReceiveView::WatchDescriptor(int descriptor) {
  if (descriptor < 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { Tick(true); });
}

void ReceiveView::SchedulePolling() {
  if (receiver_.ReceiveBusy()) return;  // the outer tick schedules when it ends
  const SerialError error = receiver_.LastPollError();
  if (error == SerialError::DeviceRemoved || error == SerialError::NotOpen) portGone_ = true;
  const bool open = link_.PortOpen();
  const bool notify =
      open && notifier_ && !portGone_ && error == SerialError::None && receiver_.CanTakeMore();
  if (notifier_) notifier_->setEnabled(notify);
  // Without a notification the timer polls for new bytes too; a gone port
  // is polled only to finish the packet it left behind.
  const bool poll = open && (receiver_.PacketPending() || (!notify && !portGone_));
  if (!poll) {
    rxTimer_.Stop();
  } else if (notify) {
    // New bytes wake a tick themselves: the timer only has to wake the tick
    // that ends the packet, when its quiet time is due by the clock.
    rxTimer_.StartOnce(std::chrono::microseconds(receiver_.MicrosecondsUntilPacketDue()));
  } else if (!rxTimer_.TicksEveryMillisecond()) {
    rxTimer_.StartEveryMillisecond();
  }
}

bool ReceiveView::NotifierEnabled() const { return notifier_ && notifier_->isEnabled(); }

void ReceiveView::TimeOutRxClick(bool up) {
  receiver_.SetTimeRx(StepTimeRx(receiver_.TimeRx(), up));
  ShowTimeRx();
}

void ReceiveView::ShowTimeRx() {
  c_.TimeOutAns->setText(ToQString(TimeRxCaption(receiver_.TimeRx())));
  SetBackground(c_.TimeOutAns, receiver_.TimeRx() != 0 ? kYellow : kSysButtonFace);
}

void ReceiveView::BTClrStatClick() {
  ResetStatistics(traffic_);
  log_.ShowGaps(MinGapText(traffic_, false), MaxGapText(traffic_, false));
  log_.ShowSendCount(SendCountText(traffic_));
  log_.ShowReadCount(ReadCountText(traffic_));
}

void ReceiveView::FiltrLogClick() { SetBackground(c_.FiltrLog, kYellow); }

void ReceiveView::FiltrLogExit() {
  SetBackground(c_.FiltrLog, c_.FiltrLog->text().isEmpty() ? kSysButtonFace : kYellow);
}

bool ReceiveView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == c_.FiltrLog) {
    if (event->type() == QEvent::MouseButtonPress) FiltrLogClick();
    if (event->type() == QEvent::FocusOut) FiltrLogExit();
  }
  return QObject::eventFilter(watched, event);
}

ReceiveInputs ReceiveView::CurrentReceiveInputs() {
  ReceiveInputs inputs;
  inputs.mode = c_.RBHEX->isChecked() ? DataMode::Hex : DataMode::Ascii;
  inputs.visTime = c_.VisTime->isChecked();
  inputs.filter = ToBytes(c_.FiltrLog->text());
  return inputs;
}

// The log line, the log file and the counters go to the one sink.
void ReceiveView::AppendLogLine(const Bytes& line) { log_.AppendLogLine(line); }

bool ReceiveView::WriteLogFile(const Bytes& line) { return log_.WriteLogFile(line); }

void ReceiveView::ShowByteCounters(const Bytes& text) { log_.ShowByteCounters(text); }

void ReceiveView::ShowReadCount(const Bytes& text) { log_.ShowReadCount(text); }

void ReceiveView::ShowGaps(const Bytes& minText, const Bytes& maxText) {
  log_.ShowGaps(minText, maxText);
}

void ReceiveView::AfterAnswer() {
  if (afterAnswer) afterAnswer();
}

}  // namespace velmora::ui
