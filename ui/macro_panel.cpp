#include "ui/macro_panel.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>

#include "ui/dialogs.h"
#include "ui/file_error_report.h"
#include "ui/main_form.h"
#include "ui/text_codec.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/double_click_combo_box.h"
#include "ui/widgets/hover_tracker.h"
#include "ui/widgets/limited_edit.h"

namespace velmora::ui {
namespace {

// What the user may type into a slot's edit in each view; texts the program
// shows are never cut (the store holds 51 and 251 characters).
constexpr int kNameTypingLimit = 50;
constexpr int kCommandLineTypingLimit = 250;

// A button shows '&' literally instead of taking it as a keyboard mnemonic.
QString ButtonCaption(const Bytes& text) {
  return ToQString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// A tooltip is rendered as rich text when it looks like markup ("<b>x");
// such a text is shown as the characters it is.
QString PlainToolTip(const Bytes& text) {
  const QString tip = ToQString(text);
  if (!Qt::mightBeRichText(tip)) return tip;
  return QStringLiteral("<p style='white-space:pre'>") + tip.toHtmlEscaped() +
         QStringLiteral("</p>");
}

void SetBold(QWidget* widget, bool bold) {
  QFont font = widget->font();
  font.setBold(bold);
  widget->setFont(font);
}

}  // namespace

MacroPanel::MacroPanel(MainForm& form, UserDialogs& dialogs, CmdListStore& store, SendFunction send,
                       std::string cmdConfigPath)
    : form_(form),
      dialogs_(dialogs),
      store_(store),
      send_(std::move(send)),
      cmdConfigPath_(std::move(cmdConfigPath)) {
  // clicked, not toggled: it comes once, after the new button is checked;
  // restoring the command-line view calls RbDataClick itself.
  connect(form_.RBName, &QRadioButton::clicked, this, [this] {
    if (shownView_ != View::Names) RBNameClick();
  });
  connect(form_.RbData, &QRadioButton::clicked, this, [this] {
    if (shownView_ != View::CommandLines) RbDataClick();
  });
  connect(form_.EditAllCmd, &QPushButton::clicked, this, [this] { EditAllCmdClick(); });
  connect(form_.SaveF, &QPushButton::clicked, this, [this] { SaveFClick(); });
  connect(form_.DelList, &QPushButton::clicked, this, [this] { DelListClick(); });
  connect(form_.ListInc, &QPushButton::clicked, this, [this] { ListIncClick(); });
  connect(form_.ListDec, &QPushButton::clicked, this, [this] { ListDecClick(); });
  // activated: the user's choice only, not the refill of ReadListCmd.
  connect(form_.CBLists, &QComboBox::activated, this, [this](int index) { CBListsSelect(index); });
  connect(form_.CBLists, &DoubleClickComboBox::doubleClicked, this, [this] { CBListsDblClick(); });
  connect(form_.STListName, &ClickableLabel::doubleClicked, this, [this] { STListNameDblClick(); });
}

bool MacroPanel::LoadListCmd() {
  const LoadResult loaded = store_.Load(cmdConfigPath_);
  if (loaded.error) {
    ReportFileError(dialogs_, *loaded.error);
    return false;
  }
  if (loaded.needsRebuild) {
    dialogs_.ShowMessage(QStringLiteral("Проблема с файлом конфигурации, он будет перезаписан"));
    store_.Rebuild();
    const SaveResult saved = store_.Save(cmdConfigPath_);
    if (!saved.Ok()) {
      ReportSaveError(saved);
      return false;
    }
  }
  listsLoaded_ = true;
  curList_ = 1;
  ReadListCmd(curList_);
  return true;
}

void MacroPanel::AttachSlotHandlers() {
  if (slotHandlersAttached_) return;
  slotHandlersAttached_ = true;
  for (std::size_t i = 0; i < form_.Button.size(); ++i) {
    connect(form_.Button[i], &QPushButton::clicked, this, &MacroPanel::OnSlotButtonClicked);
    connect(form_.Edit[i], &QLineEdit::textChanged, this, &MacroPanel::OnSlotTextChanged);
    form_.Edit[i]->installEventFilter(this);
  }
  // The form watches every button and edit of the grid, with mouse tracking
  // on, so a move without a pressed button is reported.
  connect(form_.Hover, &HoverTracker::mouseMoved, this,
          [this](QWidget* widget, QPoint) { OnMouseMoved(widget); });
}

int MacroPanel::SlotOf(const QObject* widget) const {
  if (widget == nullptr) return 0;
  const int m = widget->property("slot").toInt();
  if (m < 1 || m > kMacroCount) return 0;
  const auto i = static_cast<std::size_t>(m - 1);
  return (widget == form_.Button[i] || widget == form_.Edit[i]) ? m : 0;
}

void MacroPanel::OnSlotButtonClicked() {
  if (const int m = SlotOf(sender())) ButtonCmdClick(m);
}

void MacroPanel::OnSlotTextChanged() {
  if (const int m = SlotOf(sender())) SaveEditTextCmd(m);
}

void MacroPanel::OnMouseMoved(QWidget* widget) {
  if (const int m = SlotOf(widget)) ShowSlotHelp(m);
}

bool MacroPanel::eventFilter(QObject* watched, QEvent* event) {
  const int m = SlotOf(watched);
  if (m != 0 && event->type() == QEvent::FocusIn) ShowSlotHelp(m);
  if (m != 0 && event->type() == QEvent::MouseButtonDblClick && showWindowEdtHelp) {
    showWindowEdtHelp(m);
  }
  return QObject::eventFilter(watched, event);
}

void MacroPanel::ShowSlot(int n, int m, bool names) {
  const auto i = static_cast<std::size_t>(m - 1);
  QPushButton* button = form_.Button[i];
  LimitedEdit* edit = form_.Edit[i];
  const Bytes name = store_.GetCmdName(n, m);
  const Bytes data = store_.GetCmdData(n, m);
  const Bytes& shown = names ? name : data;
  const Bytes& hint = names ? data : name;
  SetBold(button, names);
  SetBold(edit, names);
  button->setText(ButtonCaption(shown));
  button->setToolTip(PlainToolTip(hint));
  edit->setToolTip(PlainToolTip(hint));
  // Last: with the handlers attached this stores the same text back.
  edit->setText(ToQString(shown));
}

void MacroPanel::ReadListCmd(int n) {
  const bool names = form_.RBName->isChecked();
  for (int m = 1; m <= kMacroCount; ++m) ShowSlot(n, m, names);
  const QString listName = ToQString(store_.EnsureListName(n));
  form_.STListName->setText(listName);
  form_.ListNameEDT->setText(listName);
  form_.CBLists->clear();
  for (int list = 1; list <= kListCount; ++list) {
    form_.CBLists->addItem(ToQString(store_.GetListName(list)));
  }
  form_.CBLists->setCurrentIndex(n - 1);
}

void MacroPanel::WriteListCmd() {
  store_.SetListName(curList_, ToBytes(form_.ListNameEDT->text()));
  for (int m = 1; m <= kMacroCount; ++m) {
    const Bytes text = ToBytes(form_.Edit[static_cast<std::size_t>(m - 1)]->text());
    if (form_.RBName->isChecked()) store_.SetCmdName(curList_, m, text);
    if (form_.RbData->isChecked()) store_.SetCmdData(curList_, m, text);
  }
}

void MacroPanel::ClrListCmd() { store_.ClrListCmd(curList_); }

bool MacroPanel::SaveListCmd() {
  WriteListCmd();
  const SaveResult saved = store_.Save(cmdConfigPath_);
  if (!saved.Ok()) ReportSaveError(saved);
  return saved.Ok();
}

void MacroPanel::ReportSaveError(const SaveResult& result) {
  ReportFileError(dialogs_, *result.error);
}

void MacroPanel::RBNameClick() {
  shownView_ = View::Names;
  for (LimitedEdit* edit : form_.Edit) edit->SetUserMaxLength(kNameTypingLimit);
  ReadListCmd(curList_);
}

void MacroPanel::RbDataClick() {
  shownView_ = View::CommandLines;
  for (LimitedEdit* edit : form_.Edit) edit->SetUserMaxLength(kCommandLineTypingLimit);
  ReadListCmd(curList_);
}

void MacroPanel::ButtonCmdClick(int m) {
  // The command line, also while the buttons show the names.
  const Bytes command = store_.GetCmdData(curList_, m);
  if (form_.RBSel->isChecked()) {
    send_(command);
    form_.ButtonSend->setFocus();
  } else {
    form_.MainStrCmd->setText(ToQString(command));
    form_.MainStrCmd->setFocus();
  }
}

void MacroPanel::ShowSlotHelp(int m) {
  for (int k = 1; k <= kHelpLines; ++k) {
    form_.STH[static_cast<std::size_t>(k - 1)]->setText(
        ToQString(store_.GetCmdHelp(curList_, m, k)));
  }
}

void MacroPanel::SaveEditTextCmd(int m) {
  curCmd_ = m;
  // The edit's text, not the signal's: a cut to the typing limit has already
  // been applied.
  const Bytes text = ToBytes(form_.Edit[static_cast<std::size_t>(m - 1)]->text());
  if (form_.RBName->isChecked()) store_.SetCmdName(curList_, m, text);
  if (form_.RbData->isChecked()) store_.SetCmdData(curList_, m, text);
}

void MacroPanel::SetEditorControlsShown(bool editor) {
  form_.CBLists->setVisible(!editor);
  form_.ListNameEDT->setVisible(editor);
  form_.DelList->setVisible(editor);
  form_.ListInc->setVisible(editor);
  form_.ListDec->setVisible(editor);
  form_.STLog->setVisible(!editor);
  form_.SaveF->setVisible(editor);
  form_.StaticText1->setVisible(editor);
  form_.ButtonReadFile->setVisible(!editor);
}

void MacroPanel::SetSlotsShown(bool edits) {
  for (QPushButton* button : form_.Button) button->setVisible(!edits);
  for (LimitedEdit* edit : form_.Edit) edit->setVisible(edits);
}

void MacroPanel::EditAllCmdClick() {
  if (!editorMode_) {
    editorMode_ = true;
    form_.EditAllCmd->setText(QStringLiteral("Назад"));
    SetEditorControlsShown(true);
    ReadListCmd(curList_);
    SetSlotsShown(true);
    form_.ListNameEDT->setText(ToQString(store_.GetListName(curList_)));
    return;
  }
  editorMode_ = false;
  form_.EditAllCmd->setText(QStringLiteral("Редактор"));
  store_.SetListName(curList_, ToBytes(form_.ListNameEDT->text()));
  form_.ListNameEDT->hide();
  form_.STListName->setText(ToQString(store_.GetListName(curList_)));
  form_.STListName->hide();
  form_.CBLists->show();
  SetEditorControlsShown(false);
  WriteListCmd();
  ReadListCmd(curList_);
  SetSlotsShown(false);
  SaveListCmd();
}

void MacroPanel::SaveFClick() {
  form_.SaveF->setEnabled(false);
  SaveListCmd();
  form_.SaveF->setEnabled(true);
}

void MacroPanel::DelListClick() {
  ClrListCmd();
  ReadListCmd(curList_);
}

void MacroPanel::ListIncClick() {
  form_.ListDec->setEnabled(true);
  if (editorMode_) WriteListCmd();
  if (curList_ < kListCount) {
    ++curList_;
    ReadListCmd(curList_);
    if (curList_ == kListCount) form_.ListInc->setEnabled(false);
  }
}

void MacroPanel::ListDecClick() {
  form_.ListInc->setEnabled(true);
  if (editorMode_) WriteListCmd();
  if (curList_ > 1) {
    --curList_;
    ReadListCmd(curList_);
    if (curList_ == 1) form_.ListDec->setEnabled(false);
  }
}

void MacroPanel::SetArrows() {
  form_.ListDec->setEnabled(curList_ > 1);
  form_.ListInc->setEnabled(curList_ < kListCount);
}

void MacroPanel::CBListsSelect(int index) {
  if (index < 0 || index >= kListCount) return;
  curList_ = index + 1;
  ReadListCmd(curList_);
  SetArrows();
}

void MacroPanel::CBListsDblClick() {
  form_.CBLists->hide();
  form_.STListName->setText(ToQString(store_.GetListName(curList_)));
  form_.STListName->show();
}

void MacroPanel::STListNameDblClick() {
  if (filePanelShown && filePanelShown()) return;
  form_.CBLists->show();
  form_.STListName->hide();
}

}  // namespace velmora::ui
