#include "ui/receive_view.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSocketNotifier>

#include "receive/time_rx.h"
#include "ui/colors.h"
#include "ui/main_form.h"
#include "ui/text_codec.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"
#include "ui/widgets/up_down_arrows.h"

namespace velmora::ui {

ReceiveView::ReceiveView(MainForm& form, Receiver& receiver, SerialLink& link, Traffic& traffic)
    : form_(form), receiver_(receiver), link_(link), traffic_(traffic) {
  rxTimer_.setObjectName("RxTimer");
  rxTimer_.setInterval(1);
  rxTimer_.setTimerType(Qt::PreciseTimer);
  connect(&rxTimer_, &QTimer::timeout, this, [this] { RxTimerTimer(); });
  connect(form_.TimeOutRx, &UpDownArrows::clicked, this, [this](bool up) { TimeOutRxClick(up); });
  connect(form_.BTClrStat, &QPushButton::clicked, this, [this] { BTClrStatClick(); });
  form_.FiltrLog->installEventFilter(this);
}

ReceiveView::~ReceiveView() = default;

void ReceiveView::RxTimerTimer() {
  // A modal box opened inside the tick runs its own message loop; the
  // level-triggered notifier would fire without pause there, so it rests
  // until the tick is over.
  if (notifier_) notifier_->setEnabled(false);
  receiver_.RxTimerTimer(*this);
  SchedulePolling();
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
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { RxTimerTimer(); });
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
  if (poll && !rxTimer_.isActive()) rxTimer_.start();
  if (!poll && rxTimer_.isActive()) rxTimer_.stop();
}

bool ReceiveView::NotifierEnabled() const { return notifier_ && notifier_->isEnabled(); }

void ReceiveView::TimeOutRxClick(bool up) {
  receiver_.SetTimeRx(StepTimeRx(receiver_.TimeRx(), up));
  ShowTimeRx();
}

void ReceiveView::ShowTimeRx() {
  form_.TimeOutAns->setText(ToQString(TimeRxCaption(receiver_.TimeRx())));
  SetBackground(form_.TimeOutAns, receiver_.TimeRx() != 0 ? kYellow : kSysButtonFace);
}

void ReceiveView::BTClrStatClick() {
  ResetStatistics(traffic_);
  form_.MinTimeWait->setText(ToQString(MinGapText(traffic_, false)));
  form_.MaxTimeWait->setText(ToQString(MaxGapText(traffic_, false)));
  form_.LSend->setText(ToQString(SendCountText(traffic_)));
  form_.LRead->setText(ToQString(ReadCountText(traffic_)));
}

void ReceiveView::FiltrLogClick() { SetBackground(form_.FiltrLog, kYellow); }

void ReceiveView::FiltrLogExit() {
  SetBackground(form_.FiltrLog, form_.FiltrLog->text().isEmpty() ? kSysButtonFace : kYellow);
}

bool ReceiveView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == form_.FiltrLog) {
    if (event->type() == QEvent::MouseButtonPress) FiltrLogClick();
    if (event->type() == QEvent::FocusOut) FiltrLogExit();
  }
  return QObject::eventFilter(watched, event);
}

ReceiveInputs ReceiveView::CurrentReceiveInputs() {
  ReceiveInputs inputs;
  inputs.mode = form_.RBHEX->isChecked() ? DataMode::Hex : DataMode::Ascii;
  inputs.visTime = form_.VisTime->isChecked();
  inputs.filter = ToBytes(form_.FiltrLog->text());
  return inputs;
}

void ReceiveView::AppendLogLine(const Bytes& line) {
  form_.MainWindow->AppendEntry(ToQString(line));
}

bool ReceiveView::WriteLogFile(const Bytes& line) {
  return writeLogFile ? writeLogFile(line) : true;
}

void ReceiveView::ShowByteCounters(const Bytes& text) {
  form_.StaticText3->setText(ToQString(text));
}

void ReceiveView::ShowReadCount(const Bytes& text) { form_.LRead->setText(ToQString(text)); }

void ReceiveView::ShowGaps(const Bytes& minText, const Bytes& maxText) {
  form_.MinTimeWait->setText(ToQString(minText));
  form_.MaxTimeWait->setText(ToQString(maxText));
}

void ReceiveView::AfterAnswer() {
  if (afterAnswer) afterAnswer();
}

}  // namespace velmora::ui
