#include "ui/main_window.h"

#include <QCheckBox>
#include <QCursor>
#include <QGuiApplication>
#include <QPushButton>
#include <string_view>

#include "ui/dialogs.h"
#include "ui/form_parts.h"
#include "ui/history_lists.h"
#include "ui/housekeeping.h"
#include "ui/macro_editor_window.h"
#include "ui/macro_panel.h"
#include "ui/main_form.h"
#include "ui/port_bar.h"
#include "ui/receive_view.h"
#include "ui/send_automation.h"
#include "ui/text_codec.h"
#include "ui/widgets/hover_tracker.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"
#include "ui/widgets/paint_throttle.h"

namespace velmora::ui {

TForm1::TForm1(UserDialogs& dialogs, TerminalServices services, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      services_(std::move(services)),
      form_(new MainForm(this)),
      terminal_(services_.portFactory, services_.sleeper, *services_.clock),
      logFile_(*services_.clock),
      logSink_(LogSinkControlsOf(*form_)),
      cursor_([this] { return SystemCursor(); }),
      hover_([this] { return cursor_(); },
             {.clearHelp = [this] { helpPanel_->ClearHelp(); },
              .showTopic = [this](HelpTopic topic) { helpPanel_->ShowTopic(topic); }}),
      housekeeping_(new Housekeeping({}, this)) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QStringLiteral("Velmora v1.10"));
  setCentralWidget(form_);
  resize(kDesignClientWidth, kDesignClientHeight);
  new PaintThrottle(this);

  MainForm& form = *form_;
  CommandTarget& target = *this;
  helpPanel_ = std::make_unique<HelpPanel>(HelpPanelControlsOf(form));
  portBar_ = std::make_unique<PortBar>(PortBarControlsOf(form), dialogs_, terminal_.Link(),
                                       *services_.discovery, services_.sleeper);
  receiveView_ = std::make_unique<ReceiveView>(ReceiveViewControlsOf(form), terminal_, logSink_);
  console_ = std::make_unique<Console>(ConsoleControlsOf(form), dialogs_, terminal_, logSink_,
                                       *receiveView_);
  SendAutomationPeers peers;
  peers.historyPanelShown = [this] { return historyLists_->HistoryPanelShown(); };
  peers.setHistoryPanelShown = [this](bool shown) { historyLists_->SetHistoryPanelShown(shown); };
  peers.listName = [this] {
    return ToQString(terminal_.Store().GetListName(macroPanel_->CurList()));
  };
  peers.wakeHousekeeping = [this] { housekeeping_->Wake(); };
  sendAutomation_ =
      std::make_unique<SendAutomation>(SendAutomationControlsOf(form), *console_, dialogs_,
                                       terminal_.Link(), *services_.clock, std::move(peers));
  macroPanel_ = std::make_unique<MacroPanel>(MacroPanelControlsOf(form), dialogs_,
                                             terminal_.Store(), target, *helpPanel_);
  historyLists_ =
      std::make_unique<HistoryLists>(HistoryListsControlsOf(form), terminal_.History(), target);
  logButtons_ = std::make_unique<LogButtons>(LogButtonsControlsOf(form), dialogs_, logFile_, look_);
  logSink_.SetLogFileWriter(logButtons_.get());
  housekeeping_->SetSteps(HousekeepingSteps());
  WireParts();

  FormCreate();
  housekeeping_->Wake();
}

TForm1::~TForm1() { logSink_.SetLogFileWriter(nullptr); }

// Every effect of one part on another, in one place.
void TForm1::WireParts() {
  connect(portBar_.get(), &PortBar::PortStateChanged, receiveView_.get(),
          &ReceiveView::PortStateChanged);
  connect(portBar_.get(), &PortBar::PortStateChanged, sendAutomation_.get(),
          &SendAutomation::PortStateChanged);
  connect(portBar_.get(), &PortBar::PortOpened, sendAutomation_.get(), &SendAutomation::PortOpened);
  connect(portBar_.get(), &PortBar::SendAfterReopen, sendAutomation_.get(),
          &SendAutomation::CheckSendDataAftConnect);
  portBar_->sendAsReconnChecked = [this] { return form_->SendAsReconn->isChecked(); };
  receiveView_->afterAnswer = [this] { sendAutomation_->AfterAnswer(); };
  connect(console_.get(), &Console::CommandRecorded, historyLists_.get(),
          &HistoryLists::HistoryRecorded);
  connect(console_.get(), &Console::ConsoleDropDownWanted, historyLists_.get(),
          &HistoryLists::OpenConsoleDropDown);
  connect(console_.get(), &Console::TailDropDownWanted, historyLists_.get(),
          &HistoryLists::OpenTailDropDown);
  connect(historyLists_.get(), &HistoryLists::HistoryPanelToggled, macroPanel_.get(),
          &MacroPanel::HistoryPanelToggled);
  connect(historyLists_.get(), &HistoryLists::HistoryPanelToggled, sendAutomation_.get(),
          &SendAutomation::HistoryPanelToggled);
  connect(macroPanel_.get(), &MacroPanel::EditorShown, sendAutomation_.get(),
          &SendAutomation::EditorShown);
  macroPanel_->filePanelShown = [this] { return sendAutomation_->FilePanelShown(); };
  connect(sendAutomation_.get(), &SendAutomation::FilePanelShownChanged, form_,
          &MainForm::FilePanelShownChanged);
  form_->FilePanelShownChanged(sendAutomation_->FilePanelShown());
  macroPanel_->showWindowEdtHelp = [this](int m) { ShowWindowEdtHelp(m); };
  connect(form_->BtInfo, &QPushButton::clicked, this, &TForm1::BtInfoClick);
  connect(form_->Hover, &HoverTracker::mouseMoved, this, &TForm1::HoverMoved);
  // The housekeeping steps' work comes from a new log line and a change of
  // the console line's size.
  // Entries below the line limit leave the tick asleep: a wake-up per packet
  // on a busy line otherwise.
  connect(form_->MainWindow, &LogWindow::entryAppended, housekeeping_, [this] {
    if (LogOverLineLimit(*form_->MainWindow)) housekeeping_->Wake();
  });
  connect(console_.get(), &Console::ConsoleResized, housekeeping_, &Housekeeping::Wake);
  // A new font re-wraps the log: the line limit acts at once.
  connect(logButtons_.get(), &LogButtons::LogFontChanged, housekeeping_, &Housekeeping::Wake);
}

std::vector<HousekeepingStep> TForm1::HousekeepingSteps() {
  HousekeepingControls controls = HousekeepingControlsOf(*form_);
  controls.clock = services_.clock.get();
  controls.wakeIn = [this](int ms) { housekeeping_->WakeIn(ms); };
  controls.newSecond = [this] { portBar_->CheckConnectTimer(); };
  controls.hover = &hover_;
  controls.CyclicTimerPeriod = [this] {
    return sendAutomation_ && sendAutomation_->CyclicTimerPeriodStep();
  };
  return CustomFunctionsSteps(controls);
}

ScreenPoint TForm1::SystemCursor() const {
  // Wayland gives no global cursor position: the last move we saw stands in.
  const QPoint pos = QGuiApplication::platformName().startsWith(QLatin1String("wayland"))
                         ? lastMovePos_
                         : QCursor::pos();
  return {pos.x(), pos.y()};
}

void TForm1::HoverMoved(QWidget* widget, QPoint globalPos) {
  lastMovePos_ = globalPos;
  const QWidget* parent = widget->parentWidget();
  const QByteArray name = widget->objectName().toLatin1();
  const QByteArray parentName = parent != nullptr ? parent->objectName().toLatin1() : QByteArray();
  const HoverRole role = HoverRoleOfMove(
      std::string_view(name.constData(), static_cast<std::size_t>(name.size())),
      widget->isEnabled(),
      std::string_view(parentName.constData(), static_cast<std::size_t>(parentName.size())));
  hover_.MouseMoved(role, {globalPos.x(), globalPos.y()});
  if (hover_.HasWork()) housekeeping_->Wake();
}

void TForm1::BtInfoClick() { dialogs_.ShowInfo(); }

void TForm1::ShowWindowEdtHelp(int m) {
  MacroEditRequest request;
  request.store = &terminal_.Store();
  request.list = macroPanel_->CurList();
  request.macro = m;
  request.panelLine = [this](int k) { return helpPanel_->Line(k); };
  request.setPanelLine = [this](int k, const QString& text) { helpPanel_->SetLine(k, text); };
  MacroEditSteps steps;
  steps.setCurCmd = [this](int slot) { macroPanel_->SetCurCmd(slot); };
  steps.slotEdit = [this](int slot) -> QLineEdit* {
    return form_->Edit[static_cast<std::size_t>(slot - 1)];
  };
  steps.writeListCmd = [this] { macroPanel_->WriteListCmd(); };
  steps.zeroHelpCountdowns = [this] { hover_.ZeroCountdowns(); };
  steps.readListCmd = [this] { macroPanel_->ReadListCmd(macroPanel_->CurList()); };
  velmora::ui::ShowWindowEdtHelp(request, steps, dialogs_);
}

void TForm1::SendPortData(const Bytes& command) { console_->SendPortData(command); }

void TForm1::CustomFunctionsTimer() { housekeeping_->CustomFunctionsTimer(); }

const QTimer& TForm1::CustomFunctions() const { return housekeeping_->Timer(); }

bool TForm1::SendOnSelect() const { return sendAutomation_->SendOnSelect(); }

void TForm1::SetConsoleText(const QString& text) { console_->SetConsoleText(text); }

void TForm1::FocusConsole() { console_->FocusConsole(); }

void TForm1::FocusSendButton() { console_->FocusSendButton(); }

void TForm1::SetTailText(const QString& text) { console_->SetTailText(text); }

void TForm1::FocusTail() { console_->FocusTail(); }

}  // namespace velmora::ui
