#include "storage/file_store.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "common/cp1251.h"

namespace velmora {
namespace {

FileError MakeError(const std::string& file, FileError::Action action, const FileStatus& status) {
  return FileError{file, action, status.reason, status.fault};
}

// Large enough that a 10 MB store takes few calls, small enough that a disk
// filling up is noticed part-way through like any other write.
constexpr std::size_t kWriteChunk = 1 << 20;

Bytes ReasonText(const FileError& error) {
  const char* text = nullptr;
  switch (error.fault) {
    case FileFault::NoAccess: text = "нет доступа"; break;
    case FileFault::NoSpace: text = "нет места на диске"; break;
    case FileFault::ReadOnlyFileSystem: text = "файловая система только для чтения"; break;
    case FileFault::NotFound: text = "файл не найден"; break;
    case FileFault::IsDirectory: text = "это каталог"; break;
    case FileFault::NotRegularFile: text = "это не обычный файл"; break;
    case FileFault::InputOutput: text = "ошибка ввода-вывода"; break;
    case FileFault::None:
    case FileFault::Other: break;
  }
  return text != nullptr ? Utf8ToCp1251(text) : error.reason;
}

FileStatus WriteAll(WritableFile& file, std::span<const std::uint8_t> bytes) {
  FileStatus status;
  std::size_t offset = 0;
  while (status.Ok() && offset < bytes.size()) {
    const std::size_t chunk = std::min(kWriteChunk, bytes.size() - offset);
    status = file.Write(bytes.data() + offset, chunk);
    offset += chunk;
  }
  if (status.Ok()) status = file.SyncAndClose();
  return status;
}

bool RefusedForPermission(const FileStatus& status, FileSystem& fs) {
  return status.fault == FileFault::NoAccess && fs.RewritesInPlace();
}

// The save that could not replace the file rewrites it where it is. When the
// file is not there to rewrite, the refusal that led here is the report.
SaveResult RewriteInPlace(const std::string& path, const std::string& target,
                          std::span<const std::uint8_t> bytes, FileSystem& fs,
                          const FileError& refusal) {
  SaveResult result;
  std::unique_ptr<WritableFile> file;
  FileStatus status = fs.OpenInPlace(target, file);
  if (!status.Ok()) {
    result.error = status.fault == FileFault::NotFound
                       ? refusal
                       : MakeError(path, FileError::Action::Write, status);
    return result;
  }
  status = WriteAll(*file, bytes);
  if (!status.Ok()) result.error = MakeError(path, FileError::Action::Write, status);
  return result;
}

}  // namespace

Bytes FileError::Message() const {
  const char* opening = "Не удалось прочитать файл «";
  switch (action) {
    case Action::Read: break;
    case Action::Write:
    case Action::Replace:
    case Action::Refused: opening = "Не удалось записать файл «"; break;
    case Action::Damaged: opening = "Файл «"; break;
  }
  const char* closing = action == Action::Damaged ? "» повреждён: " : "»: ";
  const Bytes why =
      action == Action::Refused || action == Action::Damaged ? reason : ReasonText(*this);
  return Utf8ToCp1251(opening) + file + Utf8ToCp1251(closing) + why;
}

FileError DamagedFileError(const std::string& file, Bytes what) {
  return FileError{file, FileError::Action::Damaged, std::move(what), FileFault::Other};
}

FileStatus FileSystem::OpenInPlace(const std::string&, std::unique_ptr<WritableFile>&) {
  return FileStatus{-1, "not supported", FileFault::Other};
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
  const bool created = status.Ok();
  if (created) status = WriteAll(*file, bytes);
  file.reset();
  if (!status.Ok()) {
    fs.Remove(temporary);
    const FileError error = MakeError(path, FileError::Action::Write, status);
    if (!created && RefusedForPermission(status, fs)) {
      return RewriteInPlace(path, target, bytes, fs, error);
    }
    result.error = error;
    return result;
  }

  status = fs.Rename(temporary, target);
  if (!status.Ok()) {
    fs.Remove(temporary);
    const FileError error = MakeError(path, FileError::Action::Replace, status);
    if (RefusedForPermission(status, fs)) return RewriteInPlace(path, target, bytes, fs, error);
    result.error = error;
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
