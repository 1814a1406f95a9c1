#pragma once

#include <QString>

#include "common/bytes.h"

namespace velmora::ui {

// Where the history lists and the macro slots hand a chosen command: sent at
// once in the "send on select" mode, else put into the console line. The
// window implements it from the send-automation part and the console.
class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  // RBSel is checked: a chosen command is sent at once.
  virtual bool SendOnSelect() const = 0;
  // The single path of every packet.
  virtual void SendPortData(const Bytes& command) = 0;
  virtual void SetConsoleText(const QString& text) = 0;
  virtual void FocusConsole() = 0;
  virtual void FocusSendButton() = 0;
  // The packet tail, for the checksum-template picker.
  virtual void SetTailText(const QString& text) = 0;
  virtual void FocusTail() = 0;
};

}  // namespace velmora::ui
