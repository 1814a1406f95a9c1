#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "common/bytes.h"

namespace velmora {

// The common causes of a failed file operation, which the program names in
// its own words; the rest are Other and keep the system's text.
enum class FileFault {
  None,
  NoAccess,  // permission refused (EACCES, EPERM)
  NoSpace,
  ReadOnlyFileSystem,
  NotFound,
  IsDirectory,
  NotRegularFile,  // a FIFO, a device or a socket where a file belongs
  InputOutput,
  Other,
};

// The outcome of one operation of the file system: 0, or the system's error
// number with its text (strerror in the "C" locale, or the Win32 message).
struct FileStatus {
  int code = 0;
  std::string reason;
  FileFault fault = FileFault::None;

  bool Ok() const { return code == 0; }
};

// A file being written by a save. Destroying it closes it, ignoring errors.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // Writes all of the bytes, or fails.
  virtual FileStatus Write(const std::uint8_t* data, std::size_t size) = 0;
  // Flushes the bytes to the disk and closes the file.
  virtual FileStatus SyncAndClose() = 0;
};

// The few operations the state files need. One implementation per platform
// (file_system_posix.cpp, file_system_win32.cpp); tests wrap it to make an
// operation fail half-way.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Reads at most `limit` bytes from the start of the file. A missing file
  // sets `exists` to false and is no error.
  virtual FileStatus Read(const std::string& path, std::size_t limit, Bytes& bytes,
                          bool& exists) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // The file a save replaces: the final target when `path` is a symbolic
  // link (followed even when the target does not exist yet), else `path`.
  virtual FileStatus ResolveTarget(const std::string& path, std::string& target) = 0;
  // Fails when `target` exists and is read-only, or when its directory is
  // read-only; a missing target in a writable directory is fine.
  virtual FileStatus CheckReplaceable(const std::string& target) = 0;
  // Creates `path` anew (truncating it) for writing, with the permissions of
  // `permissionsOf` when that file exists, else the default ones. Fails with
  // NoAccess when the directory takes no new file.
  virtual FileStatus Create(const std::string& path, const std::string& permissionsOf,
                            std::unique_ptr<WritableFile>& file) = 0;
  // Replaces `to` by `from` in one step.
  virtual FileStatus Rename(const std::string& from, const std::string& to) = 0;
  // Makes a rename in the directory of `path` durable.
  virtual FileStatus SyncDirectoryOf(const std::string& path) = 0;
  // Removes the file; a missing file is no error.
  virtual FileStatus Remove(const std::string& path) = 0;

  // Whether a save whose temporary file or rename is refused for permission
  // may rewrite the file in place instead (POSIX: a directory that takes no
  // new file, a sticky directory refusing the rename over another user's file).
  virtual bool RewritesInPlace() const { return false; }
  // Opens the existing file for writing from its start, never creating it
  // and not yet cutting it; SyncAndClose cuts it to what was written, then
  // flushes it to the disk.
  virtual FileStatus OpenInPlace(const std::string& path, std::unique_ptr<WritableFile>& file);
};

// The status of a C runtime errno value.
FileStatus ErrnoStatus(int code);
// The status of a GetLastError value (Windows only).
FileStatus Win32ErrorStatus(std::uint32_t code);

// The file system of this platform; lives for the whole run.
FileSystem& SystemFileSystem();

}  // namespace velmora
