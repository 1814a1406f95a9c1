// "OldCmd" as any bytes: the loader, the record texts and a save.

#include <algorithm>

#include "app/history_file.h"
#include "fuzz_check.h"
#include "memory_file_system.h"
#include "targets.h"

namespace velmora::fuzz {

void FuzzOldCmdFile(const std::uint8_t* data, std::size_t size) {
  const Bytes file(reinterpret_cast<const char*>(data), size);
  testing::MemoryFileSystem fs;
  fs.files["OldCmd"] = file;

  const HistoryLoadResult loaded = LoadHistoryFile("OldCmd", fs);
  FUZZ_CHECK(loaded.Loaded());
  FUZZ_CHECK(loaded.damaged == (size < kHistoryFileSize));

  // Whole records are kept byte for byte, a partial last one and the missing
  // ones are empty.
  const std::size_t whole =
      std::min(size / kHistoryRecordSize * kHistoryRecordSize, kHistoryFileSize);
  for (std::size_t i = 0; i < kHistoryFileSize; ++i) {
    FUZZ_CHECK(loaded.image[i] == (i < whole ? data[i] : 0));
  }
  for (std::size_t r = 0; r < kHistoryRecords; ++r) {
    const Bytes text = HistoryRecordText(loaded.image, r);
    const std::size_t at = r * kHistoryRecordSize;
    FUZZ_CHECK(text.size() == std::min<std::size_t>(loaded.image[at], 255));
    FUZZ_CHECK(text.empty() || std::equal(text.begin(), text.end(), loaded.image.begin() + at + 1,
                                          [](char a, std::uint8_t b) {
                                            return static_cast<std::uint8_t>(a) == b;
                                          }));
  }

  // A run without a send writes the file back unchanged: all of a whole
  // file's first 12800 bytes, tails included.
  FUZZ_CHECK(SaveHistoryFile("OldCmd", loaded.image, fs).Ok());
  const Bytes& saved = fs.files["OldCmd"];
  FUZZ_CHECK(saved.size() == kHistoryFileSize);
  if (!loaded.damaged) FUZZ_CHECK(saved == file.substr(0, kHistoryFileSize));
  FUZZ_CHECK(!fs.Exists("OldCmd.tmp"));
}

}  // namespace velmora::fuzz
