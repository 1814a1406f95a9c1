#include <windows.h>

#include <cerrno>
#include <cstring>

#include "automation/command_file.h"

namespace velmora {

namespace {

// Win32 errors are told in our own words as errno values: the window reports
// them as the input/output error they are.
int ErrnoOfWin32(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return EACCES;
    default: return EIO;
  }
}

class Win32CommandFileSource final : public CommandFileSource {
 public:
  ~Win32CommandFileSource() override { Close(); }

  int Open(const std::string& path, std::string& reason) override {
    Close();
    // The name is in the system's ANSI code page, as the dialog gave it.
    const HANDLE file =
        ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail(ErrnoOfWin32(::GetLastError()), reason);
    // Only a file on a disk: a pipe or a device would block or never end.
    if (::GetFileType(file) != FILE_TYPE_DISK) {
      ::CloseHandle(file);
      return Fail(EIO, reason);
    }
    file_ = file;
    return 0;
  }

  long Read(std::uint8_t* data, std::size_t size, int& error, std::string& reason) override {
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(size > 65536 ? 65536 : size);
    if (!::ReadFile(file_, data, wanted, &got, nullptr)) {
      error = Fail(ErrnoOfWin32(::GetLastError()), reason);
      return -1;
    }
    return static_cast<long>(got);
  }

  void Close() override {
    if (file_ == INVALID_HANDLE_VALUE) return;
    ::CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
  }

 private:
  static int Fail(int error, std::string& reason) {
    reason = std::strerror(error);
    return error;
  }

  HANDLE file_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<CommandFileSource> CreateCommandFileSource() {
  return std::make_unique<Win32CommandFileSource>();
}

}  // namespace velmora
