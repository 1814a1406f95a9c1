#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "common/bytes.h"
#include "storage/file_store.h"

namespace velmora {

inline constexpr int kListCount = 100;
inline constexpr int kMacroCount = 48;
inline constexpr int kHelpLines = 12;
// One TCmdList record and the whole "CmdConfig" file.
inline constexpr std::size_t kListRecordSize = 102580;
inline constexpr std::size_t kCmdConfigSize = kListRecordSize * kListCount;  // 10,258,000
inline constexpr std::int32_t kListSignature = 12345;

struct LoadResult {
  // The file holds 100 whole records, each with the signature.
  bool good = false;
  // The file is missing, short or has a bad signature: the window shows its
  // message, then calls Rebuild and Save.
  bool needsRebuild = false;
  // A file-system error: report it; the store must not be saved over the file.
  std::optional<FileError> error;
};

// The 100 command lists of 48 macros, numbered 1..100 and 1..48 (help lines
// 1..12), held in one fixed block of 10,258,000 bytes that is allocated once,
// zero at start, and written to "CmdConfig" as it stands in memory. Storing a
// text cuts it to its field's capacity and writes only the length byte and
// the characters; the reserved areas are carried through untouched.
class CmdListStore {
 public:
  CmdListStore();
  CmdListStore(const CmdListStore&) = delete;
  CmdListStore& operator=(const CmdListStore&) = delete;

  Bytes GetListName(int n) const;
  void SetListName(int n, BytesView text);  // cut to 151
  Bytes GetCmdData(int n, int m) const;
  void SetCmdData(int n, int m, BytesView text);  // cut to 251
  Bytes GetCmdName(int n, int m) const;
  void SetCmdName(int n, int m, BytesView text);  // cut to 51
  Bytes GetCmdHelp(int n, int m, int k) const;
  void SetCmdHelp(int n, int m, int k, BytesView text);  // cut to 151
  std::int32_t Signature(int n) const;

  // Empties list n: every length byte becomes 0; the characters, the
  // signature and the reserved bytes stay.
  void ClrListCmd(int n);
  // The name a list is shown with: an empty name becomes "[n]" and is stored
  // ("[7]" for list 7).
  Bytes EnsureListName(int n);

  // Reads "CmdConfig". Records are taken in order while the file is good;
  // the record whose signature is wrong has been read before the check and
  // keeps its bytes; records after it, missing ones and a partial last
  // record are zero; records past the 100th are ignored.
  LoadResult Load(const std::string& path, FileSystem& fs = SystemFileSystem());
  // Resets all 100 lists after a bad file: every length byte is zeroed, list
  // n is named "List n" and gets the signature; all other bytes stay.
  void Rebuild();
  // Writes all 10,258,000 bytes, replacing the file. Refused (with the
  // reason) while the store was not loaded completely, so that a start-up
  // that failed half-way never overwrites a good file.
  SaveResult Save(const std::string& path, FileSystem& fs = SystemFileSystem()) const;
  // The last Load ended without a file-system error.
  bool LoadedCompletely() const { return loadedCompletely_; }

  // The store as it is written; record n starts at (n - 1) * kListRecordSize.
  std::span<const std::uint8_t> Image() const { return {block_.get(), kCmdConfigSize}; }

 private:
  std::span<std::uint8_t> Record(int n);
  std::span<const std::uint8_t> Record(int n) const;
  void SetSignature(int n);

  std::unique_ptr<std::uint8_t[]> block_;
  bool loadedCompletely_ = false;
};

}  // namespace velmora
