#include "ui/history_lists.h"

// Placeholder bodies; the history lists are being written.
namespace velmora::ui {

HistoryLists::HistoryLists(MainForm& form, SentHistory& history, SendFunction send)
    : form_(form), history_(history), send_(std::move(send)) {}
void HistoryLists::ReadOldCmd() {}
void HistoryLists::AppendLoadedHistory() {}
void HistoryLists::HistoryRecorded() {}
void HistoryLists::Str1Click() {}
void HistoryLists::Str2Click() {}
void HistoryLists::OldCmdListClick() {}
void HistoryLists::OldCommandsBTClick() {}
bool HistoryLists::eventFilter(QObject* watched, QEvent* event) {
  return QObject::eventFilter(watched, event);
}

}  // namespace velmora::ui
