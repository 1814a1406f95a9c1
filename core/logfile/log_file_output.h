#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "storage/file_system.h"

namespace velmora {

// The outcome of one operation on the log file: 0, or the system's error
// number with its text and its kind, as for the state files, so that both
// are reported alike.
using LogFileStatus = FileStatus;

// The open log file. Destroying it closes it; nothing is flushed to the disk
// beyond what each write already handed to the system.
class LogFileOutput {
 public:
  virtual ~LogFileOutput() = default;
  // Hands all of the bytes to the system, going on after a short write and
  // after an interrupted one. On an error the bytes already written stay in
  // the file.
  virtual LogFileStatus Append(const char* data, std::size_t size) = 0;
};

// Creates the log file. One implementation per platform
// (log_file_output_posix.cpp, log_file_output_win32.cpp); tests replace it
// with one that fails on request.
class LogFileCreator {
 public:
  virtual ~LogFileCreator() = default;
  // Creates `path` for writing, truncating an existing file, without a lock:
  // other programs may read it meanwhile.
  virtual LogFileStatus Create(const std::string& path, std::unique_ptr<LogFileOutput>& file) = 0;
};

// The creator of this platform; lives for the whole run.
LogFileCreator& SystemLogFileCreator();

}  // namespace velmora
