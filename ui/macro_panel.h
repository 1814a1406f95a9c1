#pragma once

#include <QObject>
#include <functional>
#include <string>

#include "common/bytes.h"
#include "macros/cmd_list_store.h"

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
  // Start-up, after LoadListCmd: gives the 48 slots their handlers.
  void AttachSlotHandlers();

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

 private:
  MainForm& form_;
  UserDialogs& dialogs_;
  CmdListStore& store_;
  SendFunction send_;
  std::string cmdConfigPath_;
  int curList_ = 1;
  int curCmd_ = 0;
  bool editorMode_ = false;
  bool slotHandlersAttached_ = false;
};

}  // namespace velmora::ui
