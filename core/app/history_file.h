#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "common/bytes.h"
#include "storage/file_store.h"
#include "transmit/sent_history.h"

namespace velmora {

// "OldCmd": the sent-command history's file image. Its layout (50 records of
// 256 bytes, the newest first, each a length byte and the line) is the one
// SentHistory keeps; this file only reads and writes it. The image is carried
// byte for byte, tails included, so a run without a send rewrites the file
// unchanged.
inline constexpr std::size_t kHistoryRecords = SentHistory::kEntries;
inline constexpr std::size_t kHistoryRecordSize = SentHistory::kRecordSize;
inline constexpr std::size_t kHistoryFileSize = SentHistory::kImageSize;

using HistoryImage = SentHistory::FileImage;

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
