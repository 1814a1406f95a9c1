#pragma once

#include <QObject>
#include <functional>

#include "common/bytes.h"
#include "transmit/sent_history.h"

namespace velmora::ui {

class MainForm;

// The sent-command history as the window offers it: the drop-down under the
// console line (`FastOldCmd`), the panel list (`OldCmdList`), the tail's
// checksum-template picker (`LBTail`), and the keys of the console, the tail
// and the drop-downs.
class HistoryLists : public QObject {
  Q_OBJECT

 public:
  using SendFunction = std::function<void(const Bytes& command)>;

  HistoryLists(MainForm& form, SentHistory& history, SendFunction send);

  // Refills both lists from the history, newest first, without empty slots.
  void ReadOldCmd();
  // Start-up: appends the loaded non-empty entries to both lists as they are.
  void AppendLoadedHistory();
  // A command was recorded: refresh the lists while the history panel shows.
  void HistoryRecorded();

  bool HistoryPanelShown() const { return historyPanelShown_; }
  bool FilePanelShown() const { return filePanelShown_; }
  void SetPanelFlags(bool historyShown, bool fileShown) {
    historyPanelShown_ = historyShown;
    filePanelShown_ = fileShown;
  }

  // Handlers.
  void Str1Click();
  void Str2Click();
  void OldCmdListClick();
  void OldCommandsBTClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  MainForm& form_;
  SentHistory& history_;
  SendFunction send_;
  bool historyPanelShown_ = false;
  bool filePanelShown_ = false;
};

}  // namespace velmora::ui
