// The command file as any bytes, handed over by a source in chunks of
// varying size that may end in a read error: the lines must be the same as a
// plain reading of the whole file gives, however the bytes arrive.
//
// The input is a header of three bytes and the file:
//   byte 0  how the source behaves: bits 0-1 how the file ends (0 and 1 at
//           its end, 2 a read error with its number, 3 a read error without
//           one); bits 2-7 the first of the chunk sizes. 0xFF: opening fails.
//   byte 1, 2  where the read error comes, as a little-endian offset (taken
//           modulo the file's size plus one).
// An input shorter than the header is a whole file read to its end.

#include "automation/command_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "targets.h"

namespace velmora::fuzz {
namespace {

constexpr char kCtrlZ = '\x1A';
constexpr std::size_t kHeader = 3;
constexpr int kReadError = ENXIO;

enum class Ending { AtTheEnd, ErrorWithNumber, ErrorWithoutNumber, OpenFails };

// The lines of a file as its reading rules say, worked out on the whole text
// at once rather than byte by byte as the reader does.
struct Expected {
  std::vector<Bytes> lines;
  std::size_t linesRead = 0;
  bool done = false;         // 500 lines or a Ctrl+Z: the reader wants no more bytes
  std::size_t consumed = 0;  // when done: the bytes up to the one that ended the reading
};

// `bytes` is what the source gives before it ends; `reachesEnd` says whether
// it then reports the end of the file (a last line without LF counts) or an
// error (the unfinished line is lost).
Expected Expect(BytesView bytes, bool reachesEnd) {
  Expected expected;
  const std::size_t ctrlZ = bytes.find(kCtrlZ);
  const BytesView text = bytes.substr(0, ctrlZ);
  const auto count = [&](BytesView line) {
    if (line.size() < kCommandLineLimit) expected.lines.emplace_back(line);
    ++expected.linesRead;
  };
  std::size_t at = 0;
  while (expected.linesRead < kCommandFileMaxLines) {
    const std::size_t lf = text.find('\n', at);
    if (lf == BytesView::npos) {
      // The last line, ended by Ctrl+Z or the end of the file; a CR at its
      // end has no LF after it and stays.
      const bool ended = ctrlZ != BytesView::npos || reachesEnd;
      if (ended && at < text.size()) count(text.substr(at));
      if (ctrlZ != BytesView::npos) {
        expected.done = true;
        expected.consumed = ctrlZ + 1;
      }
      return expected;
    }
    BytesView line = text.substr(at, lf - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    count(line);
    at = lf + 1;
  }
  expected.done = true;
  expected.consumed = at;
  return expected;
}

// Hands the file over in chunks whose sizes cycle through a table, then ends
// as it was told, and keeps track of what the reader asked for.
class ScriptedSource : public CommandFileSource {
 public:
  ScriptedSource(BytesView file, Ending ending, std::size_t errorAt, std::size_t firstChunk)
      : file_(file), ending_(ending), errorAt_(errorAt), next_(firstChunk) {}

  int Open(const std::string& path, std::string& reason) override {
    FUZZ_CHECK(path == "commands.txt");
    FUZZ_CHECK(!open_ && opens == 0);
    ++opens;
    if (ending_ == Ending::OpenFails) {
      reason = "refused";
      return EACCES;
    }
    open_ = true;
    return 0;
  }

  long Read(std::uint8_t* data, std::size_t size, int& error, std::string& reason) override {
    FUZZ_CHECK(open_);
    FUZZ_CHECK(size > 0);
    FUZZ_CHECK(!ended_);  // no read after the end or an error
    const bool fails = ending_ == Ending::ErrorWithNumber || ending_ == Ending::ErrorWithoutNumber;
    const std::size_t limit = fails ? errorAt_ : file_.size();
    if (served == limit) {
      ended_ = true;
      if (!fails) return 0;
      if (ending_ == Ending::ErrorWithNumber) {
        error = kReadError;
        reason = "gone";
      }
      return -1;
    }
    static constexpr std::array<std::size_t, 10> kChunks{1, 2, 3, 5, 64, 254, 255, 256, 4095, 4096};
    const std::size_t n = std::min({size, kChunks[next_ % kChunks.size()], limit - served});
    ++next_;
    std::copy_n(file_.data() + served, n, data);
    served += n;
    lastChunk = n;
    return static_cast<long>(n);
  }

  void Close() override {
    FUZZ_CHECK(open_);
    open_ = false;
    ++closes;
  }

  int opens = 0;
  int closes = 0;
  std::size_t served = 0;
  std::size_t lastChunk = 0;

 private:
  BytesView file_;
  Ending ending_;
  std::size_t errorAt_;
  std::size_t next_;
  bool open_ = false;
  bool ended_ = false;
};

// What holds for any result, whatever the file: the reader's limits, and the
// lines stand in the file in their order.
void CheckShape(const CommandFile& read, BytesView file) {
  FUZZ_CHECK(read.linesRead <= kCommandFileMaxLines);
  FUZZ_CHECK(read.lines.size() <= read.linesRead);
  FUZZ_CHECK(read.bigFile == (read.linesRead == kCommandFileMaxLines));
  std::size_t at = 0;
  for (const Bytes& line : read.lines) {
    FUZZ_CHECK(line.size() < kCommandLineLimit);
    FUZZ_CHECK(line.find('\n') == Bytes::npos);
    FUZZ_CHECK(line.find(kCtrlZ) == Bytes::npos);
    const std::size_t found = file.find(line, at);
    FUZZ_CHECK(found != BytesView::npos);
    at = found + line.size();
  }
}

}  // namespace

void FuzzCommandFile(const std::uint8_t* data, std::size_t size) {
  const BytesView input(reinterpret_cast<const char*>(data), size);
  const bool headed = size >= kHeader;
  const BytesView file = headed ? input.substr(kHeader) : input;
  const std::uint8_t shape = headed ? ByteAt(input, 0) : 0;
  const Ending ending = shape == 0xFF      ? Ending::OpenFails
                        : (shape & 3) == 2 ? Ending::ErrorWithNumber
                        : (shape & 3) == 3 ? Ending::ErrorWithoutNumber
                                           : Ending::AtTheEnd;
  const std::size_t errorAt =
      headed ? (ByteAt(input, 1) | std::size_t{ByteAt(input, 2)} << 8) % (file.size() + 1) : 0;

  ScriptedSource source(file, ending, errorAt, shape >> 2);
  const CommandFile read = ReadCommandFile(source, "commands.txt");
  FUZZ_CHECK(source.opens == 1);
  CheckShape(read, file);

  if (ending == Ending::OpenFails) {
    FUZZ_CHECK(read.error == EACCES && read.reason == "refused");
    FUZZ_CHECK(read.lines.empty() && read.linesRead == 0 && !read.bigFile);
    FUZZ_CHECK(source.closes == 0 && source.served == 0);
    return;
  }
  FUZZ_CHECK(source.closes == 1);

  const bool fails = ending != Ending::AtTheEnd;
  const Expected expected = Expect(fails ? file.substr(0, errorAt) : file, !fails);
  FUZZ_CHECK(read.lines == expected.lines);
  FUZZ_CHECK(read.linesRead == expected.linesRead);

  if (expected.done) {
    // 500 lines or a Ctrl+Z: the reading stopped in the chunk that held the
    // byte that ended it, and no error after it is seen.
    FUZZ_CHECK(read.Ok());
    FUZZ_CHECK(source.served >= expected.consumed);
    FUZZ_CHECK(source.served - source.lastChunk < expected.consumed);
  } else if (fails) {
    // The lines read before the error stay; the error is the source's, or
    // an input/output error when the source gave none.
    FUZZ_CHECK(source.served == errorAt);
    if (ending == Ending::ErrorWithNumber) {
      FUZZ_CHECK(read.error == kReadError && read.reason == "gone");
    } else {
      FUZZ_CHECK(read.error == EIO);
    }
  } else {
    FUZZ_CHECK(read.Ok() && read.reason.empty());
    FUZZ_CHECK(source.served == file.size());
  }

  // The parser alone, fed the whole file at once, agrees with the chunked
  // reading when the file was read to its end.
  if (!fails) {
    CommandFileParser parser;
    const bool wantsMore =
        parser.Feed(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
    FUZZ_CHECK(wantsMore == !expected.done);
    parser.Finish();
    FUZZ_CHECK(parser.Done());
    FUZZ_CHECK(parser.LinesRead() == read.linesRead);
    FUZZ_CHECK(parser.BigFile() == read.bigFile);
    FUZZ_CHECK(parser.Lines() == read.lines);
  }
}

}  // namespace velmora::fuzz
