#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "receive/receive_host.h"
#include "terminal/terminal.h"
#include "ui/poll_timer.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSocketNotifier;

namespace velmora::ui {

class LimitedEdit;
class LogSink;
class PaintThrottle;
class UpDownArrows;

// The controls of the receive view: the packet time-out, the filter, the
// display options of the log (mode and time stamps) and the statistics reset.
struct ReceiveViewControls {
  UpDownArrows* TimeOutRx;
  QLabel* TimeOutAns;
  LimitedEdit* FiltrLog;
  QRadioButton* RBASCII;
  QRadioButton* RBHEX;
  QCheckBox* VisTime;
  QPushButton* BTClrStat;
};

// The window's side of the receive path: the poll timer and the readiness
// notification that drive the receiver, the packet time-out arrows, the
// filter edit's colours and the display options both paths read. The log
// lines and the statistics labels go to the log sink.
//
// The poll timer fires about 900 times a second and costs a few per cent of a
// core even when idle, so it runs only while it has work: once when a
// packet's quiet time-out is due (new bytes wake a poll through the
// notifier), or every millisecond when the port gives no readiness
// notification (a platform without one, or after a read error). A hung-up port (a vanished adapter
// stays "readable" for ever) gets neither until it is opened again.
class ReceiveView : public QObject, public ReceiveHost {
  Q_OBJECT

 public:
  ReceiveView(const ReceiveViewControls& controls, Terminal& terminal, LogSink& log);
  ~ReceiveView() override;

  // The longest a tick goes on polling while bytes keep waiting.
  static constexpr int kBusyTickMs = 4;

  // One tick of the poll: the receive timer's handler.
  void RxTimerTimer();
  // The port was opened or closed.
  void PortStateChanged();
  void TimeOutRxClick(bool up);
  // Shows TimeRX in its label: yellow when not 0.
  void ShowTimeRx();
  void BTClrStatClick();
  void FiltrLogClick();
  void FiltrLogExit();

  // Call point of a later feature: the after-answer send step.
  std::function<void()> afterAnswer;

  const PollTimer& RxTimer() const { return rxTimer_; }
  bool NotifierEnabled() const;

  // ReceiveHost; the send path reads the same options.
  ReceiveInputs CurrentReceiveInputs() override;
  void AppendLogLine(const Bytes& line) override;
  bool WriteLogFile(const Bytes& line) override;
  void ShowByteCounters(const Bytes& text) override;
  void ShowReadCount(const Bytes& text) override;
  void ShowGaps(const Bytes& minText, const Bytes& maxText) override;
  void AfterAnswer() override;

 signals:
  // The user clicked a display mode radio button.
  void OutModeClicked(DataMode mode);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SchedulePolling();
  // A tick of the poll; `mayHaveHungUp`: woken in a way a hang-up can cause.
  void Tick(bool mayHaveHungUp);
  void ReleaseHungUpPort(bool ask);
  void WatchDescriptor(int descriptor);
  // The window's paint throttle, found once.
  PaintThrottle* Throttle();

  ReceiveViewControls c_;
  Receiver& receiver_;
  SerialLink& link_;
  Traffic& traffic_;
  LogSink& log_;
  PollTimer rxTimer_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool portGone_ = false;  // hung up: no polling until the next open
  QPointer<PaintThrottle> throttle_;
};

}  // namespace velmora::ui
