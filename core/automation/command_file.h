#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/bytes.h"

namespace velmora {

// The limits of a command file: at most this many lines are read, and a line
// is loaded only when it is shorter than the line limit.
inline constexpr std::size_t kCommandFileMaxLines = 500;
inline constexpr std::size_t kCommandLineLimit = 255;

// Cuts the bytes of a command file into lines as they arrive, in chunks of
// any size. Lines end at LF or CR LF; a CR not followed by LF stays in the
// line; the first Ctrl+Z (26) ends the file; a final LF starts no line, a
// last line without one counts. A line of 255 characters or more is counted
// but not kept, and its bytes are never stored. Reading stops after 500
// lines.
class CommandFileParser {
 public:
  // Takes the next bytes; returns false once the parser wants no more (500
  // lines read or Ctrl+Z seen).
  bool Feed(const std::uint8_t* data, std::size_t size);
  // The end of the file: a last line without LF is counted here.
  void Finish();

  bool Done() const { return done_; }
  // The kept lines, in file order.
  const std::vector<Bytes>& Lines() const { return lines_; }
  std::vector<Bytes> TakeLines() { return std::move(lines_); }
  // Every line read, the skipped long ones included.
  std::size_t LinesRead() const { return linesRead_; }
  // 500 lines were read: the window says "Большой файл" (also when the file
  // had exactly 500 lines).
  bool BigFile() const { return linesRead_ >= kCommandFileMaxLines; }

 private:
  void EndLine(std::size_t length);

  std::vector<Bytes> lines_;
  Bytes current_;             // the first bytes of the line being read
  std::size_t length_ = 0;    // its length so far, CR included
  bool lineStarted_ = false;  // a byte of the current line has been read
  bool lastByteCr_ = false;   // the line so far ends with CR
  bool done_ = false;
  std::size_t linesRead_ = 0;
};

// What loading a command file gave. `error` is 0 or the system's error
// number with its text; the lines read before a read error stay.
struct CommandFile {
  int error = 0;
  std::string reason;
  std::vector<Bytes> lines;
  std::size_t linesRead = 0;
  bool bigFile = false;

  bool Ok() const { return error == 0; }
};

// The file as the platform reads it. One implementation per platform
// (command_file_posix.cpp, command_file_win32.cpp); tests may supply their own.
class CommandFileSource {
 public:
  virtual ~CommandFileSource() = default;
  // Opens the file for reading. Refuses anything that is not a regular file
  // (a FIFO would block the window, /dev/zero never ends) with EIO. Returns 0
  // or the error number; `reason` gets its text.
  virtual int Open(const std::string& path, std::string& reason) = 0;
  // Reads up to `size` bytes; 0 at the end of the file; -1 on an error, with
  // `error` and `reason` set.
  virtual long Read(std::uint8_t* data, std::size_t size, int& error, std::string& reason) = 0;
  // Closes the file; nothing when it is not open.
  virtual void Close() = 0;
};

// The reader of this platform. `path` is the file name in the platform's own
// bytes (never a 1251 text): a folder with any name works.
std::unique_ptr<CommandFileSource> CreateCommandFileSource();

// Reads a command file through `source`: opens it, parses it, closes it.
CommandFile ReadCommandFile(CommandFileSource& source, const std::string& path);
// The same through the platform's reader.
CommandFile ReadCommandFile(const std::string& path);

}  // namespace velmora
