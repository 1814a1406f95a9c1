#include "ui/widgets/up_down_arrows.h"

#include <QToolButton>

namespace velmora::ui {

UpDownArrows::UpDownArrows(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* button : {up_, down_}) {
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(false);
  }
  connect(up_, &QToolButton::clicked, this, [this] { emit clicked(true); });
  connect(down_, &QToolButton::clicked, this, [this] { emit clicked(false); });
}

void UpDownArrows::resizeEvent(QResizeEvent* /*event*/) {
  const int upper = height() / 2;
  up_->setGeometry(0, 0, width(), upper);
  down_->setGeometry(0, upper, width(), height() - upper);
}

}  // namespace velmora::ui
