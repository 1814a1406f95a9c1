#pragma once

#include "app/help_texts.h"

namespace velmora::ui {

class MainForm;

// The labels STH1..STH12 each show their line as plain text, exactly:
// doubled and trailing blanks and hyphenations stay.
void ShowHelpText(MainForm& form, const HelpPanelText& text);

// The introduction the panel shows after start-up.
void OutHelpHelp(MainForm& form);

}  // namespace velmora::ui
