#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <string>

#include "storage/file_system.h"

namespace velmora {
namespace {

FileFault FaultOf(int code) {
  switch (code) {
    case EACCES:
    case EPERM: return FileFault::NoAccess;
    case ENOSPC:
    case EDQUOT: return FileFault::NoSpace;
    case EROFS: return FileFault::ReadOnlyFileSystem;
    case ENOENT: return FileFault::NotFound;
    case EISDIR: return FileFault::IsDirectory;
    case EIO: return FileFault::InputOutput;
    default: return FileFault::Other;
  }
}

// The system's text in the "C" locale: plain ASCII, which is 1251 text as
// well, whatever locale the window has set.
std::string ReasonOf(int code) {
  static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", locale_t{});
  return cLocale != locale_t{} ? ::strerror_l(code, cLocale) : std::strerror(code);
}

FileStatus StatusOf(int code) { return ErrnoStatus(code); }
FileStatus LastError() { return StatusOf(errno); }

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A file marked read-only for everyone is left alone even by root, which
// `access` would let through.
bool Writable(const std::string& path, const struct stat& st) {
  return (st.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
}

class PosixWritableFile : public WritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd_(fd) {}
  ~PosixWritableFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  FileStatus Write(const std::uint8_t* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t written = ::write(fd_, data, size);
      if (written < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      data += written;
      size -= static_cast<std::size_t>(written);
    }
    return {};
  }

  FileStatus SyncAndClose() override {
    FileStatus status;
    if (::fsync(fd_) != 0) status = LastError();
    if (::close(fd_) != 0 && status.Ok()) status = LastError();
    fd_ = -1;
    return status;
  }

 protected:
  int Descriptor() const { return fd_; }

 private:
  int fd_;
};

// The file itself, rewritten from its start by a save that could not replace
// it: cut to what was written, then flushed, so that a full disk fails the
// save instead of leaving an empty file behind a reported success.
class PosixInPlaceFile : public PosixWritableFile {
 public:
  using PosixWritableFile::PosixWritableFile;

  FileStatus SyncAndClose() override {
    const off_t written = ::lseek(Descriptor(), 0, SEEK_CUR);
    if (written < 0 || ::ftruncate(Descriptor(), written) != 0) return LastError();
    return PosixWritableFile::SyncAndClose();
  }
};

class PosixFileSystem : public FileSystem {
 public:
  FileStatus Read(const std::string& path, std::size_t limit, Bytes& bytes, bool& exists) override {
    bytes.clear();
    exists = false;
    // O_NONBLOCK: a FIFO planted under the name must not hang the start-up
    // waiting for a writer; it, and any other file that is no regular file,
    // is refused below (and so never saved over).
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT ? FileStatus{} : LastError();
    exists = true;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
      const FileStatus failed = LastError();
      ::close(fd);
      return failed;
    }
    if (!S_ISREG(st.st_mode)) {
      ::close(fd);
      return S_ISDIR(st.st_mode)
                 ? StatusOf(EISDIR)
                 : FileStatus{EINVAL, "not a regular file", FileFault::NotRegularFile};
    }
    if (st.st_size > 0) bytes.reserve(std::min(limit, static_cast<std::size_t>(st.st_size)));
    char buffer[1 << 16];
    FileStatus status;
    while (bytes.size() < limit) {
      const std::size_t want = std::min(sizeof buffer, limit - bytes.size());
      const ssize_t got = ::read(fd, buffer, want);
      if (got < 0) {
        if (errno == EINTR) continue;
        status = LastError();
        break;
      }
      if (got == 0) break;
      bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return status;
  }

  bool Exists(const std::string& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
  }

  FileStatus ResolveTarget(const std::string& path, std::string& target) override {
    // The kernel's own limit of links followed in one lookup.
    constexpr int kMaxLinks = 40;
    target = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
      struct stat st {};
      if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return {};
      std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
      const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
      if (length < 0) return LastError();
      link.resize(static_cast<std::size_t>(length));
      target = !link.empty() && link[0] == '/' ? link : DirectoryOf(target) + "/" + link;
    }
    return StatusOf(ELOOP);
  }

  FileStatus CheckReplaceable(const std::string& target) override {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) return StatusOf(EISDIR);
      if (!Writable(target, st)) return StatusOf(EACCES);
    }
    return {};
  }

  FileStatus Create(const std::string& path, const std::string& permissionsOf,
                    std::unique_ptr<WritableFile>& file) override {
    // A directory marked read-only takes no new file, even from root.
    struct stat directory {};
    if (::stat(DirectoryOf(path).c_str(), &directory) != 0) return LastError();
    if (!Writable(DirectoryOf(path), directory)) return StatusOf(EACCES);
    // A stale temporary (or anything planted under its name) goes first, so
    // that O_EXCL gives a fresh file with exactly the permissions set below.
    // A link planted at the name between the two calls is never followed:
    // O_EXCL fails on it, and O_NOFOLLOW says so even where O_EXCL alone
    // would not be trusted.
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return LastError();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return LastError();
    file = std::make_unique<PosixWritableFile>(fd);
    struct stat st {};
    if (::stat(permissionsOf.c_str(), &st) == 0 && ::fchmod(fd, st.st_mode & 07777) != 0) {
      return LastError();
    }
    return {};
  }

  FileStatus Rename(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0 ? FileStatus{} : LastError();
  }

  FileStatus SyncDirectoryOf(const std::string& path) override {
    const int fd = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return LastError();
    FileStatus status;
    // Some file systems cannot flush a directory and say so; nothing to do then.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP) status = LastError();
    ::close(fd);
    return status;
  }

  FileStatus Remove(const std::string& path) override {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT ? FileStatus{} : LastError();
  }

  bool RewritesInPlace() const override { return true; }

  FileStatus OpenInPlace(const std::string& path, std::unique_ptr<WritableFile>& file) override {
    // No O_CREAT: with protected_regular the kernel refuses O_CREAT on another
    // user's file in a sticky directory even when the file itself is writable.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return LastError();
    file = std::make_unique<PosixInPlaceFile>(fd);
    return {};
  }
};

}  // namespace

FileStatus ErrnoStatus(int code) { return FileStatus{code, ReasonOf(code), FaultOf(code)}; }

FileSystem& SystemFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

}  // namespace velmora
