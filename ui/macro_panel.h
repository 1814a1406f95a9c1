#pragma once

#include <QObject>
#include <functional>
#include <string>

#include "common/bytes.h"
#include "macros/cmd_list_store.h"

class QWidget;

namespace velmora::ui {

class MainForm;
class UserDialogs;

// The lower panel's 48 macro slots and the list controls above them: shows
// one list of the store (`CurList`), sends or copies a slot's command line,
// switches between names and command lines, and edits lists in place in the
// editor view. The store reaches "CmdConfig" only through SaveListCmd.
class MacroPanel : public QObject {
  Q_OBJECT

 public:
  using SendFunction = std::function<void(const Bytes& command)>;

  MacroPanel(MainForm& form, UserDialogs& dialogs, CmdListStore& store, SendFunction send,
             std::string cmdConfigPath = "CmdConfig");

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

  // Call point of the macro editor window (double click on a slot's edit).
  std::function<void(int m)> showWindowEdtHelp;
  // Whether the send-from-file view is active (then STListName shows the
  // command file's name and its double click does nothing).
  std::function<bool()> filePanelShown;

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

  MainForm& form_;
  UserDialogs& dialogs_;
  CmdListStore& store_;
  SendFunction send_;
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
