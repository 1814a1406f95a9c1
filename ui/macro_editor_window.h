#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

#include "macros/cmd_list_store.h"

class QLabel;
class QLineEdit;

namespace velmora::ui {

class LimitedEdit;
class UserDialogs;

// One edit of one macro: where its name and command line live, and the main
// window's help panel, through which its help lines pass.
struct MacroEditRequest {
  CmdListStore* store = nullptr;
  int list = 1;   // CurList
  int macro = 1;  // CurCmd, 1..48
  // The caption of STHk (k = 1..12) and writing it.
  std::function<QString(int k)> panelLine;
  std::function<void(int k, const QString& text)> setPanelLine;
};

// The macro editor "Редактор макроса": the name, the command line and the 12
// help lines of one macro. Name and command line are written into the store
// with every change; each help-line edit writes its line of the main
// window's help panel as it changes, and the caller stores the panel into
// the macro after the window has closed (StoreHelpLinesFromPanel). There is
// no cancel. Enter moves through the fields and closes the window after the
// last; the close box ends the edit the same way; Esc does nothing.
//
// The window is created once and reused; the opening steps (fill the
// fields, focus the name, centre) run once per opening in Open, never on
// activation, which comes again after every switch between windows.
class TFormEditHelpCmd : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kHelpEdits = 12;
  static constexpr int kNameTypingLimit = 50;
  static constexpr int kCommandLineTypingLimit = 250;
  static constexpr int kHelpLineTypingLimit = 50;
  // The client area the window is built with, and the fields' width in it.
  static constexpr int kDesignWidth = 420;
  static constexpr int kDesignHeight = 430;
  static constexpr int kDesignFieldWidth = 404;

  explicit TFormEditHelpCmd(QWidget* parent = nullptr);

  // The whole modal edit: Open, then wait until the window closes.
  void EditMacro(const MacroEditRequest& request);
  // The opening steps, then shows the window (application-modal) and
  // returns at once; editFinished tells when it has closed.
  void Open(const MacroEditRequest& request);
  bool Editing() const { return editing_; }

  QLineEdit* CmdName() const;
  QLineEdit* CmdData() const;
  QLineEdit* HelpEdit(int k) const;  // Edit1..Edit12, k = 1..12

 signals:
  // The window closed, by Enter in Edit12 or by its close box.
  void editFinished();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void done(int result) override;

 private:
  // The opening steps: the fields from the store and the panel, the focus
  // into CmdName, the window centred.
  void Prepare(const MacroEditRequest& request);
  // The 14 fields in the order Enter walks them: CmdName, CmdData, Edit1..12.
  int FieldIndex(const QObject* watched) const;
  QLineEdit* Field(int index) const;

  QLabel* label1_;
  QLabel* label2_;
  QLabel* label3_;
  LimitedEdit* cmdName_;
  LimitedEdit* cmdData_;
  std::array<LimitedEdit*, kHelpEdits> helpEdits_{};
  MacroEditRequest request_;
  bool filling_ = false;  // the opening sets the fields: no write-through
  bool editing_ = false;
};

// After the window has closed: the 12 lines of the help panel into the
// macro's help (each cut to 151 characters by the store).
void StoreHelpLinesFromPanel(const MacroEditRequest& request);

// The slot edit of the macro being edited is bright green (00FF00) in every
// palette group: the main window is inactive while the editor is open. Off,
// it takes the normal background of edit fields again.
void MarkSlotEdited(QLineEdit& edit, bool edited);

// The double click on a slot edit of the editor view, in its order:
// CurCmd := request.macro, the slot green, WriteListCmd, every help countdown zeroed, the
// modal editor (through UserDialogs::EditMacro), ReadListCmd, the panel's
// help lines stored into the macro, the slot's normal background.
struct MacroEditSteps {
  std::function<void(int m)> setCurCmd;
  std::function<QLineEdit*(int m)> slotEdit;
  std::function<void()> writeListCmd;
  std::function<void()> zeroHelpCountdowns;
  std::function<void()> readListCmd;
};
void ShowWindowEdtHelp(const MacroEditRequest& request, const MacroEditSteps& steps,
                       UserDialogs& dialogs);

}  // namespace velmora::ui
