// The test device for the Windows build: a pseudo-terminal that Wine maps as
// a COM port, played by the Linux driver (velmora-wine-device) that started
// this program. The driver's address is in VELMORA_TEST_DEVICE, the COM port
// in VELMORA_TEST_PORT.

#include <winsock2.h>
#include <ws2tcpip.h>
// winsock2.h before windows.h
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <sstream>

#include "test_device.h"

namespace velmora::testing {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (const unsigned char byte : bytes) {
    text += digits[byte >> 4];
    text += digits[byte & 15];
  }
  return text;
}

std::string Unhex(const std::string& text) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

class RemoteDevice final : public TestDevice {
 public:
  RemoteDevice(SOCKET socket, std::string port) : socket_(socket), port_(std::move(port)) {}
  ~RemoteDevice() override { closesocket(socket_); }

  std::string PortName() const override { return port_; }
  bool Send(const std::string& bytes) override { return Ask("send " + Hex(bytes)) == "ok"; }
  bool WaitForReceived(std::size_t size, std::chrono::milliseconds timeout) override {
    return Ask("wait " + std::to_string(size) + " " + std::to_string(timeout.count())) == "ok";
  }
  std::string Received() override { return Unhex(Ask("received")); }
  std::optional<DeviceLine> Line() override {
    std::istringstream answer(Ask("line"));
    DeviceLine line;
    int parity = 0;
    if (!(answer >> line.baud >> line.stopBits >> parity)) return std::nullopt;
    line.parity = parity != 0;
    return line;
  }
  void Unplug() override { EXPECT_EQ(Ask("unplug"), "ok"); }
  void PlugBack() override { EXPECT_EQ(Ask("plugback"), "ok"); }

  std::string Ask(const std::string& request) {
    const std::string line = request + "\n";
    if (send(socket_, line.data(), static_cast<int>(line.size()), 0) !=
        static_cast<int>(line.size())) {
      ADD_FAILURE() << "the device driver is gone";
      return {};
    }
    std::string answer;
    for (;;) {
      const auto end = buffered_.find('\n');
      if (end != std::string::npos) {
        answer = buffered_.substr(0, end);
        buffered_.erase(0, end + 1);
        return answer;
      }
      char buffer[4096];
      const int got = recv(socket_, buffer, sizeof buffer, 0);
      if (got <= 0) {
        ADD_FAILURE() << "the device driver is gone";
        return {};
      }
      buffered_.append(buffer, static_cast<std::size_t>(got));
    }
  }

 private:
  SOCKET socket_;
  std::string port_;
  std::string buffered_;
};

SOCKET Connect(const std::string& endpoint) {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  const auto colon = endpoint.rfind(':');
  if (!started || colon == std::string::npos) return INVALID_SOCKET;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(std::atoi(endpoint.c_str() + colon + 1)));
  if (inet_pton(AF_INET, endpoint.substr(0, colon).c_str(), &address.sin_addr) != 1) {
    return INVALID_SOCKET;
  }
  const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket == INVALID_SOCKET) return socket;
  if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    closesocket(socket);
    return INVALID_SOCKET;
  }
  return socket;
}

// Wine's ntdll exports its version; Windows' does not.
bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace

std::unique_ptr<TestDevice> PlugTestDevice() {
  const std::string endpoint = Environment("VELMORA_TEST_DEVICE");
  const std::string port = Environment("VELMORA_TEST_PORT");
  if (endpoint.empty() || port.empty()) {
    ADD_FAILURE() << "run under velmora-wine-device: VELMORA_TEST_DEVICE and VELMORA_TEST_PORT "
                     "name the device driver and the COM port it plays";
    return nullptr;
  }
  const SOCKET socket = Connect(endpoint);
  if (socket == INVALID_SOCKET) {
    ADD_FAILURE() << "no device driver at " << endpoint;
    return nullptr;
  }
  auto device = std::make_unique<RemoteDevice>(socket, port);
  if (device->Ask("plug") != "ok") return nullptr;
  return device;
}

std::unique_ptr<TestDevice> PlugTestDeviceAt(const std::string&) { return PlugTestDevice(); }

std::string KnownDifferenceHere(KnownDifference difference) {
  if (!RunningUnderWine()) return {};
  switch (difference) {
    case KnownDifference::SharedOpen: return "Wine does not open COM ports exclusively";
    case KnownDifference::OpenOfAVanishedPort:
      return "Wine opens a COM port whose target is gone; every later call fails";
    case KnownDifference::ModemLinesReadAsSet:
      return "Wine reads DTR and RTS back as set on a pseudo-terminal";
  }
  return {};
}

}  // namespace velmora::testing
