#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

#include "serial/serial_port.h"

namespace velmora::testing {

// Waits until the port counts at least `count` bytes waiting: bytes from a
// device reach the driver asynchronously. Asks the port every millisecond;
// false on time-out or error.
inline bool WaitForWaiting(SerialPort& port, std::uint32_t count,
                           std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    std::uint32_t waiting = 0;
    if (port.BytesWaiting(waiting) != SerialError::None) return false;
    if (waiting >= count) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace velmora::testing
