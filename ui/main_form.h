#pragma once

#include <QWidget>
#include <array>
#include <utility>

#include "layout/layout_pass.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace velmora::ui {

class ClickableLabel;
class ClockLabel;
class DoubleClickComboBox;
class HoverTracker;
class LimitedEdit;
class LogWindow;
class UpDownArrows;

// The body of the main window: every control at its design geometry, with its
// design texts, hints, fonts, colours, visibility and enabled state. Each
// control's object name is its member's name ("Button1".."Button48",
// "Edit1".., "STH1".. for the arrays). It has no behaviour beyond its layout
// pass; the window wires the handlers.
//
// Every one-line edit is a LimitedEdit: its limit binds only what the user
// types, so the program can show a longer text whole.
class MainForm : public QWidget {
  Q_OBJECT

 public:
  explicit MainForm(QWidget* parent = nullptr);

  // The form lays itself out after each change of its size, for the new
  // size (WindowLayoutState); until the first real change the controls keep
  // their design geometry.
  const WindowLayoutState& LayoutState() const { return layoutState_; }
  // The command-file panel was shown or hidden (the send automation owns
  // that state): the list name box takes its width for it at once.
  void FilePanelShownChanged(bool shown);

  // Regions, in the form's coordinates.
  QFrame* Panel1;
  LogWindow* MainWindow;
  LogWindow* SecondWindow;
  QFrame* LogPanel;
  QFrame* MainPanel;

  // Port and log bar (in Panel1).
  QPushButton* BTConnect;
  QPushButton* BTRescan;
  QComboBox* ComPort;
  QComboBox* BaudRate;
  QComboBox* ComBits;
  QComboBox* ComStopBits;
  QCheckBox* AutoConnect;
  UpDownArrows* TimeOutRx;
  QLabel* TimeOutAns;
  LimitedEdit* FiltrLog;
  UpDownArrows* Srift;
  QLabel* SriftText;
  QPushButton* BTLog;
  QPushButton* StartLog;
  QPushButton* StartStop;
  QPushButton* BTPalitra;
  QPushButton* BtInfo;

  // Display and send options (in LogPanel).
  ClockLabel* TextTime;
  QFrame* OutMode;
  QCheckBox* VisTime;
  QRadioButton* RBASCII;
  QRadioButton* RBHEX;
  QFrame* InputMode;
  QLabel* Label1;
  QRadioButton* RBManual;
  QRadioButton* RBSel;
  QRadioButton* RBAfterAns;
  QRadioButton* RBPeriod;
  LimitedEdit* PeriodTX;
  QCheckBox* SendAsReconn;
  QCheckBox* CiklSend;
  QFrame* PStats;
  QLabel* LSend;
  QLabel* LRead;
  QLabel* MinTimeWait;
  QLabel* MaxTimeWait;
  QPushButton* BTClrStat;

  // Command area (in MainPanel).
  LimitedEdit* MainStrCmd;
  ClickableLabel* Str1;
  QLabel* LPlus;
  LimitedEdit* AddStrCmd;
  ClickableLabel* Str2;
  QListWidget* FastOldCmd;
  QListWidget* LBTail;
  DoubleClickComboBox* CBLists;
  ClickableLabel* STListName;
  LimitedEdit* ListNameEDT;
  QPushButton* EditAllCmd;
  QPushButton* SaveF;
  QPushButton* DelList;
  QPushButton* ListDec;
  QPushButton* ListInc;
  QPushButton* OldCommandsBT;
  QPushButton* ButtonReadFile;
  QPushButton* SendStart;
  QPushButton* ButtonSend;
  QRadioButton* RBName;
  QRadioButton* RbData;
  // Slot m is index m - 1; each carries its slot number in the property "slot".
  std::array<QPushButton*, kMacroSlots> Button;
  std::array<LimitedEdit*, kMacroSlots> Edit;
  QListWidget* OldCmdList;
  std::array<QLabel*, kHelpLineCount> STH;
  QLabel* STLog;
  QLabel* StaticText1;
  QLabel* StaticText3;

  // Mouse movement over the hover-help controls, the clearing areas and the
  // macro slots.
  HoverTracker* Hover;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildRegions();
  void BuildTopBar();
  void BuildLogPanel();
  void BuildCommandArea();
  void BuildMacroSlots();
  void WatchHover();
  void ApplyLayout(const HorizontalLayout& horizontal, const VerticalLayout& vertical);

  std::array<QWidget*, kPlacedCount> placed_{};
  WindowLayoutState layoutState_;
};

}  // namespace velmora::ui
