#include "ui/log_sink.h"

#include <QLabel>

#include "ui/text_codec.h"
#include "ui/widgets/log_window.h"

namespace velmora::ui {

void LogSink::AppendLogLine(const Bytes& line) { c_.MainWindow->AppendEntry(ToQString(line)); }

bool LogSink::WriteLogFile(const Bytes& line) {
  return logFile_ == nullptr || logFile_->WriteLogFile(line);
}

void LogSink::ShowByteCounters(const Bytes& text) { c_.StaticText3->setText(ToQString(text)); }

void LogSink::ShowSendCount(const Bytes& text) { c_.LSend->setText(ToQString(text)); }

void LogSink::ShowReadCount(const Bytes& text) { c_.LRead->setText(ToQString(text)); }

void LogSink::ShowGaps(const Bytes& minText, const Bytes& maxText) {
  c_.MinTimeWait->setText(ToQString(minText));
  c_.MaxTimeWait->setText(ToQString(maxText));
}

}  // namespace velmora::ui
