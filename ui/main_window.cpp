#include "ui/main_window.h"

#include "ui/form_parts.h"
#include "ui/main_form.h"
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
      housekeeping_(new Housekeeping(CustomFunctionsSteps(HousekeepingControlsOf(*form_)), this)) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QStringLiteral("Velmora v1.10"));
  setCentralWidget(form_);
  resize(kDesignClientWidth, kDesignClientHeight);
  new PaintThrottle(this);

  MainForm& form = *form_;
  CommandTarget& target = *this;
  helpPanel_ = std::make_unique<HelpPanel>(HelpPanelControlsOf(form));
  portBar_ = std::make_unique<PortBar>(PortBarControlsOf(form), dialogs_, terminal_.Link(),
                                       *services_.discovery);
  receiveView_ = std::make_unique<ReceiveView>(ReceiveViewControlsOf(form), terminal_, logSink_);
  console_ = std::make_unique<Console>(ConsoleControlsOf(form), dialogs_, terminal_, logSink_,
                                       *receiveView_);
  sendAutomation_ = std::make_unique<SendAutomation>(SendAutomationControlsOf(form), *console_);
  macroPanel_ = std::make_unique<MacroPanel>(MacroPanelControlsOf(form), dialogs_,
                                             terminal_.Store(), target, *helpPanel_);
  historyLists_ =
      std::make_unique<HistoryLists>(HistoryListsControlsOf(form), terminal_.History(), target);
  logButtons_ = std::make_unique<LogButtons>(LogButtonsControlsOf(form), dialogs_, logFile_, look_);
  logSink_.SetLogFileWriter(logButtons_.get());
  WireParts();

  FormCreate();
  housekeeping_->Wake();
}

TForm1::~TForm1() { logSink_.SetLogFileWriter(nullptr); }

// Every effect of one part on another, in one place.
void TForm1::WireParts() {
  connect(portBar_.get(), &PortBar::PortStateChanged, receiveView_.get(),
          &ReceiveView::PortStateChanged);
  connect(portBar_.get(), &PortBar::PortOpened, sendAutomation_.get(), &SendAutomation::PortOpened);
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
  connect(form_->MainWindow, &LogWindow::entryAppended, housekeeping_, &Housekeeping::Wake);
  connect(console_.get(), &Console::ConsoleResized, housekeeping_, &Housekeeping::Wake);
  // A new font re-wraps the log: the line limit acts at once.
  connect(logButtons_.get(), &LogButtons::LogFontChanged, housekeeping_, &Housekeeping::Wake);
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
