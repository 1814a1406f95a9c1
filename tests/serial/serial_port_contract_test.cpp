// One suite for every SerialPort this machine can run: the platform's backend
// (termios, or Win32 under Wine) on a pseudo-terminal played by the simulated
// device, and the in-memory fake. Then what only a real line shows.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "fake_serial_port.h"
#include "port_waiting.h"
#include "serial/serial_port.h"
#include "test_device.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

class PtyBackend {
 public:
  PtyBackend() : device_(testing::PlugTestDevice()), port_(CreateSerialPort()) {}
  SerialPort& Port() { return *port_; }
  std::string Name() const { return device_ ? device_->PortName() : ""; }
  void DeviceSends(const std::string& bytes) {
    ASSERT_TRUE(device_->Send(bytes));
    ASSERT_TRUE(testing::WaitForWaiting(*port_, static_cast<std::uint32_t>(bytes.size())));
  }
  std::string DeviceReceived(std::size_t size) {
    EXPECT_TRUE(device_->WaitForReceived(size, 5s));
    return device_->Received();
  }

 private:
  std::unique_ptr<testing::TestDevice> device_;
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

// What only a real line shows: the settings reaching the device, every byte
// value both ways, bursts, and a device that goes away and comes back.
class SerialPortOnDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    device = testing::PlugTestDevice();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(port->Open(device->PortName()), SerialError::None);
    ASSERT_EQ(port->Apply(kLine), SerialError::None);
  }
  SerialError Write(const std::string& bytes) {
    return port->Write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  // Reads until `size` bytes came or nothing more arrives; every read takes
  // at most what the port counted waiting.
  std::string ReadUpTo(std::size_t size) {
    std::string bytes;
    while (bytes.size() < size && testing::WaitForWaiting(*port, 1)) {
      std::uint32_t waiting = 0;
      EXPECT_EQ(port->BytesWaiting(waiting), SerialError::None);
      std::string piece(waiting, '\0');
      SerialError error = SerialError::Io;
      const std::size_t got =
          port->Read(reinterpret_cast<std::uint8_t*>(piece.data()), piece.size(), error);
      EXPECT_EQ(error, SerialError::None);
      EXPECT_LE(got, waiting);
      bytes.append(piece, 0, got);
    }
    return bytes;
  }

  static constexpr LineSettings kLine{115200, 8, 0, 0};
  std::unique_ptr<testing::TestDevice> device;
  std::unique_ptr<SerialPort> port = CreateSerialPort();
};

std::string EveryByteValue() {
  std::string bytes;
  for (int value = 0; value < 256; ++value) bytes += static_cast<char>(value);
  return bytes;
}

struct LineRow {
  LineSettings settings;
  int stopBitsSeen;
};

class LineSettingsOnDevice : public SerialPortOnDevice,
                             public ::testing::WithParamInterface<LineRow> {};

TEST_P(LineSettingsOnDevice, TheDeviceSeesTheSpeedAndStopBitsApplied) {
  const LineRow row = GetParam();
  ASSERT_EQ(port->Apply(row.settings), SerialError::None);
  const auto seen = device->Line();
  ASSERT_TRUE(seen.has_value());
  EXPECT_EQ(seen->baud, row.settings.baudRate);
  EXPECT_EQ(seen->stopBits, row.stopBitsSeen);
  EXPECT_FALSE(seen->parity);
}

INSTANTIATE_TEST_SUITE_P(SpeedsAndStopBits, LineSettingsOnDevice,
                         ::testing::Values(LineRow{{1200, 8, 0, 0}, 1}, LineRow{{9600, 8, 0, 2}, 2},
                                           LineRow{{19200, 8, 0, 0}, 1},
                                           LineRow{{38400, 5, 0, 1}, 2},
                                           LineRow{{57600, 6, 0, 2}, 2},
                                           LineRow{{115200, 8, 0, 0}, 1}));

class RefusedLineOnDevice : public SerialPortOnDevice,
                            public ::testing::WithParamInterface<LineSettings> {};

TEST_P(RefusedLineOnDevice, IsRefusedAndTheLineKeepsItsSettings) {
  EXPECT_EQ(port->Apply(GetParam()), SerialError::SettingsRefused);
  const auto seen = device->Line();
  ASSERT_TRUE(seen.has_value());
  EXPECT_EQ(seen->baud, kLine.baudRate);
  EXPECT_EQ(seen->stopBits, 1);
}

INSTANTIATE_TEST_SUITE_P(OneAndAHalfWithMoreThanFiveOrTwoWithFive, RefusedLineOnDevice,
                         ::testing::Values(LineSettings{9600, 8, 0, 1}, LineSettings{9600, 6, 0, 1},
                                           LineSettings{9600, 5, 0, 2}));

TEST_F(SerialPortOnDevice, TheDeviceReceivesEveryByteValueExactly) {
  // NUL, XON, XOFF, 0x1A and 0x80..0xFF among them: nothing may be eaten.
  const std::string packet = EveryByteValue() + "\r\n\x11\x13\x1a";
  EXPECT_EQ(Write(packet), SerialError::None);
  ASSERT_TRUE(device->WaitForReceived(packet.size(), 5s));
  EXPECT_EQ(device->Received(), packet);
}

TEST_F(SerialPortOnDevice, ReadsEveryByteValueTheDeviceSendsExactly) {
  const std::string packet = EveryByteValue() + "\x13\x11\x1a\r\n";
  ASSERT_TRUE(device->Send(packet));
  EXPECT_EQ(ReadUpTo(packet.size()), packet);
}

TEST_F(SerialPortOnDevice, ReadsABurstWholeInPiecesOfAtMostWhatWaits) {
  std::string burst;
  std::uint32_t state = 0x2545F491u;
  for (int i = 0; i < 3000; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    burst += static_cast<char>(state & 0xFF);
  }
  ASSERT_TRUE(device->Send(burst));
  EXPECT_EQ(ReadUpTo(burst.size()), burst);
}

TEST_F(SerialPortOnDevice, AVanishedDeviceFailsTheWriteAndTheNameOpensAgainWhenItReturns) {
  device->Unplug();
  std::uint32_t waiting = 0;
  const SerialError counted = port->BytesWaiting(waiting);
  const SerialError written = Write("ping\r");
  EXPECT_EQ(counted, SerialError::DeviceRemoved) << SerialErrorName(counted);
  EXPECT_EQ(written, SerialError::DeviceRemoved) << SerialErrorName(written);
  EXPECT_TRUE(port->IsValid()) << "nothing closes a vanished port by itself";

  port->Close();
  device->PlugBack();
  ASSERT_EQ(port->Open(device->PortName()), SerialError::None) << "the same name works again";
  ASSERT_EQ(port->Apply(kLine), SerialError::None);
  EXPECT_EQ(Write("ping\r"), SerialError::None);
  ASSERT_TRUE(device->WaitForReceived(5, 5s));
  EXPECT_EQ(device->Received(), "ping\r");
  ASSERT_TRUE(device->Send("pong\r"));
  EXPECT_EQ(ReadUpTo(5), "pong\r");
}

TEST_F(SerialPortOnDevice, ASecondOpenOfAHeldPortIsRefusedAsInUse) {
  const std::string difference = testing::KnownDifferenceHere(testing::KnownDifference::SharedOpen);
  if (!difference.empty()) GTEST_SKIP() << difference;
  auto other = CreateSerialPort();
  EXPECT_EQ(other->Open(device->PortName()), SerialError::InUse);
  EXPECT_FALSE(other->IsValid());
  port->Close();
  EXPECT_EQ(other->Open(device->PortName()), SerialError::None) << "closing releases the port";
}

TEST_F(SerialPortOnDevice, OpeningTheNameOfAVanishedDeviceFailsAsNotFound) {
  const std::string difference =
      testing::KnownDifferenceHere(testing::KnownDifference::OpenOfAVanishedPort);
  if (!difference.empty()) GTEST_SKIP() << difference;
  port->Close();
  device->Unplug();
  EXPECT_EQ(port->Open(device->PortName()), SerialError::NotFound);
  EXPECT_FALSE(port->IsValid());
}

}  // namespace
}  // namespace velmora
