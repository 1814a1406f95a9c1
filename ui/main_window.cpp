#include "ui/main_window.h"

#include <QPushButton>

#include "ui/main_form.h"

namespace velmora::ui {

TForm1::TForm1(UserDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), form_(new MainForm(this)) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QStringLiteral("Velmora v1.10"));
  setCentralWidget(form_);
  resize(kDesignClientWidth, kDesignClientHeight);
  form_->BTConnect->setFocus();
}

}  // namespace velmora::ui
