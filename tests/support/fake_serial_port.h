#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "serial/serial_port.h"

namespace velmora::testing {

// A serial port in memory: what the terminal writes is collected in
// `written`, what the device "sends" is queued in `incoming`.
class FakeSerialPort : public SerialPort {
 public:
  SerialError Open(const std::string& name) override {
    calls.push_back("open");
    openedName = name;
    ++openCount;
    valid = openError == SerialError::None;
    return openError;
  }
  void SetQueueSizes(std::uint32_t, std::uint32_t) override {}
  SerialError Apply(const LineSettings& settings) override {
    calls.push_back("apply");
    if (!valid) return SerialError::NotOpen;
    applied = settings;
    return applyError;
  }
  SerialError Probe(const LineSettings& settings) override {
    ++probeCount;
    if (!valid) return SerialError::NotOpen;
    if (probeError != SerialError::None) return probeError;
    return Apply(settings);
  }
  bool HungUp() override { return valid && hungUp; }
  SerialError Purge() override {
    calls.push_back("purge");
    ++purgeCount;
    if (!valid) return SerialError::NotOpen;
    incoming.clear();
    return SerialError::None;
  }
  SerialError BytesWaiting(std::uint32_t& count) override {
    count = 0;
    if (!valid) return SerialError::NotOpen;
    if (waitingError != SerialError::None) return waitingError;
    count = static_cast<std::uint32_t>(incoming.size());
    return SerialError::None;
  }
  std::size_t Read(std::uint8_t* data, std::size_t size, SerialError& error) override {
    error = valid ? SerialError::None : SerialError::NotOpen;
    if (!valid) return 0;
    std::size_t n = 0;
    while (n < size && !incoming.empty()) {
      data[n++] = incoming.front();
      incoming.pop_front();
    }
    reads.push_back(n);
    return n;
  }
  SerialError Write(const std::uint8_t* data, std::size_t size) override {
    if (!valid) return SerialError::NotOpen;
    writes.emplace_back(reinterpret_cast<const char*>(data), size);
    written.append(reinterpret_cast<const char*>(data), size);
    return writeError;
  }
  void Close() override {
    calls.push_back("close");
    valid = false;
    ++closeCount;
  }
  bool IsValid() const override { return valid; }

  void Feed(const std::string& bytes) {
    incoming.insert(incoming.end(), bytes.begin(), bytes.end());
  }

  std::string openedName;
  int openCount = 0;
  int closeCount = 0;
  int purgeCount = 0;
  int probeCount = 0;
  bool hungUp = false;
  SerialError probeError = SerialError::None;
  bool valid = false;
  SerialError openError = SerialError::None;
  SerialError applyError = SerialError::None;
  SerialError waitingError = SerialError::None;
  SerialError writeError = SerialError::None;
  LineSettings applied{};
  std::deque<std::uint8_t> incoming;
  std::string written;
  std::vector<std::string> writes;
  std::vector<std::size_t> reads;
  // Open, Apply, Purge and Close in the order they were called.
  std::vector<std::string> calls;
};

}  // namespace velmora::testing
