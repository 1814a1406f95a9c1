#pragma once

#include <QMainWindow>

namespace velmora::ui {

class MainForm;
class UserDialogs;

// The main window: a frame around the form, without menu or status bar. The
// handlers and the timers live here.
class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(UserDialogs& dialogs, QWidget* parent = nullptr);

  MainForm& Form() { return *form_; }
  UserDialogs& Dialogs() { return dialogs_; }

 private:
  UserDialogs& dialogs_;
  MainForm* form_;
};

}  // namespace velmora::ui
