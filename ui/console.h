#pragma once

#include <QObject>
#include <functional>

#include "transmit/transmit_host.h"
#include "transmit/transmitter.h"

namespace velmora::ui {

class MainForm;
class UserDialogs;

// The console line, the tail and the send button: everything that starts a
// send by hand, and the window's side of every send.
class Console : public QObject, public TransmitHost {
  Q_OBJECT

 public:
  Console(MainForm& form, UserDialogs& dialogs, Transmitter& transmitter);

  // The single path of every packet, whoever sends it.
  void SendPortData(const Bytes& command);
  void ButtonSendClick();
  void RBASCIIClick();
  void RBHEXClick();

  // Call points of later features: refreshing the history lists after a
  // command was recorded, and the log file (false ends the send).
  std::function<void()> historyRecorded;
  std::function<bool(const Bytes& line)> writeLogFile;

  // TransmitHost
  SendInputs CurrentSendInputs() override;
  void ShowPortError() override;
  void HistoryRecorded() override;
  void AppendLogLine(const Bytes& line) override;
  bool WriteLogFile(const Bytes& line) override;
  void ShowByteCounters(const Bytes& text) override;
  void ShowSendCount(const Bytes& text) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool MainStrCmdKeyPress(int key);

  MainForm& form_;
  UserDialogs& dialogs_;
  Transmitter& transmitter_;
};

}  // namespace velmora::ui
