#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "app/file_store.h"
#include "common/bytes.h"

namespace velmora {

// "OldCmd": the sent-command history as 50 records of 256 bytes, the newest
// first. Each record is a text of capacity 255 (length byte, then the line);
// a length of 0 is an empty slot. The image is carried byte for byte, tails
// included, so a run without a send rewrites the file unchanged.
inline constexpr std::size_t kHistoryRecords = 50;
inline constexpr std::size_t kHistoryRecordSize = 256;
inline constexpr std::size_t kHistoryFileSize = kHistoryRecords * kHistoryRecordSize;

using HistoryImage = std::array<std::uint8_t, kHistoryFileSize>;

struct HistoryLoadResult {
  bool exists = false;
  // Fewer than 50 whole records: report it once; the whole records are kept
  // and the rest of the image is empty.
  bool damaged = false;
  std::optional<FileError> error;
  HistoryImage image{};

  // The history was read (whole or damaged) and may be written back at exit.
  bool Loaded() const { return exists && !error; }
};

// Reads the first 50 records; records past them are ignored.
HistoryLoadResult LoadHistoryFile(const std::string& path, FileSystem& fs = SystemFileSystem());
// The report of a damaged history file: fewer than 50 whole records.
FileError ShortHistoryFileError(const std::string& path);

// Writes the 12800 bytes of the image, replacing the file. Start-up calls it
// only when the file is missing, shut-down only when it exists.
SaveResult SaveHistoryFile(const std::string& path, const HistoryImage& image,
                           FileSystem& fs = SystemFileSystem());

// The text of record i (0 = newest) of an image; empty for an empty slot.
Bytes HistoryRecordText(const HistoryImage& image, std::size_t i);

}  // namespace velmora
