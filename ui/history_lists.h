#pragma once

#include <QObject>
#include <functional>

#include "common/bytes.h"
#include "transmit/sent_history.h"

class QKeyEvent;
class QLineEdit;
class QListWidget;
class QWidget;

namespace velmora::ui {

class MainForm;

// The sent-command history as the window offers it: the drop-down under the
// console line (`FastOldCmd`), the panel list (`OldCmdList`), the tail's
// checksum-template picker (`LBTail`), and the keys of the console, the tail
// and the drop-downs.
class HistoryLists : public QObject {
  Q_OBJECT

 public:
  using SendFunction = std::function<void(const Bytes& command)>;

  HistoryLists(MainForm& form, SentHistory& history, SendFunction send);

  // Refills both lists from the history, newest first, without empty slots.
  void ReadOldCmd();
  // Start-up: appends the loaded non-empty entries to both lists as they are.
  void AppendLoadedHistory();
  // A command was recorded: refresh the lists while the history panel shows.
  void HistoryRecorded();

  bool HistoryPanelShown() const { return historyPanelShown_; }
  bool FilePanelShown() const { return filePanelShown_; }
  void SetPanelFlags(bool historyShown, bool fileShown) {
    historyPanelShown_ = historyShown;
    filePanelShown_ = fileShown;
  }

  // Handlers.
  void Str1Click();
  void Str2Click();
  void OldCmdListClick();
  void OldCommandsBTClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool MainStrCmdKeyUp(const QKeyEvent* key);
  bool AddStrCmdKeyPress(const QKeyEvent* key);
  bool AddStrCmdKeyUp(const QKeyEvent* key);
  // Enter and Esc in FastOldCmd (owner: the console) and LBTail (the tail).
  bool DropDownKeyPress(QListWidget* list, QLineEdit* owner, const QKeyEvent* key);
  void ToggleDropDown(QListWidget* list);
  // Shows a drop-down and gives it the focus.
  void OpenDropDown(QListWidget* list);
  void CloseDropDown(QListWidget* list, QWidget* focusTo);
  void OnOldCmdListRowChanged(int row);

  MainForm& form_;
  SentHistory& history_;
  SendFunction send_;
  bool historyPanelShown_ = false;
  bool filePanelShown_ = false;
  // OldCommandsBT's two states: the history panel is shown (1) or not (0).
  bool oldCommandsTag_ = false;
  // A mouse button is down on OldCmdList: the selection follows the mouse,
  // and the click, not each move, is the user's choice.
  bool oldCmdListMouseDown_ = false;
  bool oldCmdListBusy_ = false;
};

}  // namespace velmora::ui
