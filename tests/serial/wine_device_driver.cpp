// Plays the device for a Windows test program running under Wine.
//
//   velmora-wine-device --link PATH -- COMMAND...
//
// Wine maps a COM port to PATH (HKLM\Software\Wine\Ports). The driver runs
// COMMAND (the test program under wine, with its own time-out) with
// VELMORA_TEST_DEVICE=127.0.0.1:PORT in its environment, and answers the
// program's requests on that TCP port, one line each:
//   plug                a fresh device at PATH        -> ok
//   send HEX            the device sends the bytes    -> ok | fail
//   wait N MS           waits for N received bytes    -> ok | fail
//   received            what the device received      -> HEX
//   line                the settings the port applied -> BAUD STOPBITS PARITY | none
//   unplug, plugback    the device goes and returns   -> ok
// Closing the connection removes the device. The command's output goes to a
// file and is copied out when it has ended: a Wine child may keep a pipe
// open long after, so nothing here waits for a pipe to close.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "test_device.h"

namespace {

using velmora::testing::TestDevice;

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

class Session {
 public:
  explicit Session(std::string linkPath) : linkPath_(std::move(linkPath)) {}

  std::string Answer(const std::string& request) {
    std::istringstream in(request);
    std::string verb;
    in >> verb;
    if (verb == "plug") {
      device_.reset();
      device_ = velmora::testing::PlugTestDeviceAt(linkPath_);
      return "ok";
    }
    if (!device_) return "fail";
    if (verb == "send") {
      std::string hex;
      in >> hex;
      return device_->Send(Unhex(hex)) ? "ok" : "fail";
    }
    if (verb == "wait") {
      std::size_t size = 0;
      long ms = 0;
      in >> size >> ms;
      return device_->WaitForReceived(size, std::chrono::milliseconds(ms)) ? "ok" : "fail";
    }
    if (verb == "received") return Hex(device_->Received());
    if (verb == "line") {
      const auto line = device_->Line();
      if (!line) return "none";
      return std::to_string(line->baud) + " " + std::to_string(line->stopBits) + " " +
             (line->parity ? "1" : "0");
    }
    if (verb == "unplug") {
      device_->Unplug();
      return "ok";
    }
    if (verb == "plugback") {
      device_->PlugBack();
      return "ok";
    }
    return "fail";
  }

  void Close() { device_.reset(); }

 private:
  std::string linkPath_;
  std::unique_ptr<TestDevice> device_;
};

int Usage() {
  std::cerr << "usage: velmora-wine-device --link PATH -- COMMAND...\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || std::string(argv[1]) != "--link" || std::string(argv[3]) != "--") return Usage();
  Session session(argv[2]);

  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener < 0 ||
      ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 4) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    std::perror("velmora-wine-device: socket");
    return 1;
  }
  const std::string endpoint = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));

  char logTemplate[] = "/tmp/velmora-wine-device-XXXXXX";
  const int log = ::mkstemp(logTemplate);
  if (log < 0) {
    std::perror("velmora-wine-device: log file");
    return 1;
  }
  const pid_t child = ::fork();
  if (child == 0) {
    ::setenv("VELMORA_TEST_DEVICE", endpoint.c_str(), 1);
    ::dup2(log, STDOUT_FILENO);
    ::dup2(log, STDERR_FILENO);
    ::execvp(argv[4], argv + 4);
    std::perror("velmora-wine-device: exec");
    std::_Exit(127);
  }
  ::close(log);

  int client = -1;
  std::string pending;
  int status = 0;
  for (;;) {
    if (::waitpid(child, &status, WNOHANG) == child) break;
    std::vector<pollfd> watch{{listener, POLLIN, 0}};
    if (client >= 0) watch.push_back({client, POLLIN, 0});
    if (::poll(watch.data(), watch.size(), 100) <= 0) continue;
    if ((watch[0].revents & POLLIN) != 0) {
      const int accepted = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
      if (accepted >= 0) {
        if (client >= 0) ::close(client);
        session.Close();
        client = accepted;
        pending.clear();
      }
      continue;
    }
    char buffer[4096];
    const ssize_t got = ::read(client, buffer, sizeof buffer);
    if (got <= 0) {
      ::close(client);
      client = -1;
      session.Close();
      continue;
    }
    pending.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      const std::string answer = session.Answer(pending.substr(0, end)) + "\n";
      pending.erase(0, end + 1);
      if (::send(client, answer.data(), answer.size(), MSG_NOSIGNAL) !=
          static_cast<ssize_t>(answer.size())) {
        break;
      }
    }
  }
  session.Close();
  std::cout << std::ifstream(logTemplate).rdbuf() << std::flush;
  ::unlink(logTemplate);
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
