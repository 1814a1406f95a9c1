#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "ui/dialogs.h"

namespace velmora::ui {

// Answers the window's modal questions in tests and records what was shown.
class FakeUserDialogs : public UserDialogs {
 public:
  void ShowMessage(const QString& text) override { messages.append(text); }
  void ShowPortError() override {
    ++portErrors;
    // What the user could do while the modal window is open.
    if (whilePortErrorShown) whilePortErrorShown();
  }
  void ShowInfo() override { ++infos; }
  QString ChooseCommandFile() override { return commandFile; }

  QStringList messages;
  int portErrors = 0;
  int infos = 0;
  QString commandFile;  // what the next file choice answers; empty: cancelled
  std::function<void()> whilePortErrorShown;
};

}  // namespace velmora::ui
