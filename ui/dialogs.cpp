#include "ui/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "ui/info_window.h"
#include "ui/macro_editor_window.h"
#include "ui/open_port_error_window.h"

namespace velmora::ui {

void QtUserDialogs::ShowMessage(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velmora"), text, QMessageBox::Ok, owner_);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void QtUserDialogs::ShowPortError() {
  if (portError_ != nullptr) portError_->exec();
}

void QtUserDialogs::ShowInfo() {
  if (info_ != nullptr) info_->exec();
}

void QtUserDialogs::EditMacro(const MacroEditRequest& request) {
  if (macroEditor_ != nullptr) macroEditor_->EditMacro(request);
}

QString QtUserDialogs::ChooseCommandFile() { return QFileDialog::getOpenFileName(owner_); }

}  // namespace velmora::ui
