#include "logfile/log_file.h"

#include <string>
#include <utility>

#include "common/cp1251.h"
#include "storage/file_store.h"

namespace velmora {
namespace {

constexpr char kStartLog[] = "Start Log";
constexpr char kPauseLog[] = "Pause Log";
constexpr char kGoLog[] = "Go Log";

}  // namespace

Bytes LogFileError::Message() const {
  return FileError{file, FileError::Action::Write, reason, fault}.Message();
}

std::string LogFileNameAt(const LocalTime& time) {
  return "LOG_" + std::to_string(time.year) + " " + std::to_string(time.month) + " " +
         std::to_string(time.day) + " " + std::to_string(time.hour) + " " +
         std::to_string(time.minute) + " " + std::to_string(time.second) + ".txt";
}

LogFile::LogFile(const Clock& clock, LogFileCreator& creator, std::string directory)
    : clock_(clock),
      creator_(creator),
      directory_(std::move(directory)),
      caption_(kStartLog),
      status_(Utf8ToCp1251("Запись в файл не ведётся")) {}

std::optional<LogFileError> LogFile::StartLogClick() {
  if (closed_) return std::nullopt;
  if (logToFile_) {
    Pause();
    return std::nullopt;
  }
  if (!output_) {
    // Nothing changes until the file exists: writing is never on without it.
    const std::string name = LogFileNameAt(clock_.Now());
    const std::string path = directory_.empty() ? name : directory_ + "/" + name;
    std::unique_ptr<LogFileOutput> output;
    const LogFileStatus status = creator_.Create(path, output);
    if (!status.Ok() || !output) {
      return LogFileError{name, LogFileError::Action::Create, status.reason, status.fault};
    }
    output_ = std::move(output);
    name_ = name;
  }
  logToFile_ = true;
  caption_ = kPauseLog;
  status_ = Utf8ToCp1251("Лог записывается в файл ") + name_;
  return std::nullopt;
}

void LogFile::Pause() {
  logToFile_ = false;
  caption_ = kGoLog;
  status_ = Utf8ToCp1251("Запись в файл лога приостановлена (") + name_ + ")";
}

std::optional<LogFileError> LogFile::WriteLine(BytesView line) {
  if (!logToFile_ || !output_) return std::nullopt;
  record_.assign(line);
  record_ += "\r\n";
  const LogFileStatus status = output_->Append(record_.data(), record_.size());
  if (status.Ok()) return std::nullopt;
  Pause();
  return LogFileError{name_, LogFileError::Action::Write, status.reason, status.fault};
}

void LogFile::Close() {
  logToFile_ = false;
  output_.reset();
  closed_ = true;
}

}  // namespace velmora
