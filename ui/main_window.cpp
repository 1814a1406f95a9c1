#include "ui/main_window.h"

#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "ui/console.h"
#include "ui/history_lists.h"
#include "ui/macro_panel.h"
#include "ui/main_form.h"
#include "ui/port_bar.h"
#include "ui/receive_view.h"
#include "ui/text_codec.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"
#include "ui/widgets/paint_throttle.h"

namespace velmora::ui {

namespace {
// The log window is emptied when it shows more than this many lines.
constexpr int kMaxLogLines = 5000;
}  // namespace

TForm1::TForm1(UserDialogs& dialogs, TerminalServices services, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      services_(std::move(services)),
      form_(new MainForm(this)),
      link_(services_.portFactory, services_.sleeper),
      transmitter_(link_, history_, traffic_, *services_.clock),
      receiver_(link_, traffic_, *services_.clock) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QStringLiteral("Velmora v1.10"));
  setCentralWidget(form_);
  resize(kDesignClientWidth, kDesignClientHeight);
  new PaintThrottle(this);

  portBar_ = std::make_unique<PortBar>(*form_, dialogs_, link_, *services_.discovery);
  console_ = std::make_unique<Console>(*form_, dialogs_, transmitter_);
  receiveView_ = std::make_unique<ReceiveView>(*form_, receiver_, link_, traffic_);
  const auto send = [this](const Bytes& command) { SendPortData(command); };
  macroPanel_ = std::make_unique<MacroPanel>(*form_, dialogs_, store_, send);
  historyLists_ = std::make_unique<HistoryLists>(*form_, history_, send);
  console_->historyRecorded = [this] { historyLists_->HistoryRecorded(); };
  connect(portBar_.get(), &PortBar::PortStateChanged, receiveView_.get(),
          &ReceiveView::PortStateChanged);
  connect(portBar_.get(), &PortBar::SendAfterConnect, this, &TForm1::CheckSendDataAftConnect);

  customFunctions_.setObjectName(QStringLiteral("CustomFunctions"));
  customFunctions_.setInterval(10);
  connect(&customFunctions_, &QTimer::timeout, this, &TForm1::CustomFunctionsTimer);
  connect(form_->MainWindow, &LogWindow::entryAppended, this, &TForm1::WakeHousekeeping);
  form_->MainStrCmd->installEventFilter(this);

  FormCreate();
  WakeHousekeeping();
}

TForm1::~TForm1() = default;

void TForm1::SendPortData(const Bytes& command) { console_->SendPortData(command); }

void TForm1::CheckSendDataAftConnect() {
  // Without a loaded command file, a connect sends the console line once.
  SendPortData(ToBytes(form_->MainStrCmd->text()));
}

// A tick every 10 ms costs about 1 % of a core on an idle line, so the tick
// sleeps once its rules hold and the events that can break them wake it.
void TForm1::WakeHousekeeping() {
  if (!customFunctions_.isActive()) customFunctions_.start();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == form_->MainStrCmd && event->type() == QEvent::Resize) WakeHousekeeping();
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::CustomFunctionsTimer() {
  form_->FastOldCmd->resize(form_->MainStrCmd->width(), form_->FastOldCmd->height());
  if (form_->MainWindow->ShownLineCount() > kMaxLogLines) form_->MainWindow->Clear();
  customFunctions_.stop();
}

}  // namespace velmora::ui
