#pragma once

#include "common/bytes.h"
#include "common/data_mode.h"

namespace velmora {

// The controls a send reads, taken at the moment of sending.
struct SendInputs {
  DataMode mode = DataMode::Ascii;
  bool visTime = false;
  Bytes filter;   // the log filter
  Bytes tail;     // the packet tail as typed, templates not yet replaced
  Bytes console;  // the console line; the checksums always cover it
};

// What a send needs from the window. The window implements it; tests fake it.
class TransmitHost {
 public:
  virtual ~TransmitHost() = default;
  virtual SendInputs CurrentSendInputs() = 0;
  // Shows the port-error window modally and returns when it is closed.
  virtual void ShowPortError() = 0;
  // A command was recorded in the history (refresh the lists if shown).
  virtual void HistoryRecorded() = 0;
  // Appends one entry to the log window.
  virtual void AppendLogLine(const Bytes& line) = 0;
  // Writes one line to the log file when logging is on. Returns false when
  // the write failed (the host has told the user).
  virtual bool WriteLogFile(const Bytes& line) = 0;
  virtual void ShowByteCounters(const Bytes& text) = 0;
  virtual void ShowSendCount(const Bytes& text) = 0;
};

}  // namespace velmora
