#pragma once

#include <QObject>

#include "common/bytes.h"
#include "transmit/sent_history.h"

class QKeyEvent;
class QListWidget;
class QPushButton;

namespace velmora::ui {

class ClickableLabel;
class CommandTarget;

// The controls of the history lists.
struct HistoryListsControls {
  QListWidget* FastOldCmd;
  QListWidget* LBTail;
  QListWidget* OldCmdList;
  ClickableLabel* Str1;
  ClickableLabel* Str2;
  QPushButton* OldCommandsBT;
};

// The sent-command history as the window offers it: the drop-down under the
// console line (`FastOldCmd`), the panel list (`OldCmdList`), the tail's
// checksum-template picker (`LBTail`), and the keys of the drop-downs. It
// owns the state "the history panel is shown" (`HistoryPanelShown`).
class HistoryLists : public QObject {
  Q_OBJECT

 public:
  HistoryLists(const HistoryListsControls& controls, SentHistory& history, CommandTarget& target);

  // Refills both lists from the history, newest first, without empty slots.
  void ReadOldCmd();
  // Start-up: appends the loaded non-empty entries to both lists as they are.
  void AppendLoadedHistory();
  // A command was recorded: refresh the lists while the history panel shows.
  void HistoryRecorded();

  bool HistoryPanelShown() const { return historyPanelShown_; }
  // The command-file panel sets the flag as it is entered and left.
  void SetHistoryPanelShown(bool shown) { historyPanelShown_ = shown; }

  // The console asks: Down in the console line refills and opens the
  // drop-down, Down in the tail opens the template picker.
  void OpenConsoleDropDown();
  void OpenTailDropDown();

  // Handlers.
  void Str1Click();
  void Str2Click();
  void OldCmdListClick();
  void OldCommandsBTClick();

 signals:
  // The history panel was shown or hidden; it takes the place of the macro
  // list controls and of the command-file button.
  void HistoryPanelToggled(bool shown);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Enter and Esc in FastOldCmd (owner: the console line) and LBTail (the
  // tail).
  bool DropDownKeyPress(QListWidget* list, const QKeyEvent* key);
  void ToggleDropDown(QListWidget* list);
  // Shows a drop-down and gives it the focus.
  void OpenDropDown(QListWidget* list);
  // Hides it and gives the focus back to the edit it belongs to.
  void CloseDropDown(QListWidget* list);
  void OnOldCmdListRowChanged(int row);

  HistoryListsControls c_;
  SentHistory& history_;
  CommandTarget& target_;
  bool historyPanelShown_ = false;
  // OldCommandsBT's two states: the history panel is shown (1) or not (0).
  bool oldCommandsTag_ = false;
  // A mouse button is down on OldCmdList: the selection follows the mouse,
  // and the click, not each move, is the user's choice.
  bool oldCmdListMouseDown_ = false;
  bool oldCmdListBusy_ = false;
};

}  // namespace velmora::ui
