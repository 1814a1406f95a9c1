#include "ui/main_form.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <algorithm>
#include <optional>
#include <utility>

#include "ui/colors.h"
#include "ui/control_factory.h"
#include "ui/look.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/double_click_combo_box.h"
#include "ui/widgets/hover_tracker.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"
#include "ui/widgets/up_down_arrows.h"

namespace velmora::ui {

MainForm::MainForm(QWidget* parent) : QWidget(parent), Hover(new HoverTracker(this)) {
  setObjectName(QStringLiteral("MainForm"));
  setFont(UiFont(8));
  // The background is the button face; the panels and labels inherit it as
  // their window colour, and a label coloured on its own overrides it.
  QPalette buttonFace = palette();
  buttonFace.setColor(QPalette::Window, buttonFace.color(QPalette::Button));
  setPalette(buttonFace);
  setAutoFillBackground(true);
  resize(kDesignClientWidth, kDesignClientHeight);

  BuildRegions();
  BuildTopBar();
  BuildLogPanel();
  BuildCommandArea();
  BuildMacroSlots();
  WatchHover();

  const std::pair<Placed, QWidget*> placed[] = {
      {Placed::Panel1, Panel1},
      {Placed::LogPanel, LogPanel},
      {Placed::MainPanel, MainPanel},
      {Placed::MainWindow, MainWindow},
      {Placed::SecondWindow, SecondWindow},
      {Placed::STLog, STLog},
      {Placed::FiltrLog, FiltrLog},
      {Placed::MainStrCmd, MainStrCmd},
      {Placed::STListName, STListName},
      {Placed::ListNameEDT, ListNameEDT},
      {Placed::CBLists, CBLists},
      {Placed::StaticText3, StaticText3},
      {Placed::SriftText, SriftText},
      {Placed::SendStart, SendStart},
      {Placed::LPlus, LPlus},
      {Placed::SaveF, SaveF},
      {Placed::Str1, Str1},
      {Placed::Str2, Str2},
      {Placed::Srift, Srift},
      {Placed::StartStop, StartStop},
      {Placed::StartLog, StartLog},
      {Placed::BTLog, BTLog},
      {Placed::AddStrCmd, AddStrCmd},
      {Placed::BTPalitra, BTPalitra},
      {Placed::ListInc, ListInc},
      {Placed::ListDec, ListDec},
      {Placed::DelList, DelList},
      {Placed::EditAllCmd, EditAllCmd},
      {Placed::OldCommandsBT, OldCommandsBT},
      {Placed::ButtonReadFile, ButtonReadFile},
      {Placed::ButtonSend, ButtonSend},
      {Placed::RBName, RBName},
      {Placed::RbData, RbData},
      {Placed::BtInfo, BtInfo},
      {Placed::FastOldCmd, FastOldCmd},
      {Placed::OldCmdList, OldCmdList},
      {Placed::LBTail, LBTail},
      {Placed::StaticText1, StaticText1},
      {Placed::PStats, PStats},
  };
  for (const auto& [control, widget] : placed) placed_[static_cast<std::size_t>(control)] = widget;
}

void MainForm::BuildRegions() {
  Panel1 = NewPanel(this, QStringLiteral("Panel1"), DesignRect(Placed::Panel1, 0, 25));

  const VerticalLayout design = DesignVerticalLayout();
  MainWindow = new LogWindow(this);
  Name(MainWindow, QStringLiteral("MainWindow"),
       DesignRect(Placed::MainWindow, design.logTop, design.logHeight));
  SecondWindow = new LogWindow(this);
  Name(SecondWindow, QStringLiteral("SecondWindow"),
       DesignRect(Placed::SecondWindow, design.logTop, design.logHeight));
  SecondWindow->setReadOnly(false);
  // The info-tip background of the fixed colour table, not the desktop's.
  SetBackground(SecondWindow, kSysInfoBackground);
  SetTextColor(SecondWindow, kSysWindowText);
  SecondWindow->hide();

  LogPanel = NewPanel(this, QStringLiteral("LogPanel"),
                      DesignRect(Placed::LogPanel, design.logPanelTop, 45));
  MainPanel = NewPanel(this, QStringLiteral("MainPanel"),
                       DesignRect(Placed::MainPanel, design.mainPanelTop, 297));
}

void MainForm::WatchHover() {
  QWidget* const watched[] = {
      // Controls with a help topic.
      BTConnect, BTRescan, AutoConnect, TimeOutAns, FiltrLog, RBManual, RBSel, RBAfterAns, RBPeriod,
      SendAsReconn, MainStrCmd, AddStrCmd, CiklSend,
      // Areas where movement empties the help panel.
      MainWindow, SecondWindow, Panel1, LogPanel, MainPanel, EditAllCmd, DelList, OldCommandsBT,
      ListInc, ListDec, ButtonReadFile, SendStart, ButtonSend};
  for (QWidget* widget : watched) Hover->Watch(widget);
  for (QPushButton* button : Button) Hover->Watch(button);
  for (LimitedEdit* edit : Edit) Hover->Watch(edit);
}

void MainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const std::optional<WindowLayout> layout =
      layoutState_.Resized(width(), height(), MainStrCmd->width());
  if (layout) ApplyLayout(layout->horizontal, layout->vertical);
}

void MainForm::FilePanelShownChanged(bool shown) {
  const Span span = layoutState_.SetFilePanelShown(shown);
  STListName->setGeometry(span.left, STListName->y(), std::max(0, span.width),
                          STListName->height());
}

namespace {

void SetSpan(QWidget* widget, const Span& span) {
  // Qt cannot show a negative width; such a control simply vanishes.
  SetGeometry(widget, {span.left, widget->y(), std::max(0, span.width), widget->height()});
}

}  // namespace

void MainForm::ApplyLayout(const HorizontalLayout& horizontal, const VerticalLayout& vertical) {
  for (std::size_t i = 0; i < kPlacedCount; ++i) SetSpan(placed_[i], horizontal.placed[i]);
  for (std::size_t i = 0; i < Button.size(); ++i) {
    SetSpan(Button[i], horizontal.buttons[i]);
    SetSpan(Edit[i], horizontal.edits[i]);
  }
  for (std::size_t i = 0; i < STH.size(); ++i) SetSpan(STH[i], horizontal.helpLines[i]);

  const int logHeight = std::max(0, vertical.logHeight);
  MainWindow->setGeometry(MainWindow->x(), vertical.logTop, MainWindow->width(), logHeight);
  SecondWindow->setGeometry(SecondWindow->x(), vertical.logTop, SecondWindow->width(), logHeight);
  LogPanel->move(LogPanel->x(), vertical.logPanelTop);
  MainPanel->move(MainPanel->x(), vertical.mainPanelTop);
}

}  // namespace velmora::ui
