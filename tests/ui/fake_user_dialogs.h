#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "ui/dialogs.h"
#include "ui/macro_editor_window.h"

namespace velmora::ui {

// Answers the window's modal questions in tests and records what was shown.
class FakeUserDialogs : public UserDialogs {
 public:
  void ShowMessage(const QString& text) override { messages.append(text); }
  bool AskYesNo(const QString& text) override {
    questions.append(text);
    return answerYes;
  }
  void ShowPortError() override {
    ++portErrors;
    // What the user could do while the modal window is open.
    if (whilePortErrorShown) whilePortErrorShown();
  }
  void ShowInfo() override { ++infos; }
  void EditMacro(const MacroEditRequest& request) override {
    ++macroEdits;
    // What the user types while the editor is open.
    if (whileMacroEditorShown) whileMacroEditorShown(request);
  }
  QString ChooseCommandFile() override { return commandFile; }

  QStringList messages;
  QStringList questions;
  bool answerYes = false;  // the answer to every question
  int portErrors = 0;
  int infos = 0;
  int macroEdits = 0;
  QString commandFile;  // what the next file choice answers; empty: cancelled
  std::function<void()> whilePortErrorShown;
  std::function<void(const MacroEditRequest&)> whileMacroEditorShown;
};

}  // namespace velmora::ui
