#pragma once

#include <memory>
#include <optional>
#include <string>

#include "common/bytes.h"
#include "common/clock.h"
#include "logfile/log_file_output.h"

namespace velmora {

// A failed operation on the log file, for one message box.
struct LogFileError {
  enum class Action { Create, Write };

  std::string file;  // "LOG_2026 12 7 2 36 57.txt"
  Action action = Action::Create;
  std::string reason;  // the system's text ("No space left on device")
  FileFault fault = FileFault::Other;

  // The report in 1251, worded as for the state files; a failed creation
  // too is a file that could not be written: "Не удалось записать файл
  // «LOG_2026 12 7 2 36 57.txt»: нет места на диске".
  Bytes Message() const;
};

// "LOG_" + year month day hour minute second + ".txt": decimal without
// leading zeros, single blanks ("LOG_2026 12 7 2 36 57.txt").
std::string LogFileNameAt(const LocalTime& time);

// The log file of a run and the state of the "Start Log" button. Both paths
// (sent and received lines) write through this one object.
//
// The first start of writing in a run creates the file, named after the
// clock's local time; pausing and going on keep that file, which stays open
// until shut-down. Every record is handed to the system at once, so the file
// always holds every line written so far.
class LogFile {
 public:
  // `directory` empty: the working directory.
  explicit LogFile(const Clock& clock, LogFileCreator& creator = SystemLogFileCreator(),
                   std::string directory = {});

  // The click on StartLog. Writing off: writing on, creating the file first
  // when none is open in this run; a creation that fails returns the error
  // and leaves everything as before the click (the next click tries again,
  // under a name built afresh). Writing on: writing paused.
  std::optional<LogFileError> StartLogClick();

  // After a line was appended to the log window: while writing is on, the
  // line's bytes followed by CR LF. nullopt when written or when writing is
  // off. A failed write first switches writing off exactly as a pause does
  // (the file stays open, the bytes that reached it stay), then returns the
  // error; so a second path writing while the box is open writes nothing and
  // cannot fail again.
  std::optional<LogFileError> WriteLine(BytesView line);

  // Shut-down: closes the file; nothing is written afterwards and the
  // button no longer acts.
  void Close();

  bool LogToFile() const { return logToFile_; }
  // 1 once the file was created in this run.
  bool LogFileOpen() const { return !name_.empty(); }
  // The tag of StartLog: 1 while writing is on.
  int Tag() const { return logToFile_ ? 1 : 0; }
  // "Start Log", "Pause Log" or "Go Log".
  const Bytes& Caption() const { return caption_; }
  // The text of STLog, 1251 bytes.
  const Bytes& StatusText() const { return status_; }
  // Empty until the file was created.
  const std::string& LogFileName() const { return name_; }

 private:
  void Pause();

  const Clock& clock_;
  LogFileCreator& creator_;
  std::string directory_;
  std::unique_ptr<LogFileOutput> output_;
  bool logToFile_ = false;
  bool closed_ = false;
  std::string name_;
  Bytes caption_;
  Bytes status_;
  Bytes record_;  // reused for every record
};

}  // namespace velmora
