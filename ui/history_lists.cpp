#include "ui/history_lists.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "ui/command_target.h"
#include "ui/text_codec.h"
#include "ui/widgets/clickable_label.h"

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

HistoryLists::HistoryLists(const HistoryListsControls& controls, SentHistory& history,
                           CommandTarget& target)
    : c_(controls), history_(history), target_(target) {
  for (QObject* watched : {static_cast<QObject*>(c_.FastOldCmd), static_cast<QObject*>(c_.LBTail),
                           static_cast<QObject*>(c_.OldCmdList->viewport())}) {
    watched->installEventFilter(this);
  }
  connect(c_.Str1, &ClickableLabel::clicked, this, [this] { Str1Click(); });
  connect(c_.Str2, &ClickableLabel::clicked, this, [this] { Str2Click(); });
  connect(c_.OldCommandsBT, &QPushButton::clicked, this, [this] { OldCommandsBTClick(); });
  // A click counts also on the entry already selected; an arrow key counts
  // through the change of the current row.
  connect(c_.OldCmdList, &QListWidget::itemClicked, this, [this] { OldCmdListClick(); });
  connect(c_.OldCmdList, &QListWidget::currentRowChanged, this,
          &HistoryLists::OnOldCmdListRowChanged);
}

void HistoryLists::ReadOldCmd() {
  // The refill is no choice of the user's.
  const QSignalBlocker blockPanel(c_.OldCmdList);
  const QSignalBlocker blockDropDown(c_.FastOldCmd);
  c_.OldCmdList->clear();
  c_.FastOldCmd->clear();
  AppendLoadedHistory();
  ForgetCurrent(c_.OldCmdList);
  ForgetCurrent(c_.FastOldCmd);
}

void HistoryLists::AppendLoadedHistory() {
  const QSignalBlocker blockPanel(c_.OldCmdList);
  for (const Bytes& command : history_.Shown()) {
    const QString text = ToQString(command);
    c_.OldCmdList->addItem(text);
    c_.FastOldCmd->addItem(text);
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

void HistoryLists::CloseDropDown(QListWidget* list) {
  list->hide();
  if (list == c_.FastOldCmd) {
    target_.FocusConsole();
  } else {
    target_.FocusTail();
  }
}

bool HistoryLists::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    const bool press = type == QEvent::KeyPress;
    if (watched == c_.FastOldCmd && press) return DropDownKeyPress(c_.FastOldCmd, key);
    if (watched == c_.LBTail && press) return DropDownKeyPress(c_.LBTail, key);
  }
  if (watched == c_.FastOldCmd && FocusMovedAway(event)) c_.FastOldCmd->hide();
  if (watched == c_.LBTail && FocusMovedAway(event)) c_.LBTail->hide();
  if (watched == c_.OldCmdList->viewport()) {
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
      oldCmdListMouseDown_ = true;
    }
    if (type == QEvent::MouseButtonRelease) oldCmdListMouseDown_ = false;
  }
  return QObject::eventFilter(watched, event);
}

void HistoryLists::OpenConsoleDropDown() {
  ReadOldCmd();
  OpenDropDown(c_.FastOldCmd);
}

void HistoryLists::OpenTailDropDown() { OpenDropDown(c_.LBTail); }

// The two drop-downs share their keys: Enter puts the selected entry into
// the edit they belong to (nothing selected: nothing happens), Esc closes
// them; either way the edit gets the focus back.
bool HistoryLists::DropDownKeyPress(QListWidget* list, const QKeyEvent* key) {
  if (IsEnter(key)) {
    if (const QListWidgetItem* item = SelectedItem(list)) {
      if (list == c_.FastOldCmd) {
        target_.SetConsoleText(item->text());
      } else {
        target_.SetTailText(item->text());
      }
      CloseDropDown(list);
    }
    return true;
  }
  if (key->key() == Qt::Key_Escape) {
    CloseDropDown(list);
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
  ToggleDropDown(c_.FastOldCmd);
}

void HistoryLists::Str2Click() { ToggleDropDown(c_.LBTail); }

void HistoryLists::OnOldCmdListRowChanged(int row) {
  // A mouse press moves the row too, and its click follows; the row only
  // counts when the keyboard moved it and highlighted the entry.
  if (row < 0 || oldCmdListMouseDown_ || !c_.OldCmdList->hasFocus()) return;
  if (!c_.OldCmdList->item(row)->isSelected()) return;
  OldCmdListClick();
}

void HistoryLists::OldCmdListClick() {
  // Sending refills the list (the command moves to the top) while the click
  // or the key that chose it is still being handled.
  if (oldCmdListBusy_) return;
  const QListWidgetItem* item = c_.OldCmdList->currentItem();
  if (item == nullptr) return;
  oldCmdListBusy_ = true;
  c_.OldCmdList->setEnabled(false);
  const QString text = item->text();
  if (target_.SendOnSelect()) {
    target_.SendPortData(ToBytes(text));
  } else {
    target_.SetConsoleText(text);
  }
  c_.OldCmdList->setEnabled(true);
  target_.FocusConsole();
  oldCmdListBusy_ = false;
}

void HistoryLists::OldCommandsBTClick() {
  const bool show = !oldCommandsTag_;
  historyPanelShown_ = show;
  // The macro panel hides its list controls, the send automation its file
  // button and the command-file panel.
  emit HistoryPanelToggled(show);
  if (show) ReadOldCmd();
  c_.OldCmdList->setVisible(show);
  oldCommandsTag_ = show;
}

}  // namespace velmora::ui
