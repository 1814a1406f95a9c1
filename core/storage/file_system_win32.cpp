#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "storage/file_system.h"

namespace velmora {
namespace {

FileFault FaultOf(DWORD code) {
  switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return FileFault::NoAccess;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return FileFault::NoSpace;
    case ERROR_WRITE_PROTECT: return FileFault::ReadOnlyFileSystem;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return FileFault::NotFound;
    case ERROR_DIRECTORY: return FileFault::IsDirectory;
    case ERROR_CRC:
    case ERROR_IO_DEVICE: return FileFault::InputOutput;
    default: return FileFault::Other;
  }
}

FileStatus StatusOf(DWORD code) {
  char* text = nullptr;
  FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string reason = text != nullptr ? text : "error " + std::to_string(code);
  if (text != nullptr) LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
  return FileStatus{static_cast<int>(code), reason, FaultOf(code)};
}

FileStatus LastError() { return StatusOf(GetLastError()); }

bool IsMissing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

class Win32WritableFile : public WritableFile {
 public:
  explicit Win32WritableFile(HANDLE handle) : handle_(handle) {}
  ~Win32WritableFile() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

  FileStatus Write(const std::uint8_t* data, std::size_t size) override {
    while (size > 0) {
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
      DWORD written = 0;
      if (!WriteFile(handle_, data, want, &written, nullptr)) return LastError();
      data += written;
      size -= written;
    }
    return {};
  }

  FileStatus SyncAndClose() override {
    FileStatus status;
    if (!FlushFileBuffers(handle_)) status = LastError();
    if (!CloseHandle(handle_) && status.Ok()) status = LastError();
    handle_ = INVALID_HANDLE_VALUE;
    return status;
  }

 private:
  HANDLE handle_;
};

class Win32FileSystem : public FileSystem {
 public:
  FileStatus Read(const std::string& path, std::size_t limit, Bytes& bytes, bool& exists) override {
    bytes.clear();
    exists = false;
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD code = GetLastError();
      return IsMissing(code) ? FileStatus{} : StatusOf(code);
    }
    exists = true;
    char buffer[1 << 16];
    FileStatus status;
    while (bytes.size() < limit) {
      const DWORD want = static_cast<DWORD>(std::min(sizeof buffer, limit - bytes.size()));
      DWORD got = 0;
      if (!ReadFile(handle, buffer, want, &got, nullptr)) {
        status = LastError();
        break;
      }
      if (got == 0) break;
      bytes.append(buffer, got);
    }
    CloseHandle(handle);
    return status;
  }

  bool Exists(const std::string& path) override {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  FileStatus ResolveTarget(const std::string& path, std::string& target) override {
    target = path;
    HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {};
    char finalPath[MAX_PATH * 4];
    const DWORD length = GetFinalPathNameByHandleA(handle, finalPath, sizeof finalPath, 0);
    CloseHandle(handle);
    if (length > 0 && length < sizeof finalPath) target.assign(finalPath, length);
    return {};
  }

  FileStatus CheckReplaceable(const std::string& target) override {
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
      return StatusOf(ERROR_ACCESS_DENIED);
    }
    return {};
  }

  FileStatus Create(const std::string& path, const std::string&,
                    std::unique_ptr<WritableFile>& file) override {
    // The new file inherits the directory's access rules, as the old one did.
    if (!DeleteFileA(path.c_str()) && !IsMissing(GetLastError())) return LastError();
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    file = std::make_unique<Win32WritableFile>(handle);
    return {};
  }

  FileStatus Rename(const std::string& from, const std::string& to) override {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return {};
    }
    return LastError();
  }

  // MOVEFILE_WRITE_THROUGH has already made the rename durable.
  FileStatus SyncDirectoryOf(const std::string&) override { return {}; }

  FileStatus Remove(const std::string& path) override {
    if (DeleteFileA(path.c_str()) || IsMissing(GetLastError())) return {};
    return LastError();
  }
};

}  // namespace

// The C runtime's errno values, as the test doubles report them.
FileStatus ErrnoStatus(int code) {
  FileFault fault = FileFault::Other;
  switch (code) {
    case EACCES:
    case EPERM: fault = FileFault::NoAccess; break;
    case ENOSPC: fault = FileFault::NoSpace; break;
    case EROFS: fault = FileFault::ReadOnlyFileSystem; break;
    case ENOENT: fault = FileFault::NotFound; break;
    case EISDIR: fault = FileFault::IsDirectory; break;
    case EIO: fault = FileFault::InputOutput; break;
    default: break;
  }
  return FileStatus{code, std::strerror(code), fault};
}

FileStatus Win32ErrorStatus(std::uint32_t code) { return StatusOf(static_cast<DWORD>(code)); }

FileSystem& SystemFileSystem() {
  static Win32FileSystem fs;
  return fs;
}

}  // namespace velmora
