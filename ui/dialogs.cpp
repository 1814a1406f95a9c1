#include "ui/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui/info_window.h"
#include "ui/macro_editor_window.h"
#include "ui/open_port_error_window.h"

namespace velmora::ui {

void QtUserDialogs::ShowMessage(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velmora"), text, QMessageBox::Ok, owner_);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool QtUserDialogs::AskYesNo(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velmora"), text,
                  QMessageBox::Yes | QMessageBox::No, owner_);
  box.setTextFormat(Qt::PlainText);
  // Set here: no translation of the standard buttons is loaded.
  box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
  box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
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

// Qt's own dialog: a desktop's native one runs a loop of its own, in which
// the window's timers and the port's notifications would wait until it closes
// (the event loop is not GLib's, see main.cpp), and received bytes with them.
QString QtUserDialogs::ChooseCommandFile() {
  return QFileDialog::getOpenFileName(owner_, QString(), QString(), QString(), nullptr,
                                      QFileDialog::DontUseNativeDialog);
}

}  // namespace velmora::ui
