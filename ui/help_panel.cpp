#include "ui/help_panel.h"

#include <QLabel>

#include "ui/text_codec.h"

namespace velmora::ui {

HelpPanel::HelpPanel(const HelpPanelControls& controls) : c_(controls) {
  for (std::size_t i = 0; i < c_.STH.size(); ++i)
    c_.STH[i]->setProperty("tag", static_cast<int>(i) + 1);
}

void HelpPanel::ShowHelpText(const HelpPanelText& text) {
  static_assert(std::tuple_size_v<HelpPanelText> == kHelpLineCount);
  for (std::size_t i = 0; i < c_.STH.size(); ++i) {
    c_.STH[i]->setTextFormat(Qt::PlainText);
    c_.STH[i]->setText(ToQString(text[i]));
  }
}

void HelpPanel::OutHelpHelp() { ShowHelpText(velmora::OutHelpHelp()); }

void HelpPanel::ClearHelp() {
  for (QLabel* line : c_.STH) line->clear();
}

void HelpPanel::ShowTopic(HelpTopic topic) { ShowHelpText(HelpTopicText(topic)); }

QString HelpPanel::Line(int k) const { return c_.STH[static_cast<std::size_t>(k - 1)]->text(); }

void HelpPanel::SetLine(int k, const QString& text) {
  c_.STH[static_cast<std::size_t>(k - 1)]->setText(text);
}

void HelpPanel::ShowLine(int k, const Bytes& text) {
  c_.STH[static_cast<std::size_t>(k - 1)]->setText(ToQString(text));
}

}  // namespace velmora::ui
