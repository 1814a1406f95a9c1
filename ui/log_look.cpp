#include "ui/log_look.h"

#include <QListWidget>

#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"

namespace velmora::ui {

void PaintLogControls(const LogLookControls& form, const LogLook& look) {
  QWidget* const painted[] = {form.MainStrCmd, form.FastOldCmd, form.AddStrCmd,
                              form.OldCmdList, form.LBTail,     form.MainWindow};
  for (QWidget* widget : painted) SetBackground(widget, look.color);
  for (QWidget* widget : painted) SetTextColor(widget, look.fontColor);
}

void ApplyLogFontSize(const LogLookControls& form, std::int32_t points) {
  form.MainWindow->SetLogFontPointSize(points);
  form.SecondWindow->SetLogFontPointSize(points);
}

}  // namespace velmora::ui
