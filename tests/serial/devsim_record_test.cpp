// The simulated device's records for long runs: every piece the pty took is
// reported in order, and received bytes can be counted without being kept.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <string>

#include "pty_device.h"

namespace {

using namespace std::chrono_literals;

// The terminal's side: the slave, raw.
class Slave {
 public:
  explicit Slave(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
    termios tio{};
    if (fd_ >= 0 && ::tcgetattr(fd_, &tio) == 0) {
      ::cfmakeraw(&tio);
      ::tcsetattr(fd_, TCSANOW, &tio);
    }
  }
  ~Slave() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Opened() const { return fd_ >= 0; }
  // Reads until `size` bytes came or a second passed without any.
  std::string Read(std::size_t size) {
    std::string bytes;
    char buffer[4096];
    pollfd watch{fd_, POLLIN, 0};
    while (bytes.size() < size && ::poll(&watch, 1, 1000) > 0) {
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) break;
      bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
  }
  bool Write(const std::string& bytes) {
    return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }

 private:
  int fd_;
};

TEST(DevsimRecord, ReportsEveryByteThePtyTookInOrder) {
  std::mutex mutex;
  std::string reported;
  devsim::DeviceOptions options;
  options.mode = devsim::Mode::Silent;
  options.onSent = [&](std::string_view bytes) {
    const std::lock_guard lock(mutex);
    reported.append(bytes);
  };
  devsim::PtyDevice device(std::move(options));
  Slave slave(device.SlavePath());
  ASSERT_TRUE(slave.Opened());
  // More than the pty holds at once: the device writes it in pieces.
  const std::string sent = devsim::FloodBytes(20000, false) + "end\r\n";
  device.Send(sent.substr(0, 12000));
  device.Send(sent.substr(12000));
  EXPECT_EQ(slave.Read(sent.size()), sent);
  ASSERT_TRUE(device.WaitUntilSent(2s));
  const std::lock_guard lock(mutex);
  EXPECT_EQ(reported, sent);
}

TEST(DevsimRecord, CountsReceivedBytesWithoutKeepingThemWhenAsked) {
  devsim::DeviceOptions options;
  options.mode = devsim::Mode::Silent;
  options.keepReceived = false;
  devsim::PtyDevice device(std::move(options));
  Slave slave(device.SlavePath());
  ASSERT_TRUE(slave.Opened());
  ASSERT_TRUE(slave.Write("ping\r"));
  ASSERT_TRUE(slave.Write("pong\r"));
  EXPECT_TRUE(device.WaitForReceived(10, 2s));
  EXPECT_EQ(device.ReceivedCount(), 10u);
  EXPECT_EQ(device.Received(), "");
}

TEST(DevsimRecord, KeepsReceivedBytesByDefault) {
  devsim::DeviceOptions options;
  options.mode = devsim::Mode::Silent;
  devsim::PtyDevice device(std::move(options));
  Slave slave(device.SlavePath());
  ASSERT_TRUE(slave.Opened());
  ASSERT_TRUE(slave.Write("AT\r"));
  EXPECT_TRUE(device.WaitForReceived(3, 2s));
  EXPECT_EQ(device.ReceivedCount(), 3u);
  EXPECT_EQ(device.Received(), "AT\r");
}

}  // namespace
