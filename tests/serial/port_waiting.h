#pragma once

#include <poll.h>

#include <chrono>
#include <cstdint>

#include "serial/serial_port.h"

namespace velmora::testing {

// Waits until the port counts at least `count` bytes waiting: bytes from a
// device thread reach the tty asynchronously. Blocks on the port's readiness
// descriptor where it has one; false on time-out or error.
inline bool WaitForWaiting(SerialPort& port, std::uint32_t count,
                           std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    std::uint32_t waiting = 0;
    if (port.BytesWaiting(waiting) != SerialError::None) return false;
    if (waiting >= count) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    // Readable already but only part has come: give the rest a millisecond.
    pollfd watch{port.ReadinessDescriptor(), POLLIN, 0};
    if (waiting > 0 || watch.fd < 0) {
      (void)::poll(nullptr, 0, 1);
    } else {
      (void)::poll(&watch, 1, 100);
    }
  }
}

}  // namespace velmora::testing
