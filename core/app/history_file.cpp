#include "app/history_file.h"

#include <algorithm>
#include <span>
#include <string>

#include "common/cp1251.h"
#include "storage/text_field.h"

namespace velmora {

HistoryLoadResult LoadHistoryFile(const std::string& path, FileSystem& fs) {
  HistoryLoadResult result;
  ReadFileResult file = ReadWholeFile(path, kHistoryFileSize, fs);
  result.exists = file.exists;
  result.error = std::move(file.error);
  if (!result.exists || result.error) return result;
  const std::size_t whole = file.bytes.size() / kHistoryRecordSize * kHistoryRecordSize;
  std::copy_n(reinterpret_cast<const std::uint8_t*>(file.bytes.data()), whole,
              result.image.begin());
  result.damaged = whole < kHistoryFileSize;
  return result;
}

SaveResult SaveHistoryFile(const std::string& path, const HistoryImage& image, FileSystem& fs) {
  return SaveFileAtomically(path, image, fs);
}

Bytes HistoryRecordText(const HistoryImage& image, std::size_t i) {
  return ReadTextField(
      std::span<const std::uint8_t>(image).subspan(i * kHistoryRecordSize, kHistoryRecordSize));
}

FileError ShortHistoryFileError(const std::string& path) {
  return DamagedFileError(
      path, Utf8ToCp1251("меньше " + std::to_string(kHistoryRecords) + " целых записей"));
}

}  // namespace velmora
