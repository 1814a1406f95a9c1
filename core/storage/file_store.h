#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>

#include "common/bytes.h"
#include "storage/file_system.h"

namespace velmora {

// A failed operation on a state file, for the window's error report.
struct FileError {
  enum class Action { Read, Write, Replace, Refused, Damaged };

  std::string file;  // the path as the program names it ("CmdConfig")
  Action action = Action::Read;
  // The system's text ("No space left on device"); for Refused and Damaged
  // the program's own, in 1251.
  std::string reason;
  FileFault fault = FileFault::Other;

  // The report in 1251: "Не удалось записать файл «CmdConfig»: нет места на
  // диске"; a common cause in Russian, any other by the system's text.
  Bytes Message() const;
};

// A file that was read whole but is too short; `what` (1251) says how.
FileError DamagedFileError(const std::string& file, Bytes what);

struct ReadFileResult {
  bool exists = false;
  Bytes bytes;
  std::optional<FileError> error;

  bool Ok() const { return !error.has_value(); }
};

struct SaveResult {
  std::optional<FileError> error;

  bool Ok() const { return !error.has_value(); }
};

// The temporary a save writes beside the file: "CmdConfig" -> "CmdConfig.tmp".
std::string TemporaryPathOf(const std::string& path);

// The whole file, or its first `limit` bytes.
ReadFileResult ReadWholeFile(const std::string& path,
                             std::size_t limit = std::numeric_limits<std::size_t>::max(),
                             FileSystem& fs = SystemFileSystem());

// Replaces the file in one step: the bytes go to the temporary beside it,
// which is flushed to the disk and renamed over the file; then the directory
// is flushed. Until the rename the old file stays whole, so a crash or a full
// disk leaves it as it was. A symbolic link keeps pointing to its target,
// which is the file replaced; the permissions of the old file are kept. A
// read-only file is reported and left alone.
//
// Where the file system allows it (POSIX), a save whose temporary cannot be
// created for lack of permission, or whose rename is refused for permission,
// rewrites the existing file in place instead: from its start, then cut to
// the new length, then flushed. A crash during that rewrite can leave a file
// of old and new bytes; only a failure of the rewrite itself is reported.
SaveResult SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                              FileSystem& fs = SystemFileSystem());

// Start-up: removes a temporary that a save interrupted by a crash left
// beside the file (of its symbolic link's target, too).
SaveResult RemoveStaleTemporary(const std::string& path, FileSystem& fs = SystemFileSystem());

}  // namespace velmora
