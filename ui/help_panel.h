#pragma once

#include <array>

#include "app/help_texts.h"
#include "layout/layout_pass.h"

class QLabel;
class QString;

namespace velmora::ui {

// The help panel's twelve lines, STH1..STH12.
struct HelpPanelControls {
  std::array<QLabel*, kHelpLineCount> STH;
};

// The help panel: the fixed help texts and the macro slots' help lines.
class HelpPanel {
 public:
  // Numbers the lines (property "tag" 1..12).
  explicit HelpPanel(const HelpPanelControls& controls);

  // The labels each show their line as plain text, exactly: doubled and
  // trailing blanks and hyphenations stay.
  void ShowHelpText(const HelpPanelText& text);
  // The introduction the panel shows after start-up.
  void OutHelpHelp();
  // Empties all 12 lines.
  void ClearHelp();
  // One of the 13 topics (OutHelpConnect .. OutHelpCiklSend).
  void ShowTopic(HelpTopic topic);
  // The caption of STHk (k = 1..12) and writing it, for the macro editor.
  QString Line(int k) const;
  void SetLine(int k, const QString& text);
  // Line k (1..12) of a macro slot's help.
  void ShowLine(int k, const Bytes& text);

 private:
  HelpPanelControls c_;
};

}  // namespace velmora::ui
