#pragma once

#include "storage/file_store.h"

namespace velmora::ui {

class UserDialogs;

// The general report of a failed operation on a state file: one message box
// naming the file and the system's reason, e.g.
// "Cfg: cannot write: No space left on device".
void ReportFileError(UserDialogs& dialogs, const FileError& error);

}  // namespace velmora::ui
