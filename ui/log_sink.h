#pragma once

#include "common/bytes.h"

class QLabel;

namespace velmora::ui {

class LogWindow;

// The log file as the sink sees it. The log-file object implements it; until
// one is attached every write succeeds and writes nothing.
class LogFileWriter {
 public:
  virtual ~LogFileWriter() = default;
  // Writes one line while logging is on. Returns false when the write failed
  // (the writer has told the user); the packet then goes no further.
  virtual bool WriteLogFile(const Bytes& line) = 0;
};

// The controls the sink writes: the log window and the counter labels.
struct LogSinkControls {
  LogWindow* MainWindow;
  QLabel* StaticText3;  // "TX: .. RX: .."
  QLabel* LSend;
  QLabel* LRead;
  QLabel* MinTimeWait;
  QLabel* MaxTimeWait;
};

// Where both paths put what they show: the log line, the log file and the
// counters. The send path's host (the console) and the receive path's host
// (the receive view) both hand their output here.
class LogSink {
 public:
  explicit LogSink(const LogSinkControls& controls) : c_(controls) {}

  void AppendLogLine(const Bytes& line);
  bool WriteLogFile(const Bytes& line);
  void ShowByteCounters(const Bytes& text);
  void ShowSendCount(const Bytes& text);
  void ShowReadCount(const Bytes& text);
  void ShowGaps(const Bytes& minText, const Bytes& maxText);

  // The log-file hook; nullptr detaches. The writer outlives its attachment.
  void SetLogFileWriter(LogFileWriter* writer) { logFile_ = writer; }

 private:
  LogSinkControls c_;
  LogFileWriter* logFile_ = nullptr;
};

}  // namespace velmora::ui
