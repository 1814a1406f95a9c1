#pragma once

#include <QProxyStyle>

namespace velmora::ui {

// The style of the port bar's narrow combo boxes: the application's style
// with a narrow drop-down button and a thin frame, so that the 11-pixel text
// of "115200" in a 62-pixel box, or "1,5" in a 38-pixel one, shows whole
// instead of scrolled to its tail. Everything else is drawn as the base
// style draws it.
class NarrowComboStyle : public QProxyStyle {
  Q_OBJECT

 public:
  static constexpr int kArrowWidth = 11;  // the drop-down button
  static constexpr int kFrameWidth = 1;   // around the edit field

  using QProxyStyle::QProxyStyle;

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                       SubControl subControl, const QWidget* widget) const override;

  // One instance for the whole run, owned by the application.
  static NarrowComboStyle* Shared();
};

}  // namespace velmora::ui
