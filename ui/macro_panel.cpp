#include "ui/macro_panel.h"

// Placeholder bodies; the macro panel is being written.
namespace velmora::ui {

MacroPanel::MacroPanel(MainForm& form, UserDialogs& dialogs, CmdListStore& store, SendFunction send,
                       std::string cmdConfigPath)
    : form_(form),
      dialogs_(dialogs),
      store_(store),
      send_(std::move(send)),
      cmdConfigPath_(std::move(cmdConfigPath)) {}
bool MacroPanel::LoadListCmd() { return true; }
void MacroPanel::AttachSlotHandlers() {}
void MacroPanel::ReadListCmd(int) {}
void MacroPanel::WriteListCmd() {}
void MacroPanel::ClrListCmd() {}
bool MacroPanel::SaveListCmd() { return false; }
void MacroPanel::RBNameClick() {}
void MacroPanel::RbDataClick() {}
void MacroPanel::ButtonCmdClick(int) {}
void MacroPanel::ShowSlotHelp(int) {}
void MacroPanel::SaveEditTextCmd(int) {}
void MacroPanel::EditAllCmdClick() {}
void MacroPanel::SaveFClick() {}
void MacroPanel::DelListClick() {}
void MacroPanel::ListIncClick() {}
void MacroPanel::ListDecClick() {}
void MacroPanel::CBListsSelect(int) {}
void MacroPanel::CBListsDblClick() {}
void MacroPanel::STListNameDblClick() {}

}  // namespace velmora::ui
