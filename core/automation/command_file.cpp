#include "automation/command_file.h"

#include <array>
#include <cerrno>

namespace velmora {

namespace {
constexpr std::uint8_t kCtrlZ = 26;
constexpr std::size_t kChunk = 4096;
}  // namespace

bool CommandFileParser::Feed(const std::uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i < size && !done_; ++i) {
    const std::uint8_t byte = data[i];
    if (byte == kCtrlZ) {
      Finish();
      break;
    }
    if (byte == '\n') {
      // CR LF ends the line as LF does; the CR is no part of it.
      EndLine(lastByteCr_ ? length_ - 1 : length_);
      continue;
    }
    lineStarted_ = true;
    lastByteCr_ = byte == '\r';
    // Only what a kept line can hold is stored: the rest of a long line is
    // counted and dropped.
    if (current_.size() < kCommandLineLimit) current_.push_back(static_cast<char>(byte));
    ++length_;
  }
  return !done_;
}

void CommandFileParser::Finish() {
  if (done_) return;
  // A last line without LF counts; a CR at its end is a lone CR and stays.
  if (lineStarted_) EndLine(length_);
  done_ = true;
}

void CommandFileParser::EndLine(std::size_t length) {
  if (length < kCommandLineLimit) lines_.push_back(current_.substr(0, length));
  current_.clear();
  length_ = 0;
  lineStarted_ = false;
  lastByteCr_ = false;
  ++linesRead_;
  if (linesRead_ >= kCommandFileMaxLines) done_ = true;
}

CommandFile ReadCommandFile(CommandFileSource& source, const std::string& path) {
  CommandFile file;
  file.error = source.Open(path, file.reason);
  if (file.error != 0) return file;
  CommandFileParser parser;
  std::array<std::uint8_t, kChunk> chunk{};
  while (!parser.Done()) {
    const long got = source.Read(chunk.data(), chunk.size(), file.error, file.reason);
    if (got < 0) {
      if (file.error == 0) file.error = EIO;
      break;
    }
    if (got == 0) {
      parser.Finish();
      break;
    }
    parser.Feed(chunk.data(), static_cast<std::size_t>(got));
  }
  source.Close();
  file.linesRead = parser.LinesRead();
  file.bigFile = parser.BigFile();
  file.lines = parser.TakeLines();
  return file;
}

CommandFile ReadCommandFile(const std::string& path) {
  const std::unique_ptr<CommandFileSource> source = CreateCommandFileSource();
  return ReadCommandFile(*source, path);
}

}  // namespace velmora
