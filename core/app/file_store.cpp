#include "app/file_store.h"

#include <algorithm>
#include <memory>

namespace velmora {
namespace {

FileError MakeError(const std::string& file, FileError::Action action, const FileStatus& status) {
  return FileError{file, action, status.reason};
}

// Large enough that a 10 MB store takes few calls, small enough that a disk
// filling up is noticed part-way through like any other write.
constexpr std::size_t kWriteChunk = 1 << 20;

}  // namespace

std::string FileError::Message() const {
  const char* what = "cannot read";
  switch (action) {
    case Action::Read: what = "cannot read"; break;
    case Action::Write: what = "cannot write"; break;
    case Action::Replace: what = "cannot replace"; break;
    case Action::Refused: what = "not saved"; break;
  }
  return file + ": " + what + ": " + reason;
}

std::string TemporaryPathOf(const std::string& path) { return path + ".tmp"; }

ReadFileResult ReadWholeFile(const std::string& path, std::size_t limit, FileSystem& fs) {
  ReadFileResult result;
  const FileStatus status = fs.Read(path, limit, result.bytes, result.exists);
  if (!status.Ok()) {
    result.error = MakeError(path, FileError::Action::Read, status);
    result.bytes.clear();
  }
  return result;
}

SaveResult SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                              FileSystem& fs) {
  SaveResult result;
  std::string target;
  FileStatus status = fs.ResolveTarget(path, target);
  if (!status.Ok()) {
    result.error = MakeError(path, FileError::Action::Write, status);
    return result;
  }
  status = fs.CheckReplaceable(target);
  if (!status.Ok()) {
    result.error = MakeError(path, FileError::Action::Write, status);
    return result;
  }

  const std::string temporary = TemporaryPathOf(target);
  std::unique_ptr<WritableFile> file;
  status = fs.Create(temporary, target, file);
  if (status.Ok()) {
    std::size_t offset = 0;
    while (status.Ok() && offset < bytes.size()) {
      const std::size_t chunk = std::min(kWriteChunk, bytes.size() - offset);
      status = file->Write(bytes.data() + offset, chunk);
      offset += chunk;
    }
    if (status.Ok()) status = file->SyncAndClose();
  }
  file.reset();
  if (!status.Ok()) {
    fs.Remove(temporary);
    result.error = MakeError(path, FileError::Action::Write, status);
    return result;
  }

  status = fs.Rename(temporary, target);
  if (!status.Ok()) {
    fs.Remove(temporary);
    result.error = MakeError(path, FileError::Action::Replace, status);
    return result;
  }
  status = fs.SyncDirectoryOf(target);
  if (!status.Ok()) result.error = MakeError(path, FileError::Action::Replace, status);
  return result;
}

SaveResult RemoveStaleTemporary(const std::string& path, FileSystem& fs) {
  SaveResult result;
  FileStatus status = fs.Remove(TemporaryPathOf(path));
  std::string target;
  if (status.Ok()) status = fs.ResolveTarget(path, target);
  if (status.Ok() && target != path) status = fs.Remove(TemporaryPathOf(target));
  if (!status.Ok())
    result.error = MakeError(TemporaryPathOf(path), FileError::Action::Write, status);
  return result;
}

}  // namespace velmora
