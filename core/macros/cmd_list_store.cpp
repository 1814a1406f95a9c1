#include "macros/cmd_list_store.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "common/cp1251.h"
#include "storage/text_field.h"

namespace velmora {
namespace {

// Offsets inside one record; m is 1..48, k 1..12. 102296..102499 and
// 102504..102579 are reserved: never read, carried as they are.
constexpr std::size_t kListName = 0;
constexpr std::size_t kListNameCapacity = 151;
constexpr std::size_t kCmdData = 152;
constexpr std::size_t kCmdDataStride = 252;
constexpr std::size_t kCmdDataCapacity = 251;
constexpr std::size_t kCmdName = 12248;
constexpr std::size_t kCmdNameStride = 52;
constexpr std::size_t kCmdNameCapacity = 51;
constexpr std::size_t kCmdHelp = 14744;
constexpr std::size_t kCmdHelpMacroStride = 1824;
constexpr std::size_t kCmdHelpStride = 152;
constexpr std::size_t kCmdHelpCapacity = 151;
constexpr std::size_t kSignature = 102500;  // 12345 is 39 30 00 00

std::size_t CmdDataAt(int m) { return kCmdData + kCmdDataStride * static_cast<std::size_t>(m - 1); }
std::size_t CmdNameAt(int m) { return kCmdName + kCmdNameStride * static_cast<std::size_t>(m - 1); }
std::size_t CmdHelpAt(int m, int k) {
  return kCmdHelp + kCmdHelpMacroStride * static_cast<std::size_t>(m - 1) +
         kCmdHelpStride * static_cast<std::size_t>(k - 1);
}

[[maybe_unused]] bool ValidMacro(int m) { return m >= 1 && m <= kMacroCount; }
[[maybe_unused]] bool ValidHelpLine(int k) { return k >= 1 && k <= kHelpLines; }

std::int32_t ReadInt32(std::span<const std::uint8_t> bytes) {
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
      static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
}

}  // namespace

CmdListStore::CmdListStore() : block_(std::make_unique<std::uint8_t[]>(kCmdConfigSize)) {}

std::span<std::uint8_t> CmdListStore::Record(int n) {
  assert(n >= 1 && n <= kListCount);
  return {block_.get() + kListRecordSize * static_cast<std::size_t>(n - 1), kListRecordSize};
}

std::span<const std::uint8_t> CmdListStore::Record(int n) const {
  assert(n >= 1 && n <= kListCount);
  return {block_.get() + kListRecordSize * static_cast<std::size_t>(n - 1), kListRecordSize};
}

Bytes CmdListStore::GetListName(int n) const {
  return ReadTextField(Record(n).subspan(kListName, kListNameCapacity + 1));
}

void CmdListStore::SetListName(int n, BytesView text) {
  StoreTextField(Record(n).subspan(kListName, kListNameCapacity + 1), text);
}

Bytes CmdListStore::GetCmdData(int n, int m) const {
  assert(ValidMacro(m));
  return ReadTextField(Record(n).subspan(CmdDataAt(m), kCmdDataCapacity + 1));
}

void CmdListStore::SetCmdData(int n, int m, BytesView text) {
  assert(ValidMacro(m));
  StoreTextField(Record(n).subspan(CmdDataAt(m), kCmdDataCapacity + 1), text);
}

Bytes CmdListStore::GetCmdName(int n, int m) const {
  assert(ValidMacro(m));
  return ReadTextField(Record(n).subspan(CmdNameAt(m), kCmdNameCapacity + 1));
}

void CmdListStore::SetCmdName(int n, int m, BytesView text) {
  assert(ValidMacro(m));
  StoreTextField(Record(n).subspan(CmdNameAt(m), kCmdNameCapacity + 1), text);
}

Bytes CmdListStore::GetCmdHelp(int n, int m, int k) const {
  assert(ValidMacro(m) && ValidHelpLine(k));
  return ReadTextField(Record(n).subspan(CmdHelpAt(m, k), kCmdHelpCapacity + 1));
}

void CmdListStore::SetCmdHelp(int n, int m, int k, BytesView text) {
  assert(ValidMacro(m) && ValidHelpLine(k));
  StoreTextField(Record(n).subspan(CmdHelpAt(m, k), kCmdHelpCapacity + 1), text);
}

std::int32_t CmdListStore::Signature(int n) const {
  return ReadInt32(Record(n).subspan(kSignature, 4));
}

void CmdListStore::SetSignature(int n) {
  const auto bits = static_cast<std::uint32_t>(kListSignature);
  std::span<std::uint8_t> field = Record(n).subspan(kSignature, 4);
  for (std::size_t i = 0; i < 4; ++i) field[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

void CmdListStore::ClrListCmd(int n) {
  std::span<std::uint8_t> record = Record(n);
  record[kListName] = 0;
  for (int m = 1; m <= kMacroCount; ++m) {
    record[CmdDataAt(m)] = 0;
    record[CmdNameAt(m)] = 0;
    for (int k = 1; k <= kHelpLines; ++k) record[CmdHelpAt(m, k)] = 0;
  }
}

Bytes CmdListStore::EnsureListName(int n) {
  if (GetListName(n).empty()) {
    Bytes name = "[";
    name += std::to_string(n);
    name += ']';
    SetListName(n, name);
  }
  return GetListName(n);
}

LoadResult CmdListStore::Load(const std::string& path, FileSystem& fs) {
  LoadResult result;
  ReadFileResult file = ReadWholeFile(path, kCmdConfigSize, fs);
  if (file.error) {
    loadedCompletely_ = false;
    result.error = std::move(file.error);
    return result;
  }
  loadedCompletely_ = true;
  std::memset(block_.get(), 0, kCmdConfigSize);
  const int whole = static_cast<int>(file.bytes.size() / kListRecordSize);
  result.good = file.exists && whole >= kListCount;
  for (int n = 1; n <= std::min(whole, kListCount); ++n) {
    const std::size_t start = kListRecordSize * static_cast<std::size_t>(n - 1);
    std::memcpy(Record(n).data(), file.bytes.data() + start, kListRecordSize);
    if (Signature(n) != kListSignature) {
      result.good = false;
      break;
    }
  }
  result.needsRebuild = !result.good;
  return result;
}

void CmdListStore::Rebuild() {
  const Bytes prefix = Utf8ToCp1251("List ");
  for (int n = 1; n <= kListCount; ++n) {
    ClrListCmd(n);
    SetListName(n, prefix + std::to_string(n));
    SetSignature(n);
  }
}

SaveResult CmdListStore::Save(const std::string& path, FileSystem& fs) const {
  if (!loadedCompletely_) {
    SaveResult refused;
    refused.error = FileError{path, FileError::Action::Refused,
                              Utf8ToCp1251("списки команд не были прочитаны полностью при "
                                           "запуске, запись затёрла бы файл"),
                              FileFault::Other};
    return refused;
  }
  return SaveFileAtomically(path, Image(), fs);
}

}  // namespace velmora
