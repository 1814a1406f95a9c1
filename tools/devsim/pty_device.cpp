#include "pty_device.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <system_error>

namespace devsim {

namespace {

using SteadyClock = std::chrono::steady_clock;

[[noreturn]] void ThrowErrno(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Unescape(std::string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      bytes += text[i];
      continue;
    }
    const char kind = text[++i];
    switch (kind) {
      case 'r': bytes += '\r'; break;
      case 'n': bytes += '\n'; break;
      case 't': bytes += '\t'; break;
      case 'x':
        if (i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
          bytes += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
          i += 2;
        } else {
          bytes += "\\x";
        }
        break;
      default: bytes += kind; break;
    }
  }
  return bytes;
}

int DelayOf(const std::string& field, int lineNumber) {
  if (field.empty()) return 0;
  std::size_t used = 0;
  int delay = -1;
  try {
    delay = std::stoi(field, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != field.size() || delay < 0) {
    throw std::runtime_error("script line " + std::to_string(lineNumber) +
                             ": the delay is no number of milliseconds");
  }
  return delay;
}

void SetNonBlocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) ThrowErrno("fcntl");
}

}  // namespace

std::vector<ScriptLine> ParseScript(std::istream& in) {
  std::vector<ScriptLine> script;
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') continue;
    const std::size_t firstTab = line.find('\t');
    if (firstTab == std::string::npos) {
      throw std::runtime_error("script line " + std::to_string(lineNumber) +
                               ": expected request<TAB>reply<TAB>delay_ms");
    }
    const std::size_t secondTab = line.find('\t', firstTab + 1);
    ScriptLine entry;
    entry.request = Unescape(std::string_view(line).substr(0, firstTab));
    entry.reply = Unescape(std::string_view(line).substr(
        firstTab + 1,
        secondTab == std::string::npos ? std::string::npos : secondTab - firstTab - 1));
    if (secondTab != std::string::npos)
      entry.delayMs = DelayOf(line.substr(secondTab + 1), lineNumber);
    script.push_back(std::move(entry));
  }
  return script;
}

std::string FloodBytes(std::size_t size, bool text) {
  std::string bytes;
  bytes.reserve(size);
  if (text) {
    for (unsigned long n = 1; bytes.size() < size; ++n) {
      char line[80];
      std::snprintf(line, sizeof line, "%07lu The quick brown fox jumps over the lazy dog\r\n", n);
      bytes += line;
    }
    bytes.resize(size);
    return bytes;
  }
  std::uint32_t state = 0x2545F491u;
  while (bytes.size() < size) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    bytes += static_cast<char>(state >> 24);
  }
  return bytes;
}

PtyDevice::PtyDevice(DeviceOptions options) : options_(std::move(options)) {
  int wake[2];
  if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) ThrowErrno("pipe2");
  wakeRead_ = wake[0];
  wakeWrite_ = wake[1];
  try {
    OpenPair();
  } catch (...) {
    ::close(wakeRead_);
    ::close(wakeWrite_);
    throw;
  }
  thread_ = std::thread(&PtyDevice::Run, this);
}

PtyDevice::~PtyDevice() {
  Stop();
  ::close(wakeRead_);
  ::close(wakeWrite_);
}

void PtyDevice::OpenPair() {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) ThrowErrno("posix_openpt");
  char name[128];
  termios tio{};
  if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
      ::ptsname_r(master, name, sizeof name) != 0 || ::tcgetattr(master, &tio) != 0) {
    const int error = errno;
    ::close(master);
    throw std::system_error(error, std::generic_category(), "pseudo-terminal");
  }
  // On Linux the master's settings are the slave's: a raw line until the
  // terminal sets its own.
  ::cfmakeraw(&tio);
  (void)::tcsetattr(master, TCSANOW, &tio);
  SetNonBlocking(master);
  // Our own slave descriptor keeps the pair alive while the terminal has the
  // port closed: without it the master reads EIO and polls POLLHUP.
  const int ownSlave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (ownSlave < 0) {
    const int error = errno;
    ::close(master);
    throw std::system_error(error, std::generic_category(), "open slave");
  }
  if (!options_.linkPath.empty()) {
    // Made beside the link and renamed over it, so the link never dangles
    // half-made and an old link of a previous run is replaced.
    const std::string temporary = options_.linkPath + ".new";
    ::unlink(temporary.c_str());
    if (::symlink(name, temporary.c_str()) != 0 ||
        ::rename(temporary.c_str(), options_.linkPath.c_str()) != 0) {
      const int error = errno;
      ::unlink(temporary.c_str());
      ::close(ownSlave);
      ::close(master);
      throw std::system_error(error, std::generic_category(), "symlink " + options_.linkPath);
    }
  }
  std::lock_guard lock(mutex_);
  master_ = master;
  ownSlave_ = ownSlave;
  slavePath_ = name;
}

void PtyDevice::ClosePair() {
  std::lock_guard lock(mutex_);
  if (master_ < 0) return;
  if (!options_.linkPath.empty()) ::unlink(options_.linkPath.c_str());
  ::close(master_);
  ::close(ownSlave_);
  master_ = -1;
  ownSlave_ = -1;
  pending_.clear();
  changed_.notify_all();
}

std::string PtyDevice::SlavePath() const {
  std::lock_guard lock(mutex_);
  return slavePath_;
}

std::string PtyDevice::PortName() const {
  return options_.linkPath.empty() ? SlavePath() : options_.linkPath;
}

std::string PtyDevice::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

std::size_t PtyDevice::ReceivedCount() const {
  std::lock_guard lock(mutex_);
  return receivedCount_;
}

bool PtyDevice::WaitForReceived(std::size_t size, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return receivedCount_ >= size; });
}

bool PtyDevice::WaitUntilSent(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return pending_.empty(); });
}

std::optional<termios> PtyDevice::LineSettings() const {
  std::lock_guard lock(mutex_);
  termios tio{};
  if (master_ < 0 || ::tcgetattr(master_, &tio) != 0) return std::nullopt;
  return tio;
}

std::chrono::steady_clock::time_point PtyDevice::LastSentAt() const {
  std::lock_guard lock(mutex_);
  return lastSentAt_;
}

bool PtyDevice::Plugged() const {
  std::lock_guard lock(mutex_);
  return master_ >= 0;
}

void PtyDevice::Send(std::string_view bytes) {
  {
    std::lock_guard lock(mutex_);
    Queue(SteadyClock::now(), std::string(bytes));
  }
  Wake();
}

void PtyDevice::Unplug() { Stop(); }

void PtyDevice::PlugBack() {
  if (Plugged()) return;
  OpenPair();
  {
    std::lock_guard lock(mutex_);
    stopping_ = false;
    floodStarted_ = false;
    lineSoFar_.clear();
  }
  thread_ = std::thread(&PtyDevice::Run, this);
}

void PtyDevice::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  Wake();
  if (thread_.joinable()) thread_.join();
  ClosePair();
}

void PtyDevice::Wake() {
  const char byte = 1;
  // A full pipe already holds a wake-up.
  (void)!::write(wakeWrite_, &byte, 1);
}

// Called with the lock held.
void PtyDevice::Queue(SteadyClock::time_point due, std::string bytes) {
  if (bytes.empty()) return;
  const auto later = std::upper_bound(pending_.begin(), pending_.end(), due,
                                      [](auto time, const Pending& p) { return time < p.due; });
  pending_.insert(later, Pending{due, std::move(bytes)});
}

void PtyDevice::OnReceived(const char* data, std::size_t size) {
  std::lock_guard lock(mutex_);
  receivedCount_ += size;
  if (options_.keepReceived) received_.append(data, size);
  const auto now = SteadyClock::now();
  switch (options_.mode) {
    case Mode::Echo: Queue(now, std::string(data, size)); break;
    case Mode::Script:
      for (std::size_t i = 0; i < size; ++i) {
        if (data[i] != '\r' && data[i] != '\n') {
          lineSoFar_ += data[i];
          continue;
        }
        for (const auto& entry : options_.script) {
          if (!lineSoFar_.empty() && entry.request == lineSoFar_) {
            Queue(now + std::chrono::milliseconds(entry.delayMs), entry.reply);
          }
        }
        lineSoFar_.clear();
      }
      break;
    case Mode::Flood:
      if (!floodStarted_) {
        floodStarted_ = true;
        Queue(now, FloodBytes(options_.floodBytes, options_.floodText));
      }
      break;
    case Mode::Silent:
    case Mode::Deaf: break;
  }
  changed_.notify_all();
}

void PtyDevice::WritePending() {
  std::lock_guard lock(mutex_);
  const auto now = SteadyClock::now();
  while (!pending_.empty() && pending_.front().due <= now) {
    Pending& front = pending_.front();
    const ssize_t n =
        ::write(master_, front.bytes.data() + front.offset, front.bytes.size() - front.offset);
    if (n < 0) break;  // EAGAIN: the terminal is not reading; POLLOUT comes back
    if (n > 0 && options_.onSent) {
      options_.onSent(
          std::string_view(front.bytes).substr(front.offset, static_cast<std::size_t>(n)));
    }
    front.offset += static_cast<std::size_t>(n);
    if (front.offset == front.bytes.size()) {
      pending_.pop_front();
      lastSentAt_ = SteadyClock::now();
    }
  }
  changed_.notify_all();
}

void PtyDevice::Run() {
  char buffer[4096];
  bool masterQuietForAWhile = false;
  for (;;) {
    int timeoutMs = -1;
    bool wantOut = false;
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return;
      if (!pending_.empty()) {
        const auto wait = pending_.front().due - SteadyClock::now();
        if (wait <= SteadyClock::duration::zero()) {
          wantOut = true;
        } else {
          timeoutMs = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count());
        }
      }
    }
    short masterEvents = 0;
    if (options_.mode != Mode::Deaf) masterEvents |= POLLIN;
    if (wantOut) masterEvents |= POLLOUT;
    pollfd watch[2] = {{wakeRead_, POLLIN, 0},
                       {masterQuietForAWhile ? -1 : master_, masterEvents, 0}};
    // A master that reports only a hang-up would wake us at once, forever:
    // it is left out of one 10 ms round instead.
    if (masterQuietForAWhile) timeoutMs = timeoutMs < 0 ? 10 : std::min(timeoutMs, 10);
    masterQuietForAWhile = false;
    if (::poll(watch, 2, timeoutMs) < 0 && errno != EINTR) return;
    if (watch[0].revents & POLLIN) {
      while (::read(wakeRead_, buffer, sizeof buffer) > 0) {
      }
    }
    const short events = watch[1].revents;
    if (events & POLLIN) {
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n > 0) OnReceived(buffer, static_cast<std::size_t>(n));
    }
    if (events & POLLOUT) WritePending();
    if ((events & (POLLHUP | POLLERR)) && !(events & (POLLIN | POLLOUT)))
      masterQuietForAWhile = true;
  }
}

}  // namespace devsim
