#include "ui/file_error_report.h"

#include <QString>

#include "ui/dialogs.h"
#include "ui/text_codec.h"

namespace velmora::ui {

void ReportFileError(UserDialogs& dialogs, const FileError& error) {
  dialogs.ShowMessage(ToQString(error.Message()));
}

}  // namespace velmora::ui
