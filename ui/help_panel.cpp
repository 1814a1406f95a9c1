#include "ui/help_panel.h"

#include <QLabel>

#include "ui/main_form.h"
#include "ui/text_codec.h"

namespace velmora::ui {

void ShowHelpText(MainForm& form, const HelpPanelText& text) {
  static_assert(std::tuple_size_v<HelpPanelText> == kHelpLineCount);
  for (std::size_t i = 0; i < form.STH.size(); ++i) {
    form.STH[i]->setTextFormat(Qt::PlainText);
    form.STH[i]->setText(ToQString(text[i]));
  }
}

void OutHelpHelp(MainForm& form) { ShowHelpText(form, velmora::OutHelpHelp()); }

}  // namespace velmora::ui
