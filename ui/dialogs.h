#pragma once

#include <QString>

class QWidget;

namespace velmora::ui {

class TInfo;
class TOpenPortError;
class TFormEditHelpCmd;
struct MacroEditRequest;

// Everything modal the terminal shows. The window asks through this interface
// so that tests can answer instead of a user.
class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // A message box with one OK button.
  virtual void ShowMessage(const QString& text) = 0;
  // A question with the buttons "Да" and "Нет"; true for "Да". "Нет" is the
  // default, and Esc or closing the box mean "Нет".
  virtual bool AskYesNo(const QString& text) = 0;
  // The picture window that asks for the port to be opened first.
  virtual void ShowPortError() = 0;
  virtual void ShowInfo() = 0;
  // The macro editor for one macro; returns when it has closed.
  virtual void EditMacro(const MacroEditRequest& request) = 0;
  // The chosen file's path, or an empty text when the user cancels.
  virtual QString ChooseCommandFile() = 0;
};

// The real thing: message boxes captioned "Velmora", the two windows, and the
// platform's file-open dialog without a file-type filter.
class QtUserDialogs : public UserDialogs {
 public:
  QtUserDialogs() = default;

  // The window the message boxes and the file dialog belong to.
  void SetOwner(QWidget* owner) { owner_ = owner; }
  // The secondary windows, created once at start-up.
  void SetWindows(TInfo* info, TOpenPortError* portError) {
    info_ = info;
    portError_ = portError;
  }
  void SetMacroEditor(TFormEditHelpCmd* editor) { macroEditor_ = editor; }

  void ShowMessage(const QString& text) override;
  bool AskYesNo(const QString& text) override;
  void ShowPortError() override;
  void ShowInfo() override;
  void EditMacro(const MacroEditRequest& request) override;
  QString ChooseCommandFile() override;

 private:
  QWidget* owner_ = nullptr;
  TInfo* info_ = nullptr;
  TOpenPortError* portError_ = nullptr;
  TFormEditHelpCmd* macroEditor_ = nullptr;
};

}  // namespace velmora::ui
