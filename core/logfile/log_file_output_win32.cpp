#include <windows.h>

#include <algorithm>
#include <string>

#include "logfile/log_file_output.h"

namespace velmora {
namespace {

LogFileStatus StatusOf(DWORD code) { return Win32ErrorStatus(code); }

LogFileStatus LastError() { return StatusOf(GetLastError()); }

class Win32LogFileOutput : public LogFileOutput {
 public:
  explicit Win32LogFileOutput(HANDLE handle) : handle_(handle) {}
  ~Win32LogFileOutput() override { CloseHandle(handle_); }
  Win32LogFileOutput(const Win32LogFileOutput&) = delete;
  Win32LogFileOutput& operator=(const Win32LogFileOutput&) = delete;

  LogFileStatus Append(const char* data, std::size_t size) override {
    while (size > 0) {
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
      DWORD written = 0;
      if (!WriteFile(handle_, data, want, &written, nullptr)) return LastError();
      if (written == 0) return StatusOf(ERROR_WRITE_FAULT);
      data += written;
      size -= written;
    }
    return {};
  }

 private:
  HANDLE handle_;
};

class Win32LogFileCreator : public LogFileCreator {
 public:
  LogFileStatus Create(const std::string& path, std::unique_ptr<LogFileOutput>& file) override {
    // Others may read the file while it is written.
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    file = std::make_unique<Win32LogFileOutput>(handle);
    return {};
  }
};

}  // namespace

LogFileCreator& SystemLogFileCreator() {
  static Win32LogFileCreator creator;
  return creator;
}

}  // namespace velmora
