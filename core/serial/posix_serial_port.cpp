#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <utility>

#include "serial/line_time.h"
#include "serial/port_names.h"
#include "serial/posix_errors.h"
#include "serial/serial_port.h"
#include "serial/termios_settings.h"

namespace velmora {

namespace {

using SteadyClock = std::chrono::steady_clock;

// Unix98 pseudo-terminal slaves (/dev/pts/N) are the character devices of
// majors 136..143 in the kernel's list of device numbers.
bool IsPseudoTerminal(int fd) {
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode)) return false;
  const unsigned int deviceMajor = major(status.st_rdev);
  return deviceMajor >= 136 && deviceMajor <= 143;
}

// DTR and RTS inactive. A pseudo-terminal has no modem lines and answers
// ENOTTY: that is neither a failed open nor a lost port, so the result is
// not looked at.
void ClearModemLines(int fd) {
  int lines = TIOCM_DTR | TIOCM_RTS;
  (void)::ioctl(fd, TIOCMBIC, &lines);
}

int MillisecondsUntil(SteadyClock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
  return static_cast<int>(std::clamp<decltype(left)>(left, 0, 60'000));
}

class PosixSerialPort final : public SerialPort {
 public:
  explicit PosixSerialPort(std::string devDir) : devDir_(std::move(devDir)) {}
  ~PosixSerialPort() override { Close(); }

  SerialError Open(const std::string& name) override;
  // The kernel's tty buffers have a fixed size; there is nothing to ask for.
  void SetQueueSizes(std::uint32_t, std::uint32_t) override {}
  SerialError Apply(const LineSettings& settings) override;
  SerialError Probe(const LineSettings& settings) override;
  bool HungUp() override;
  SerialError Purge() override;
  SerialError BytesWaiting(std::uint32_t& count) override;
  std::size_t Read(std::uint8_t* data, std::size_t size, SerialError& error) override;
  SerialError Write(const std::uint8_t* data, std::size_t size) override;
  void Close() override;
  bool IsValid() const override { return fd_ >= 0; }
  int ReadinessDescriptor() const override { return fd_; }

 private:
  SerialError WaitWritable(SteadyClock::time_point deadline);
  SerialError DropUnsent();

  std::string devDir_;  // where short names are opened
  SerialError FillFor(const LineSettings& settings, termios& wanted) const;

  int fd_ = -1;
  bool pseudoTerminal_ = false;
  // The last count of waiting bytes FIONREAD gave, and whether a read of 0
  // bytes followed one that was not 0: the mark of a hang-up.
  std::uint32_t lastWaiting_ = 0;
  bool emptyReadAfterBytes_ = false;
  LineSettings applied_{};
};

SerialError PosixSerialPort::Open(const std::string& name) {
  Close();
  // Checked before the prefix is added: "" must not become "/dev/tty".
  if (name.empty()) return SerialError::NotFound;
  const std::string path = DevicePathOf(name, devDir_);
  // O_NONBLOCK: the open must not wait for a modem's carrier; O_NOCTTY: the
  // port never becomes our controlling terminal.
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return SerialErrorFromErrno(errno);
  const auto fail = [fd](int error) {
    ::close(fd);
    return SerialErrorFromErrno(error);
  };
  // The lock other serial programs honour; it also refuses a second Velmora
  // where TIOCEXCL does not (root passes TIOCEXCL).
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(errno);
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) return fail(errno);
  // Raw at once, before any settings arrive: a port left open after refused
  // settings must not echo the device's bytes back to it.
  MakeRaw(tio);
  if (::tcsetattr(fd, TCSANOW, &tio) != 0) return fail(errno);
  (void)::ioctl(fd, TIOCEXCL);
  ClearModemLines(fd);
  (void)::tcflush(fd, TCIOFLUSH);
  fd_ = fd;
  pseudoTerminal_ = IsPseudoTerminal(fd);
  applied_ = LineSettings{};
  return SerialError::None;
}

SerialError PosixSerialPort::FillFor(const LineSettings& settings, termios& wanted) const {
  if (const SerialError refused = FillTermios(settings, wanted); refused != SerialError::None) {
    return refused;
  }
  // A pseudo-terminal has no line: its driver keeps CS8 whatever is asked,
  // and glibc reports any other size as EINVAL. Data bits mean nothing there.
  if (pseudoTerminal_) wanted.c_cflag = (wanted.c_cflag & ~CSIZE) | CS8;
  return SerialError::None;
}

SerialError PosixSerialPort::Apply(const LineSettings& settings) {
  if (fd_ < 0) return SerialError::NotOpen;
  termios wanted{};
  if (const SerialError refused = FillFor(settings, wanted); refused != SerialError::None) {
    return refused;
  }
  if (::tcsetattr(fd_, TCSANOW, &wanted) != 0) return SerialErrorFromErrno(errno);
  termios got{};
  if (::tcgetattr(fd_, &got) != 0) return SerialErrorFromErrno(errno);
  if (!TermiosTaken(wanted, got)) return SerialError::SettingsRefused;
  ClearModemLines(fd_);
  applied_ = settings;
  return SerialError::None;
}

// TCSANOW only: TCSADRAIN or TCSAFLUSH would wait for (or throw away) the
// output of a device that may be gone. The settings were read back when the
// port was opened; a second read-back would only cost time every second.
SerialError PosixSerialPort::Probe(const LineSettings& settings) {
  if (fd_ < 0) return SerialError::NotOpen;
  termios wanted{};
  if (const SerialError refused = FillFor(settings, wanted); refused != SerialError::None) {
    return refused;
  }
  if (::tcsetattr(fd_, TCSANOW, &wanted) != 0) return SerialErrorFromErrno(errno);
  return SerialError::None;
}

// A hung-up tty reports POLLHUP or POLLERR at once and refuses FIONREAD with
// EIO. A read of 0 bytes alone is no sign (a raw port with VMIN 0 reads 0
// whenever nothing waits); it is one only right after FIONREAD counted bytes.
bool PosixSerialPort::HungUp() {
  if (fd_ < 0) return false;
  if (emptyReadAfterBytes_) return true;
  pollfd watch{fd_, POLLIN, 0};
  int ready = 0;
  do {
    ready = ::poll(&watch, 1, 0);
  } while (ready < 0 && errno == EINTR);
  if (ready > 0 && (watch.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return true;
  int waiting = 0;
  return ::ioctl(fd_, FIONREAD, &waiting) != 0 && (errno == EIO || errno == ENXIO);
}

// A pseudo-terminal has no transmit queue: a write lands in the other side's
// input at once, and flushing the output direction would throw away bytes
// the device has been sent but not read yet. So there only the input is
// discarded; a real port drops its unsent output as well.
SerialError PosixSerialPort::Purge() {
  if (fd_ < 0) return SerialError::NotOpen;
  if (::tcflush(fd_, pseudoTerminal_ ? TCIFLUSH : TCIOFLUSH) != 0) {
    return SerialErrorFromErrno(errno);
  }
  return SerialError::None;
}

SerialError PosixSerialPort::BytesWaiting(std::uint32_t& count) {
  count = 0;
  if (fd_ < 0) return SerialError::NotOpen;
  int waiting = 0;
  if (::ioctl(fd_, FIONREAD, &waiting) != 0) {
    lastWaiting_ = 0;
    return SerialErrorFromErrno(errno);
  }
  count = static_cast<std::uint32_t>(std::max(waiting, 0));
  lastWaiting_ = count;
  return SerialError::None;
}

std::size_t PosixSerialPort::Read(std::uint8_t* data, std::size_t size, SerialError& error) {
  error = SerialError::None;
  if (fd_ < 0) {
    error = SerialError::NotOpen;
    return 0;
  }
  if (size == 0) return 0;
  for (;;) {
    const ssize_t n = ::read(fd_, data, size);
    if (n > 0) {
      const auto got = static_cast<std::uint32_t>(n);
      lastWaiting_ = lastWaiting_ > got ? lastWaiting_ - got : 0;
      return static_cast<std::size_t>(n);
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      error = SerialErrorFromErrno(errno);
      return 0;
    }
    // A raw tty reads 0 bytes both when nothing waits and after a hang-up;
    // a hung-up one also refuses to count its queue, or had just counted
    // bytes that the read did not find.
    if (n == 0 && lastWaiting_ > 0) {
      emptyReadAfterBytes_ = true;
      error = SerialError::DeviceRemoved;
      return 0;
    }
    std::uint32_t waiting = 0;
    error = BytesWaiting(waiting);
    return 0;
  }
}

SerialError PosixSerialPort::Write(const std::uint8_t* data, std::size_t size) {
  if (fd_ < 0) return SerialError::NotOpen;
  const auto deadline =
      SteadyClock::now() + std::chrono::milliseconds(WriteBoundMs(applied_, size));
  std::size_t sent = 0;
  while (sent < size) {
    const ssize_t n = ::write(fd_, data + sent, size - sent);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return SerialErrorFromErrno(errno);
    if (const SerialError waited = WaitWritable(deadline); waited != SerialError::None) {
      return waited;
    }
  }
  // tcdrain cannot be bounded, so the output queue is watched until it is
  // empty; tcdrain then only waits for the UART's own FIFO.
  for (;;) {
    int queued = 0;
    if (::ioctl(fd_, TIOCOUTQ, &queued) != 0) return SerialErrorFromErrno(errno);
    if (queued <= 0) break;
    const int left = MillisecondsUntil(deadline);
    if (left == 0) return DropUnsent();
    (void)::poll(nullptr, 0, std::min(left, 2));
  }
  while (::tcdrain(fd_) != 0) {
    if (errno != EINTR) return SerialErrorFromErrno(errno);
  }
  return SerialError::None;
}

SerialError PosixSerialPort::WaitWritable(SteadyClock::time_point deadline) {
  for (;;) {
    const int left = MillisecondsUntil(deadline);
    if (left == 0) return DropUnsent();
    pollfd watch{fd_, POLLOUT, 0};
    const int ready = ::poll(&watch, 1, left);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return SerialErrorFromErrno(errno);
    if (ready == 0) continue;
    if (watch.revents & POLLOUT) return SerialError::None;
    if (watch.revents & POLLNVAL) return SerialError::NotOpen;
    return SerialError::DeviceRemoved;
  }
}

// The device did not take the packet in time: what it did not take is
// dropped here, or it would trickle out later and the next send's purge would
// cut it at a random byte.
SerialError PosixSerialPort::DropUnsent() {
  (void)::tcflush(fd_, TCOFLUSH);
  return SerialError::TimedOut;
}

void PosixSerialPort::Close() {
  if (fd_ < 0) return;
  // The exclusive flag belongs to the tty, not to our descriptor, and
  // outlives the close while anyone else (a pseudo-terminal's master) holds
  // the tty. The flock goes with the descriptor.
  (void)::ioctl(fd_, TIOCNXCL);
  ::close(fd_);
  fd_ = -1;
  pseudoTerminal_ = false;
  lastWaiting_ = 0;
  emptyReadAfterBytes_ = false;
}

}  // namespace

std::unique_ptr<SerialPort> CreateSerialPort(const DeviceDirectories& directories) {
  return std::make_unique<PosixSerialPort>(directories.dev);
}

}  // namespace velmora
