#include "ui/main_window.h"

#include <QCheckBox>

#include "ui/form_parts.h"
#include "ui/history_lists.h"
#include "ui/housekeeping.h"
#include "ui/macro_panel.h"
#include "ui/main_form.h"
#include "ui/port_bar.h"
#include "ui/receive_view.h"
#include "ui/send_automation.h"
#include "ui/text_codec.h"
#include "ui/widgets/log_window.h"
#include "ui/widgets/paint_throttle.h"

namespace velmora::ui {

TForm1::TForm1(UserDialogs& dialogs, TerminalServices services, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      services_(std::move(services)),
      form_(new MainForm(this)),
      terminal_(services_.portFactory, services_.sleeper, *services_.clock),
      logSink_(LogSinkControlsOf(*form_)) {
  HousekeepingControls housekeepingControls = HousekeepingControlsOf(*form_);
  housekeepingControls.CyclicTimerPeriod = [this] {
    return sendAutomation_ && sendAutomation_->CyclicTimerPeriodStep();
  };
  housekeeping_ = new Housekeeping(CustomFunctionsSteps(housekeepingControls), this);
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
  WireParts();

  FormCreate();
  housekeeping_->Wake();
}

TForm1::~TForm1() = default;

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
  const auto filePanelShown = [this] { return sendAutomation_->FilePanelShown(); };
  macroPanel_->filePanelShown = filePanelShown;
  form_->SetFilePanelQuery(filePanelShown);
  // The housekeeping steps' work comes from a new log line and a change of
  // the console line's size.
  // Entries below the line limit leave the tick asleep: a wake-up per packet
  // on a busy line otherwise.
  connect(form_->MainWindow, &LogWindow::entryAppended, housekeeping_, [this] {
    if (LogOverLineLimit(*form_->MainWindow)) housekeeping_->Wake();
  });
  connect(console_.get(), &Console::ConsoleResized, housekeeping_, &Housekeeping::Wake);
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
