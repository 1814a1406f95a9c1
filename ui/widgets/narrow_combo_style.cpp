#include "ui/widgets/narrow_combo_style.h"

#include <QApplication>
#include <QPointer>
#include <QStyleOption>

namespace velmora::ui {

QRect NarrowComboStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                       SubControl subControl, const QWidget* widget) const {
  if (control == CC_ComboBox && option != nullptr) {
    const QRect box = option->rect;
    switch (subControl) {
      case SC_ComboBoxArrow: {
        const QRect arrow(box.right() + 1 - kFrameWidth - kArrowWidth, box.top() + kFrameWidth,
                          kArrowWidth, box.height() - 2 * kFrameWidth);
        return visualRect(option->direction, box, arrow);
      }
      case SC_ComboBoxEditField: {
        const QRect field(box.left() + kFrameWidth, box.top() + kFrameWidth,
                          box.width() - 2 * kFrameWidth - kArrowWidth,
                          box.height() - 2 * kFrameWidth);
        return visualRect(option->direction, box, field);
      }
      default: break;
    }
  }
  return QProxyStyle::subControlRect(control, option, subControl, widget);
}

NarrowComboStyle* NarrowComboStyle::Shared() {
  static QPointer<NarrowComboStyle> shared;
  if (shared.isNull()) {
    shared = new NarrowComboStyle();
    shared->setParent(qApp);
  }
  return shared;
}

}  // namespace velmora::ui
