#include "ui/history_lists.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "ui/main_form.h"
#include "ui/text_codec.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/double_click_combo_box.h"
#include "ui/widgets/limited_edit.h"

namespace velmora::ui {
namespace {

bool IsEnter(const QKeyEvent* key) {
  return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// The item the user has highlighted. Qt's current item alone is not one: a
// list that gets the focus makes its first item current without selecting it.
QListWidgetItem* SelectedItem(const QListWidget* list) {
  const QList<QListWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

// Leaves the list without a current item, and keeps it so when the list
// takes the focus (which would otherwise make its first item current, so that
// the first Down arrow highlighted the second). As with a list that was never
// touched, the first Down arrow then highlights the first item.
void ForgetCurrent(QListWidget* list) { list->QAbstractItemView::setCurrentIndex(QModelIndex()); }

// Losing the focus to another control of the window; not the window itself
// losing it, nor a popup opening over it.
bool FocusMovedAway(const QEvent* event) {
  if (event->type() != QEvent::FocusOut) return false;
  const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

HistoryLists::HistoryLists(MainForm& form, SentHistory& history, SendFunction send)
    : form_(form), history_(history), send_(std::move(send)) {
  for (QObject* watched :
       {static_cast<QObject*>(form_.MainStrCmd), static_cast<QObject*>(form_.FastOldCmd),
        static_cast<QObject*>(form_.AddStrCmd), static_cast<QObject*>(form_.LBTail),
        static_cast<QObject*>(form_.OldCmdList->viewport())}) {
    watched->installEventFilter(this);
  }
  connect(form_.Str1, &ClickableLabel::clicked, this, [this] { Str1Click(); });
  connect(form_.Str2, &ClickableLabel::clicked, this, [this] { Str2Click(); });
  connect(form_.OldCommandsBT, &QPushButton::clicked, this, [this] { OldCommandsBTClick(); });
  // A click counts also on the entry already selected; an arrow key counts
  // through the change of the current row.
  connect(form_.OldCmdList, &QListWidget::itemClicked, this, [this] { OldCmdListClick(); });
  connect(form_.OldCmdList, &QListWidget::currentRowChanged, this,
          &HistoryLists::OnOldCmdListRowChanged);
}

void HistoryLists::ReadOldCmd() {
  // The refill is no choice of the user's.
  const QSignalBlocker blockPanel(form_.OldCmdList);
  const QSignalBlocker blockDropDown(form_.FastOldCmd);
  form_.OldCmdList->clear();
  form_.FastOldCmd->clear();
  AppendLoadedHistory();
  ForgetCurrent(form_.OldCmdList);
  ForgetCurrent(form_.FastOldCmd);
}

void HistoryLists::AppendLoadedHistory() {
  const QSignalBlocker blockPanel(form_.OldCmdList);
  for (const Bytes& command : history_.Shown()) {
    const QString text = ToQString(command);
    form_.OldCmdList->addItem(text);
    form_.FastOldCmd->addItem(text);
  }
}

void HistoryLists::HistoryRecorded() {
  if (historyPanelShown_) ReadOldCmd();
}

void HistoryLists::OpenDropDown(QListWidget* list) {
  list->show();
  list->raise();
  if (SelectedItem(list) == nullptr) ForgetCurrent(list);
  list->setFocus(Qt::OtherFocusReason);
}

void HistoryLists::CloseDropDown(QListWidget* list, QWidget* focusTo) {
  list->hide();
  focusTo->setFocus(Qt::OtherFocusReason);
}

bool HistoryLists::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    const bool press = type == QEvent::KeyPress;
    if (watched == form_.MainStrCmd && !press) return MainStrCmdKeyUp(key);
    if (watched == form_.FastOldCmd && press) {
      return DropDownKeyPress(form_.FastOldCmd, form_.MainStrCmd, key);
    }
    if (watched == form_.AddStrCmd) return press ? AddStrCmdKeyPress(key) : AddStrCmdKeyUp(key);
    if (watched == form_.LBTail && press) {
      return DropDownKeyPress(form_.LBTail, form_.AddStrCmd, key);
    }
  }
  if (watched == form_.FastOldCmd && FocusMovedAway(event)) form_.FastOldCmd->hide();
  if (watched == form_.LBTail && FocusMovedAway(event)) form_.LBTail->hide();
  if (watched == form_.OldCmdList->viewport()) {
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
      oldCmdListMouseDown_ = true;
    }
    if (type == QEvent::MouseButtonRelease) oldCmdListMouseDown_ = false;
  }
  return QObject::eventFilter(watched, event);
}

bool HistoryLists::MainStrCmdKeyUp(const QKeyEvent* key) {
  if (key->key() != Qt::Key_Down) return false;
  ReadOldCmd();
  OpenDropDown(form_.FastOldCmd);
  return true;
}

// The two drop-downs share their keys: Enter puts the selected entry into
// the edit they belong to (nothing selected: nothing happens), Esc closes
// them; either way the edit gets the focus back.
bool HistoryLists::DropDownKeyPress(QListWidget* list, QLineEdit* owner, const QKeyEvent* key) {
  if (IsEnter(key)) {
    if (const QListWidgetItem* item = SelectedItem(list)) {
      owner->setText(item->text());
      CloseDropDown(list, owner);
    }
    return true;
  }
  if (key->key() == Qt::Key_Escape) {
    CloseDropDown(list, owner);
    return true;
  }
  return false;
}

void HistoryLists::ToggleDropDown(QListWidget* list) {
  if (list->isVisible()) {
    list->hide();
  } else {
    OpenDropDown(list);
  }
}

void HistoryLists::Str1Click() {
  ReadOldCmd();
  ToggleDropDown(form_.FastOldCmd);
}

bool HistoryLists::AddStrCmdKeyPress(const QKeyEvent* key) {
  if (IsEnter(key)) return true;
  if (key->key() == Qt::Key_Escape) {
    form_.AddStrCmd->clear();
    return true;
  }
  return false;
}

bool HistoryLists::AddStrCmdKeyUp(const QKeyEvent* key) {
  if (key->key() != Qt::Key_Down) return false;
  OpenDropDown(form_.LBTail);
  return true;
}

void HistoryLists::Str2Click() { ToggleDropDown(form_.LBTail); }

void HistoryLists::OnOldCmdListRowChanged(int row) {
  // A mouse press moves the row too, and its click follows; the row only
  // counts when the keyboard moved it and highlighted the entry.
  if (row < 0 || oldCmdListMouseDown_ || !form_.OldCmdList->hasFocus()) return;
  if (!form_.OldCmdList->item(row)->isSelected()) return;
  OldCmdListClick();
}

void HistoryLists::OldCmdListClick() {
  // Sending refills the list (the command moves to the top) while the click
  // or the key that chose it is still being handled.
  if (oldCmdListBusy_) return;
  const QListWidgetItem* item = form_.OldCmdList->currentItem();
  if (item == nullptr) return;
  oldCmdListBusy_ = true;
  form_.OldCmdList->setEnabled(false);
  const QString text = item->text();
  if (form_.RBSel->isChecked()) {
    send_(ToBytes(text));
  } else {
    form_.MainStrCmd->setText(text);
  }
  form_.OldCmdList->setEnabled(true);
  form_.MainStrCmd->setFocus(Qt::OtherFocusReason);
  oldCmdListBusy_ = false;
}

void HistoryLists::OldCommandsBTClick() {
  const bool show = !oldCommandsTag_;
  historyPanelShown_ = show;
  filePanelShown_ = false;
  form_.SetFilePanelShown(false);
  for (QWidget* control :
       {static_cast<QWidget*>(form_.EditAllCmd), static_cast<QWidget*>(form_.CBLists),
        static_cast<QWidget*>(form_.ButtonReadFile), static_cast<QWidget*>(form_.RBName),
        static_cast<QWidget*>(form_.RbData)}) {
    control->setVisible(!show);
  }
  if (show) ReadOldCmd();
  form_.OldCmdList->setVisible(show);
  oldCommandsTag_ = show;
}

}  // namespace velmora::ui
