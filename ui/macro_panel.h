#pragma once

#include <QObject>
#include <array>
#include <functional>
#include <string>

#include "common/bytes.h"
#include "layout/layout_pass.h"
#include "macros/cmd_list_store.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

namespace velmora::ui {

class ClickableLabel;
class CommandTarget;
class DoubleClickComboBox;
class HelpPanel;
class HoverTracker;
class LimitedEdit;
class UserDialogs;

// The controls of the macro panel: the view switch, the list controls, the
// editor's controls and the 48 slots (slot m is index m - 1).
struct MacroPanelControls {
  QRadioButton* RBName;
  QRadioButton* RbData;
  QPushButton* EditAllCmd;
  QPushButton* SaveF;
  QPushButton* DelList;
  QPushButton* ListInc;
  QPushButton* ListDec;
  DoubleClickComboBox* CBLists;
  ClickableLabel* STListName;
  LimitedEdit* ListNameEDT;
  QLabel* STLog;
  QLabel* StaticText1;
  std::array<QPushButton*, kMacroSlots> Button;
  std::array<LimitedEdit*, kMacroSlots> Edit;
  // Mouse movement over the slots.
  HoverTracker* Hover;
};

// The lower panel's 48 macro slots and the list controls above them: shows
// one list of the store (`CurList`), sends or copies a slot's command line,
// switches between names and command lines, and edits lists in place in the
// editor view. The store reaches "CmdConfig" only through SaveListCmd.
class MacroPanel : public QObject {
  Q_OBJECT

 public:
  // A slot's command goes to `target`; its help lines to `help`.
  MacroPanel(const MacroPanelControls& controls, UserDialogs& dialogs, CmdListStore& store,
             CommandTarget& target, HelpPanel& help, std::string cmdConfigPath = "CmdConfig");

  // Start-up: reads "CmdConfig" or rebuilds it (message first), then shows
  // list 1. Returns false after a file-system error, which it has reported.
  bool LoadListCmd();
  // Start-up, after LoadListCmd: gives the 48 slots their handlers. A second
  // call does nothing.
  void AttachSlotHandlers();
  bool ListsLoaded() const { return listsLoaded_; }
  bool SlotHandlersAttached() const { return slotHandlersAttached_; }

  // Shows list n. Every caller passes CurList(): once the handlers are
  // attached, each edit writes what it is given back into CurList().
  void ReadListCmd(int n);
  void WriteListCmd();
  void ClrListCmd();
  // Stores the panel and writes the whole store; refuses (with a message)
  // when the store was not loaded completely. Returns whether it saved.
  bool SaveListCmd();

  int CurList() const { return curList_; }
  int CurCmd() const { return curCmd_; }
  // The macro last edited (1..48), set by the macro editor's double click.
  void SetCurCmd(int m) { curCmd_ = m; }
  bool EditorMode() const { return editorMode_; }

  // Handlers.
  void RBNameClick();
  void RbDataClick();
  void ButtonCmdClick(int m);
  void ShowSlotHelp(int m);  // ButtonCmdHelp, EditCmdHelp and ShowHelpAsFocus
  void SaveEditTextCmd(int m);
  void EditAllCmdClick();
  void SaveFClick();
  void DelListClick();
  void ListIncClick();
  void ListDecClick();
  void CBListsSelect(int index);
  void CBListsDblClick();
  void STListNameDblClick();
  // The history panel was shown or hidden: it takes the place of the view
  // switch and of the list controls.
  void HistoryPanelToggled(bool shown);

  // Call point of the macro editor window (double click on a slot's edit).
  std::function<void(int m)> showWindowEdtHelp;
  // Whether the send-from-file view is active (then STListName shows the
  // command file's name and its double click does nothing). The send
  // automation owns that state; the window wires this to it.
  std::function<bool()> filePanelShown;

 signals:
  // The editor view was entered (true) or left.
  void EditorShown(bool editor);

 protected:
  // Focus entering a slot's edit and its double click.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class View { Names, CommandLines };

  // The slot (1..48) whose button or edit `widget` is; 0 for anything else.
  int SlotOf(const QObject* widget) const;
  void OnSlotButtonClicked();
  void OnSlotTextChanged();
  void OnMouseMoved(QWidget* widget);
  void ShowSlot(int n, int m, bool names);
  void SetEditorControlsShown(bool editor);
  void SetSlotsShown(bool edits);
  void SetArrows();
  void ReportSaveError(const SaveResult& result);

  MacroPanelControls c_;
  UserDialogs& dialogs_;
  CmdListStore& store_;
  CommandTarget& target_;
  HelpPanel& help_;
  std::string cmdConfigPath_;
  int curList_ = 1;
  int curCmd_ = 0;
  bool editorMode_ = false;
  bool listsLoaded_ = false;
  bool slotHandlersAttached_ = false;
  // The view the last RBName / RbData handler showed: a click on the radio
  // button already checked is no switch and runs nothing.
  View shownView_ = View::Names;
};

}  // namespace velmora::ui
