#include "ui/macro_editor_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>

#include "ui/dialogs.h"
#include "ui/look.h"
#include "ui/text_codec.h"
#include "ui/widgets/limited_edit.h"

namespace velmora::ui {
namespace {

constexpr int kFieldLeft = 8;
constexpr int kNameTop = 24;
constexpr int kDataTop = 68;
constexpr int kLineHeight = 21;
constexpr int kHelpTop = 112;
constexpr int kHelpPitch = 26;
constexpr int kHelpHeight = 24;
constexpr int kHelpFontPixels = 13;  // 10 points at 96 dpi

// The help lines are edited in a larger bold face than the panel shows them.
QFont HelpEditFont() {
  QFont font(QString::fromLatin1(kHelpFontFamily));
  font.setPixelSize(kHelpFontPixels);
  font.setBold(true);
  return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int top) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(kFieldLeft, top, 200, 16);
  return label;
}

LimitedEdit* MakeEdit(QWidget* parent, const QString& name, int limit, int top, int height) {
  auto* edit = new LimitedEdit(parent);
  edit->setObjectName(name);
  edit->SetUserMaxLength(limit);
  edit->setGeometry(kFieldLeft, top, TFormEditHelpCmd::kDesignFieldWidth, height);
  return edit;
}

bool IsEnter(const QKeyEvent& key) {
  return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
         !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

bool IsBackspace(const QKeyEvent& key) {
  return key.key() == Qt::Key_Backspace &&
         !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

}  // namespace

TFormEditHelpCmd::TFormEditHelpCmd(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      label1_(MakeLabel(this, "Label1", QStringLiteral("Имя команды"), 6)),
      label2_(MakeLabel(this, "Label2", QStringLiteral("Командная строка"), 50)),
      label3_(MakeLabel(this, "Label3", QStringLiteral("Описание команды"), 94)),
      cmdName_(MakeEdit(this, QStringLiteral("CmdName"), kNameTypingLimit, kNameTop, kLineHeight)),
      cmdData_(MakeEdit(this, QStringLiteral("CmdData"), kCommandLineTypingLimit, kDataTop,
                        kLineHeight)) {
  setObjectName(QStringLiteral("TFormEditHelpCmd"));
  setWindowTitle(QStringLiteral("Редактор макроса"));
  setModal(true);
  setFont(UiFont(8));
  resize(kDesignWidth, kDesignHeight);
  cmdName_->setFont(UiFont(8, true));

  for (int k = 1; k <= kHelpEdits; ++k) {
    LimitedEdit* edit = MakeEdit(this, QStringLiteral("Edit%1").arg(k), kHelpLineTypingLimit,
                                 kHelpTop + kHelpPitch * (k - 1), kHelpHeight);
    edit->setFont(HelpEditFont());
    edit->setProperty("tag", k);
    helpEdits_[static_cast<std::size_t>(k - 1)] = edit;
    connect(edit, &QLineEdit::textChanged, this, [this, k](const QString& text) {
      if (!filling_ && request_.setPanelLine) request_.setPanelLine(k, text);
    });
  }
  connect(cmdName_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!filling_ && request_.store != nullptr) {
      request_.store->SetCmdName(request_.list, request_.macro, ToBytes(text));
    }
  });
  connect(cmdData_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!filling_ && request_.store != nullptr) {
      request_.store->SetCmdData(request_.list, request_.macro, ToBytes(text));
    }
  });

  // Tab: the help lines 1 to 12, then the name, then the command line.
  for (std::size_t i = 1; i < helpEdits_.size(); ++i) {
    setTabOrder(helpEdits_[i - 1], helpEdits_[i]);
  }
  setTabOrder(helpEdits_.back(), cmdName_);
  setTabOrder(cmdName_, cmdData_);

  for (int index = 0; index < 2 + kHelpEdits; ++index) Field(index)->installEventFilter(this);
}

QLineEdit* TFormEditHelpCmd::CmdName() const { return cmdName_; }
QLineEdit* TFormEditHelpCmd::CmdData() const { return cmdData_; }
QLineEdit* TFormEditHelpCmd::HelpEdit(int k) const {
  return helpEdits_.at(static_cast<std::size_t>(k - 1));
}

QLineEdit* TFormEditHelpCmd::Field(int index) const {
  if (index == 0) return cmdName_;
  if (index == 1) return cmdData_;
  return helpEdits_.at(static_cast<std::size_t>(index - 2));
}

int TFormEditHelpCmd::FieldIndex(const QObject* watched) const {
  for (int index = 0; index < 2 + kHelpEdits; ++index) {
    if (Field(index) == watched) return index;
  }
  return -1;
}

void TFormEditHelpCmd::Prepare(const MacroEditRequest& request) {
  request_ = request;
  editing_ = true;
  filling_ = true;
  cmdName_->setText(ToQString(request.store->GetCmdName(request.list, request.macro)));
  cmdData_->setText(ToQString(request.store->GetCmdData(request.list, request.macro)));
  for (int k = 1; k <= kHelpEdits; ++k) {
    HelpEdit(k)->setText(request.panelLine ? request.panelLine(k) : QString());
  }
  filling_ = false;
  for (int index = 0; index < 2 + kHelpEdits; ++index) Field(index)->setCursorPosition(0);
  cmdName_->setFocus(Qt::OtherFocusReason);
  CenterOnScreen(*this);
}

void TFormEditHelpCmd::Open(const MacroEditRequest& request) {
  Prepare(request);
  show();  // application-modal (setModal in the constructor)
}

void TFormEditHelpCmd::EditMacro(const MacroEditRequest& request) {
  Prepare(request);
  exec();
}

void TFormEditHelpCmd::done(int result) {
  const bool wasEditing = editing_;
  editing_ = false;
  QDialog::done(result);
  if (wasEditing) emit editFinished();
}

bool TFormEditHelpCmd::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const int index = FieldIndex(watched);
  if (index < 0) return QDialog::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (IsEnter(*key)) {
    if (index + 1 < 2 + kHelpEdits) {
      Field(index + 1)->setFocus(Qt::TabFocusReason);
    } else {
      close();  // the same end as the close box
    }
    return true;  // consumed: no beep, no default button
  }
  if (IsBackspace(*key) && index > 0 && Field(index)->text().isEmpty()) {
    Field(index - 1)->setFocus(Qt::BacktabFocusReason);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TFormEditHelpCmd::keyPressEvent(QKeyEvent* event) {
  // Esc would reject the dialog; here it does nothing.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TFormEditHelpCmd::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // Every field keeps its right margin.
  const int fieldWidth = width() + (kDesignFieldWidth - kDesignWidth);
  for (int index = 0; index < 2 + kHelpEdits; ++index) {
    QLineEdit* field = Field(index);
    field->resize(fieldWidth, field->height());
  }
}

void StoreHelpLinesFromPanel(const MacroEditRequest& request) {
  if (request.store == nullptr || !request.panelLine) return;
  for (int k = 1; k <= TFormEditHelpCmd::kHelpEdits; ++k) {
    request.store->SetCmdHelp(request.list, request.macro, k, ToBytes(request.panelLine(k)));
  }
}

void MarkSlotEdited(QLineEdit& edit, bool edited) {
  const QPalette normal = QApplication::palette(&edit);
  QPalette palette = edit.palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base,
                     edited ? QColor(0x00, 0xFF, 0x00) : normal.color(group, QPalette::Base));
  }
  edit.setPalette(palette);
}

void ShowWindowEdtHelp(const MacroEditRequest& request, const MacroEditSteps& steps,
                       UserDialogs& dialogs) {
  steps.setCurCmd(request.macro);
  QLineEdit* slot = steps.slotEdit(request.macro);
  if (slot != nullptr) MarkSlotEdited(*slot, true);
  steps.writeListCmd();
  // A topic shown while the editor is open would become the macro's help.
  steps.zeroHelpCountdowns();
  dialogs.EditMacro(request);
  steps.readListCmd();
  StoreHelpLinesFromPanel(request);
  if (slot != nullptr) MarkSlotEdited(*slot, false);
}

}  // namespace velmora::ui
