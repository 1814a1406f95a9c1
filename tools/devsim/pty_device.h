#pragma once

#include <termios.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <istream>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace devsim {

// How the simulated device behaves on its side of the pseudo-terminal.
enum class Mode {
  Echo,    // sends back every byte it receives
  Script,  // answers known request lines with their replies
  Silent,  // reads and keeps everything, answers nothing
  Deaf,    // never reads: the terminal's writes pile up and stall
  Flood,   // the first byte received starts a flood of `floodBytes` bytes
};

// "request<TAB>reply<TAB>delay_ms": when a line equal to `request` arrives
// (ended by CR or LF), `reply` is sent `delayMs` milliseconds later.
struct ScriptLine {
  std::string request;
  std::string reply;
  int delayMs = 0;
};

struct DeviceOptions {
  Mode mode = Mode::Echo;
  std::string linkPath;  // a stable symlink to the slave; empty: none
  std::vector<ScriptLine> script;
  std::size_t floodBytes = 0;
  bool floodText = false;  // text lines instead of pseudo-random bytes
  // false: received bytes are counted but not kept (Received() stays
  // empty), so a long run does not grow with what the terminal sent.
  bool keepReceived = true;
  // Called from the device's thread, in order, with every piece of bytes the
  // pty took: what the terminal can read, exactly.
  std::function<void(std::string_view)> onSent;
};

// Reads a script file: one "request<TAB>reply<TAB>delay_ms" per line; the
// delay may be left out (0). In request and reply, \r \n \t \\ and \xHH stand
// for their bytes. Empty lines and lines starting with '#' are skipped.
std::vector<ScriptLine> ParseScript(std::istream& in);

// The bytes of a flood: pseudo-random (a fixed xorshift sequence, the same
// every run) or text lines "0000001 The quick brown fox...\r\n", cut at
// `size` bytes.
std::string FloodBytes(std::size_t size, bool text);

// A device on the master side of a pseudo-terminal pair; the terminal opens
// the slave (or the link). A background thread plays the mode until Stop().
// The device keeps a slave descriptor of its own open, so the pair lives on
// while the terminal closes and re-opens the port.
// Unplug, PlugBack and Stop are called from one controlling thread; the
// accessors may be called from any thread.
class PtyDevice {
 public:
  explicit PtyDevice(DeviceOptions options);  // throws std::system_error
  ~PtyDevice();
  PtyDevice(const PtyDevice&) = delete;
  PtyDevice& operator=(const PtyDevice&) = delete;

  // The slave's path ("/dev/pts/4"); changes with every PlugBack.
  std::string SlavePath() const;
  // The name the terminal should open: the link if there is one, else the slave.
  std::string PortName() const;

  // Everything received since start (across unplugging).
  std::string Received() const;
  // How many bytes were received since start, kept or not.
  std::size_t ReceivedCount() const;
  // Waits until at least `size` bytes have been received; false on time-out.
  bool WaitForReceived(std::size_t size, std::chrono::milliseconds timeout) const;
  // Waits until everything queued for sending has been handed to the pty.
  bool WaitUntilSent(std::chrono::milliseconds timeout) const;
  // The line settings the terminal set, as the device side sees them.
  std::optional<termios> LineSettings() const;

  // When the last queued bytes were handed to the pty (a send, a scripted
  // reply or a flood finished).
  std::chrono::steady_clock::time_point LastSentAt() const;

  // Sends bytes as the device, at once.
  void Send(std::string_view bytes);

  // Closes the master (the terminal's port hangs up) and removes the link.
  void Unplug();
  // A new pseudo-terminal, the same link; the mode starts over.
  void PlugBack();
  void Stop();
  bool Plugged() const;

 private:
  struct Pending {
    std::chrono::steady_clock::time_point due;
    std::string bytes;
    std::size_t offset = 0;  // how much of `bytes` the pty has taken
  };

  void OpenPair();
  void ClosePair();
  void Run();
  void Wake();
  void OnReceived(const char* data, std::size_t size);
  void Queue(std::chrono::steady_clock::time_point due, std::string bytes);
  void WritePending();

  DeviceOptions options_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  int master_ = -1;
  int ownSlave_ = -1;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::string slavePath_;
  std::string received_;
  std::size_t receivedCount_ = 0;
  std::string lineSoFar_;
  bool floodStarted_ = false;
  bool stopping_ = false;
  std::deque<Pending> pending_;
  std::chrono::steady_clock::time_point lastSentAt_{};
  std::thread thread_;
};

}  // namespace devsim
