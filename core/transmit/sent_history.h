#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/bytes.h"

namespace velmora {

// The last 50 distinct sent commands, entry 1 the newest, held exactly as the
// history file stores them: 50 records of 256 bytes, a length byte and 255
// character bytes. The bytes after a record's text keep whatever an earlier,
// longer text left there, and are saved that way.
class SentHistory {
 public:
  static constexpr int kEntries = 50;
  static constexpr int kRecordSize = 256;
  static constexpr int kMaxRecorded = kRecordSize - 2;  // 254 characters
  static constexpr std::size_t kImageSize = std::size_t{kEntries} * kRecordSize;

  using RecordImage = std::array<std::uint8_t, kRecordSize>;
  using FileImage = std::array<std::uint8_t, kImageSize>;

  // The recording rule: the highest-numbered entry equal to the command (or
  // entry 50 when none is) is overwritten by moving every newer entry down one
  // place, and the command becomes entry 1. Only commands of 1..254
  // characters are recorded; anything else is ignored.
  void Record(BytesView command);

  // The text of entry n, 1..50; empty for a free slot or an n out of range.
  Bytes Entry(int n) const;
  // What the history lists show: every non-empty entry, entry 1 first.
  std::vector<Bytes> Shown() const;

  // Takes the whole 256-byte records at the start of a file image, at most
  // 50; entries without a record become empty (all zero). Returns how many
  // whole records the image holds (a sound file has exactly 50).
  std::size_t LoadRecords(const std::uint8_t* data, std::size_t size);
  // The file image, entry 1 first.
  FileImage Image() const;

 private:
  std::array<RecordImage, kEntries> records_{};
};

}  // namespace velmora
