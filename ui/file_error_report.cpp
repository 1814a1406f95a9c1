#include "ui/file_error_report.h"

#include <QString>

#include "ui/dialogs.h"

namespace velmora::ui {

void ReportFileError(UserDialogs& dialogs, const FileError& error) {
  // The file names are ASCII and the reason comes from the system in its own
  // locale, so this is no 1251 text.
  dialogs.ShowMessage(QString::fromLocal8Bit(error.Message()));
}

}  // namespace velmora::ui
