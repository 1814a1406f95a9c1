#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "automation/command_file.h"

namespace velmora {

namespace {

class PosixCommandFileSource final : public CommandFileSource {
 public:
  ~PosixCommandFileSource() override { Close(); }

  int Open(const std::string& path, std::string& reason) override {
    Close();
    // O_NONBLOCK: opening a FIFO must not wait for a writer. The file is
    // refused below anyway when it is no regular file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Fail(errno, reason);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
      const int error = errno;
      ::close(fd);
      return Fail(error, reason);
    }
    if (!S_ISREG(status.st_mode)) {
      ::close(fd);
      return Fail(EIO, reason);
    }
    fd_ = fd;
    return 0;
  }

  long Read(std::uint8_t* data, std::size_t size, int& error, std::string& reason) override {
    for (;;) {
      const ssize_t n = ::read(fd_, data, size);
      if (n >= 0) return static_cast<long>(n);
      if (errno == EINTR) continue;
      error = Fail(errno, reason);
      return -1;
    }
  }

  void Close() override {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
  }

 private:
  static int Fail(int error, std::string& reason) {
    reason = std::strerror(error);
    return error;
  }

  int fd_ = -1;
};

}  // namespace

std::unique_ptr<CommandFileSource> CreateCommandFileSource() {
  return std::make_unique<PosixCommandFileSource>();
}

}  // namespace velmora
