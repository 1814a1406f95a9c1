// One suite for every SerialPort this machine can run: the termios backend on
// a pseudo-terminal played by the simulated device, and the in-memory fake.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "fake_serial_port.h"
#include "port_waiting.h"
#include "pty_device.h"
#include "serial/serial_port.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

class PtyBackend {
 public:
  PtyBackend() : device_({devsim::Mode::Silent, "", {}, 0, false}), port_(CreateSerialPort()) {}
  SerialPort& Port() { return *port_; }
  std::string Name() const { return device_.PortName(); }
  void DeviceSends(const std::string& bytes) {
    device_.Send(bytes);
    ASSERT_TRUE(device_.WaitUntilSent(5s));
    ASSERT_TRUE(testing::WaitForWaiting(*port_, static_cast<std::uint32_t>(bytes.size())));
  }
  std::string DeviceReceived(std::size_t size) {
    EXPECT_TRUE(device_.WaitForReceived(size, 5s));
    return device_.Received();
  }

 private:
  devsim::PtyDevice device_;
  std::unique_ptr<SerialPort> port_;
};

class FakeBackend {
 public:
  FakeBackend() : fake_(new testing::FakeSerialPort), port_(fake_) {}
  SerialPort& Port() { return *port_; }
  std::string Name() const { return "COM3"; }
  void DeviceSends(const std::string& bytes) { fake_->Feed(bytes); }
  std::string DeviceReceived(std::size_t) { return fake_->written; }

 private:
  testing::FakeSerialPort* fake_;
  std::unique_ptr<SerialPort> port_;
};

template <typename Backend>
class SerialPortContract : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(backend.Port().Open(backend.Name()), SerialError::None);
    ASSERT_EQ(backend.Port().Apply(k9600), SerialError::None);
  }
  SerialPort& port() { return backend.Port(); }

  static constexpr LineSettings k9600{9600, 8, 0, 0};
  Backend backend;
};

using Backends = ::testing::Types<PtyBackend, FakeBackend>;
TYPED_TEST_SUITE(SerialPortContract, Backends);

TYPED_TEST(SerialPortContract, OpensValidAndTakesTheLineSettings) {
  EXPECT_TRUE(this->port().IsValid());
  EXPECT_EQ(this->port().Apply({115200, 8, 0, 2}), SerialError::None);
}

TYPED_TEST(SerialPortContract, CountsTheBytesTheDeviceSent) {
  this->backend.DeviceSends("hello");
  std::uint32_t waiting = 0;
  EXPECT_EQ(this->port().BytesWaiting(waiting), SerialError::None);
  EXPECT_EQ(waiting, 5u);
}

TYPED_TEST(SerialPortContract, ReadsExactlyTheWaitingBytesAndThenNothing) {
  this->backend.DeviceSends(std::string("ab\0\xff\r\n", 6));
  std::uint8_t buffer[64] = {};
  SerialError error = SerialError::Io;

  EXPECT_EQ(this->port().Read(buffer, 4, error), 4u);
  EXPECT_EQ(error, SerialError::None);
  EXPECT_EQ(this->port().Read(buffer + 4, sizeof buffer - 4, error), 2u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 6), std::string("ab\0\xff\r\n", 6));

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(this->port().Read(buffer, sizeof buffer, error), 0u);
  EXPECT_EQ(error, SerialError::None);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "a read of nothing must not block";
}

TYPED_TEST(SerialPortContract, WritesTheExactBytes) {
  const std::string packet("\x00\x01ping\r\n\x80\xfe\xff", 11);
  EXPECT_EQ(this->port().Write(reinterpret_cast<const std::uint8_t*>(packet.data()), packet.size()),
            SerialError::None);
  EXPECT_EQ(this->backend.DeviceReceived(packet.size()), packet);
}

TYPED_TEST(SerialPortContract, PurgeDiscardsWhatWaits) {
  this->backend.DeviceSends("stale");
  EXPECT_EQ(this->port().Purge(), SerialError::None);
  std::uint32_t waiting = 99;
  EXPECT_EQ(this->port().BytesWaiting(waiting), SerialError::None);
  EXPECT_EQ(waiting, 0u);
}

TYPED_TEST(SerialPortContract, AfterCloseEveryOperationFailsWithNotOpen) {
  this->port().Close();
  EXPECT_FALSE(this->port().IsValid());
  std::uint32_t waiting = 0;
  std::uint8_t byte = 'x';
  SerialError error = SerialError::None;
  EXPECT_EQ(this->port().Apply(this->k9600), SerialError::NotOpen);
  EXPECT_EQ(this->port().Purge(), SerialError::NotOpen);
  EXPECT_EQ(this->port().BytesWaiting(waiting), SerialError::NotOpen);
  EXPECT_EQ(this->port().Read(&byte, 1, error), 0u);
  EXPECT_EQ(error, SerialError::NotOpen);
  EXPECT_EQ(this->port().Write(&byte, 1), SerialError::NotOpen);
}

}  // namespace
}  // namespace velmora
