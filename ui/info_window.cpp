#include "ui/info_window.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include "ui/look.h"

namespace velmora::ui {

TInfo::TInfo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      description_(new QLabel(QStringLiteral("Терминал для работы с COM-портом"), this)),
      version_(new QLabel(QStringLiteral("Velmora v1.10"), this)),
      focusSink_(new QPushButton(this)) {
  setObjectName(QStringLiteral("TInfo"));
  setWindowTitle(QStringLiteral("Info"));
  setFont(UiFont(8));
  setFixedSize(581, 462);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);

  description_->setObjectName(QStringLiteral("Description"));
  description_->setFont(UiFont(10, true));
  description_->setAlignment(Qt::AlignCenter);
  description_->setGeometry(0, 16, 581, 20);
  version_->setObjectName(QStringLiteral("Version"));
  version_->setFont(UiFont(18, true));
  version_->setAlignment(Qt::AlignCenter);
  version_->setGeometry(0, 40, 581, 32);

  focusSink_->setObjectName(QStringLiteral("FocusSink"));
  focusSink_->setGeometry(0, 0, 1, 1);
  focusSink_->hide();
  CenterOnScreen(*this);
}

void TInfo::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    focusSink_->show();
    focusSink_->setFocus();
    focusSink_->hide();
  }
}

}  // namespace velmora::ui
