#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "logfile/log_file_output.h"

namespace velmora {
namespace {

LogFileStatus LastError() { return ErrnoStatus(errno); }

class PosixLogFileOutput : public LogFileOutput {
 public:
  explicit PosixLogFileOutput(int fd) : fd_(fd) {}
  ~PosixLogFileOutput() override { ::close(fd_); }
  PosixLogFileOutput(const PosixLogFileOutput&) = delete;
  PosixLogFileOutput& operator=(const PosixLogFileOutput&) = delete;

  LogFileStatus Append(const char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t written = ::write(fd_, data, size);
      if (written < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      // A write that takes nothing would repeat for ever.
      if (written == 0) return ErrnoStatus(EIO);
      data += written;
      size -= static_cast<std::size_t>(written);
    }
    return {};
  }

 private:
  int fd_;
};

class PosixLogFileCreator : public LogFileCreator {
 public:
  LogFileStatus Create(const std::string& path, std::unique_ptr<LogFileOutput>& file) override {
    // 0666 less the umask, as any program's text file; no lock.
    int fd = -1;
    do {
      fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return LastError();
    file = std::make_unique<PosixLogFileOutput>(fd);
    return {};
  }
};

}  // namespace

LogFileCreator& SystemLogFileCreator() {
  static PosixLogFileCreator creator;
  return creator;
}

}  // namespace velmora
