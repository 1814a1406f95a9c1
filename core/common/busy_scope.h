#pragma once

namespace velmora {

// Holds a re-entry guard for one call and releases it however the call ends.
// The guards turn calls from nested message loops (modal windows opened
// inside a handler) into no-ops.
class BusyScope {
 public:
  explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyScope() { flag_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace velmora
