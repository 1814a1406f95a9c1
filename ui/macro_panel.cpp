#include "ui/macro_panel.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>

#include "ui/command_target.h"
#include "ui/dialogs.h"
#include "ui/file_error_report.h"
#include "ui/help_panel.h"
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

MacroPanel::MacroPanel(const MacroPanelControls& controls, UserDialogs& dialogs,
                       CmdListStore& store, CommandTarget& target, HelpPanel& help,
                       std::string cmdConfigPath)
    : c_(controls),
      dialogs_(dialogs),
      store_(store),
      target_(target),
      help_(help),
      cmdConfigPath_(std::move(cmdConfigPath)) {
  // clicked, not toggled: it comes once, after the new button is checked;
  // restoring the command-line view calls RbDataClick itself.
  connect(c_.RBName, &QRadioButton::clicked, this, [this] {
    if (shownView_ != View::Names) RBNameClick();
  });
  connect(c_.RbData, &QRadioButton::clicked, this, [this] {
    if (shownView_ != View::CommandLines) RbDataClick();
  });
  connect(c_.EditAllCmd, &QPushButton::clicked, this, [this] { EditAllCmdClick(); });
  connect(c_.SaveF, &QPushButton::clicked, this, [this] { SaveFClick(); });
  connect(c_.DelList, &QPushButton::clicked, this, [this] { DelListClick(); });
  connect(c_.ListInc, &QPushButton::clicked, this, [this] { ListIncClick(); });
  connect(c_.ListDec, &QPushButton::clicked, this, [this] { ListDecClick(); });
  // activated: the user's choice only, not the refill of ReadListCmd.
  connect(c_.CBLists, &QComboBox::activated, this, [this](int index) { CBListsSelect(index); });
  connect(c_.CBLists, &DoubleClickComboBox::doubleClicked, this, [this] { CBListsDblClick(); });
  connect(c_.STListName, &ClickableLabel::doubleClicked, this, [this] { STListNameDblClick(); });
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
  for (std::size_t i = 0; i < c_.Button.size(); ++i) {
    connect(c_.Button[i], &QPushButton::clicked, this, &MacroPanel::OnSlotButtonClicked);
    connect(c_.Edit[i], &QLineEdit::textChanged, this, &MacroPanel::OnSlotTextChanged);
    c_.Edit[i]->installEventFilter(this);
  }
  // The form watches every button and edit of the grid, with mouse tracking
  // on, so a move without a pressed button is reported.
  connect(c_.Hover, &HoverTracker::mouseMoved, this,
          [this](QWidget* widget, QPoint) { OnMouseMoved(widget); });
}

int MacroPanel::SlotOf(const QObject* widget) const {
  if (widget == nullptr) return 0;
  const int m = widget->property("slot").toInt();
  if (m < 1 || m > kMacroCount) return 0;
  const auto i = static_cast<std::size_t>(m - 1);
  return (widget == c_.Button[i] || widget == c_.Edit[i]) ? m : 0;
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
  QPushButton* button = c_.Button[i];
  LimitedEdit* edit = c_.Edit[i];
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
  const bool names = c_.RBName->isChecked();
  for (int m = 1; m <= kMacroCount; ++m) ShowSlot(n, m, names);
  const QString listName = ToQString(store_.EnsureListName(n));
  c_.STListName->setText(listName);
  c_.ListNameEDT->setText(listName);
  c_.CBLists->clear();
  for (int list = 1; list <= kListCount; ++list) {
    c_.CBLists->addItem(ToQString(store_.GetListName(list)));
  }
  c_.CBLists->setCurrentIndex(n - 1);
}

void MacroPanel::WriteListCmd() {
  store_.SetListName(curList_, ToBytes(c_.ListNameEDT->text()));
  for (int m = 1; m <= kMacroCount; ++m) {
    const Bytes text = ToBytes(c_.Edit[static_cast<std::size_t>(m - 1)]->text());
    if (c_.RBName->isChecked()) store_.SetCmdName(curList_, m, text);
    if (c_.RbData->isChecked()) store_.SetCmdData(curList_, m, text);
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
  for (LimitedEdit* edit : c_.Edit) edit->SetUserMaxLength(kNameTypingLimit);
  ReadListCmd(curList_);
}

void MacroPanel::RbDataClick() {
  shownView_ = View::CommandLines;
  for (LimitedEdit* edit : c_.Edit) edit->SetUserMaxLength(kCommandLineTypingLimit);
  ReadListCmd(curList_);
}

void MacroPanel::ButtonCmdClick(int m) {
  // The command line, also while the buttons show the names.
  const Bytes command = store_.GetCmdData(curList_, m);
  if (target_.SendOnSelect()) {
    target_.SendPortData(command);
    target_.FocusSendButton();
  } else {
    target_.SetConsoleText(ToQString(command));
    target_.FocusConsole();
  }
}

void MacroPanel::ShowSlotHelp(int m) {
  for (int k = 1; k <= kHelpLines; ++k) help_.ShowLine(k, store_.GetCmdHelp(curList_, m, k));
}

void MacroPanel::SaveEditTextCmd(int m) {
  curCmd_ = m;
  // The edit's text, not the signal's: a cut to the typing limit has already
  // been applied.
  const Bytes text = ToBytes(c_.Edit[static_cast<std::size_t>(m - 1)]->text());
  if (c_.RBName->isChecked()) store_.SetCmdName(curList_, m, text);
  if (c_.RbData->isChecked()) store_.SetCmdData(curList_, m, text);
}

void MacroPanel::SetEditorControlsShown(bool editor) {
  c_.CBLists->setVisible(!editor);
  c_.ListNameEDT->setVisible(editor);
  c_.DelList->setVisible(editor);
  c_.ListInc->setVisible(editor);
  c_.ListDec->setVisible(editor);
  c_.STLog->setVisible(!editor);
  c_.SaveF->setVisible(editor);
  c_.StaticText1->setVisible(editor);
  emit EditorShown(editor);
}

void MacroPanel::SetSlotsShown(bool edits) {
  for (QPushButton* button : c_.Button) button->setVisible(!edits);
  for (LimitedEdit* edit : c_.Edit) edit->setVisible(edits);
}

void MacroPanel::EditAllCmdClick() {
  if (!editorMode_) {
    editorMode_ = true;
    c_.EditAllCmd->setText(QStringLiteral("Назад"));
    SetEditorControlsShown(true);
    ReadListCmd(curList_);
    SetSlotsShown(true);
    c_.ListNameEDT->setText(ToQString(store_.GetListName(curList_)));
    return;
  }
  editorMode_ = false;
  c_.EditAllCmd->setText(QStringLiteral("Редактор"));
  store_.SetListName(curList_, ToBytes(c_.ListNameEDT->text()));
  c_.ListNameEDT->hide();
  c_.STListName->setText(ToQString(store_.GetListName(curList_)));
  c_.STListName->hide();
  c_.CBLists->show();
  SetEditorControlsShown(false);
  WriteListCmd();
  ReadListCmd(curList_);
  SetSlotsShown(false);
  SaveListCmd();
}

void MacroPanel::SaveFClick() {
  c_.SaveF->setEnabled(false);
  SaveListCmd();
  c_.SaveF->setEnabled(true);
}

void MacroPanel::DelListClick() {
  ClrListCmd();
  ReadListCmd(curList_);
}

void MacroPanel::ListIncClick() {
  c_.ListDec->setEnabled(true);
  if (editorMode_) WriteListCmd();
  if (curList_ < kListCount) {
    ++curList_;
    ReadListCmd(curList_);
    if (curList_ == kListCount) c_.ListInc->setEnabled(false);
  }
}

void MacroPanel::ListDecClick() {
  c_.ListInc->setEnabled(true);
  if (editorMode_) WriteListCmd();
  if (curList_ > 1) {
    --curList_;
    ReadListCmd(curList_);
    if (curList_ == 1) c_.ListDec->setEnabled(false);
  }
}

void MacroPanel::SetArrows() {
  c_.ListDec->setEnabled(curList_ > 1);
  c_.ListInc->setEnabled(curList_ < kListCount);
}

void MacroPanel::CBListsSelect(int index) {
  if (index < 0 || index >= kListCount) return;
  curList_ = index + 1;
  ReadListCmd(curList_);
  SetArrows();
}

void MacroPanel::CBListsDblClick() {
  c_.CBLists->hide();
  c_.STListName->setText(ToQString(store_.GetListName(curList_)));
  c_.STListName->show();
}

void MacroPanel::STListNameDblClick() {
  if (filePanelShown && filePanelShown()) return;
  c_.CBLists->show();
  c_.STListName->hide();
}

void MacroPanel::HistoryPanelToggled(bool shown) {
  for (QWidget* control : {static_cast<QWidget*>(c_.EditAllCmd), static_cast<QWidget*>(c_.CBLists),
                           static_cast<QWidget*>(c_.RBName), static_cast<QWidget*>(c_.RbData)}) {
    control->setVisible(!shown);
  }
}

}  // namespace velmora::ui
