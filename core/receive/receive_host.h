#pragma once

#include "common/bytes.h"
#include "common/data_mode.h"

namespace velmora {

// The controls the rendering of a received packet reads.
struct ReceiveInputs {
  DataMode mode = DataMode::Ascii;
  bool visTime = false;
  Bytes filter;
};

// What the receive path needs from the window.
class ReceiveHost {
 public:
  virtual ~ReceiveHost() = default;
  virtual ReceiveInputs CurrentReceiveInputs() = 0;
  virtual void AppendLogLine(const Bytes& line) = 0;
  // Returns false when the log-file write failed (the host told the user).
  virtual bool WriteLogFile(const Bytes& line) = 0;
  virtual void ShowByteCounters(const Bytes& text) = 0;
  virtual void ShowReadCount(const Bytes& text) = 0;
  virtual void ShowGaps(const Bytes& minText, const Bytes& maxText) = 0;
  // The after-answer send step, run after each handled packet.
  virtual void AfterAnswer() = 0;
};

}  // namespace velmora
