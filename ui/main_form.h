#pragma once

#include <QWidget>
#include <array>
#include <functional>
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

  // The layout pass for the current size. The form runs it itself after each
  // change of size, for the new size; until the first change the controls
  // keep their design geometry.
  void RunLayoutPass();
  // Whether the command-file panel is shown (it widens the list name box at
  // the next pass). The send automation owns that state; the window hands
  // the form its question. Without one the panel counts as hidden.
  void SetFilePanelQuery(std::function<bool()> filePanelShown) {
    filePanelShown_ = std::move(filePanelShown);
  }

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
  QLabel* TextTime;
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
  std::function<bool()> filePanelShown_;
  bool layoutPassRan_ = false;
};

}  // namespace velmora::ui
