// "CmdConfig" records: one record of any bytes through every getter and
// setter, and short files of a few records through the loader. The 10 MB
// file itself is never built per input.

#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "macros/cmd_list_store.h"
#include "memory_file_system.h"
#include "targets.h"

namespace velmora::fuzz {
namespace {

constexpr std::size_t kSignatureAt = 102500;

struct Field {
  std::size_t offset;
  std::size_t capacity;
};

// Every text field of a record, by its documented offsets.
std::vector<Field> RecordFields() {
  std::vector<Field> fields{{0, 151}};
  for (std::size_t m = 0; m < kMacroCount; ++m) {
    fields.push_back({152 + 252 * m, 251});
    fields.push_back({12248 + 52 * m, 51});
    for (std::size_t k = 0; k < kHelpLines; ++k)
      fields.push_back({14744 + 1824 * m + 152 * k, 151});
  }
  return fields;
}

void PutSignature(Bytes& record, bool good) {
  const std::uint32_t value = good ? kListSignature : kListSignature + 1;
  for (std::size_t i = 0; i < 4; ++i)
    record[kSignatureAt + i] = static_cast<char>(value >> (8 * i));
}

// One store for every input: it holds 10 MB, and Load clears it anyway.
CmdListStore& Store() {
  static CmdListStore store;
  return store;
}

bool SameBytes(std::span<const std::uint8_t> image, std::size_t at, BytesView bytes) {
  return std::memcmp(image.data() + at, bytes.data(), bytes.size()) == 0;
}

bool AllZero(std::span<const std::uint8_t> image, std::size_t from, std::size_t to) {
  return std::all_of(image.begin() + static_cast<std::ptrdiff_t>(from),
                     image.begin() + static_cast<std::ptrdiff_t>(to),
                     [](std::uint8_t b) { return b == 0; });
}

void CheckOneRecord(BytesView input) {
  Bytes record(kListRecordSize, '\0');
  std::copy_n(input.begin(), std::min(input.size(), kListRecordSize), record.begin());
  PutSignature(record, true);
  testing::MemoryFileSystem fs;
  fs.files["CmdConfig"] = record;

  CmdListStore& store = Store();
  const LoadResult loaded = store.Load("CmdConfig", fs);
  FUZZ_CHECK(!loaded.error && !loaded.good && loaded.needsRebuild);
  FUZZ_CHECK(store.LoadedCompletely());
  const auto image = store.Image();
  FUZZ_CHECK(SameBytes(image, 0, record));
  FUZZ_CHECK(AllZero(image, kListRecordSize, 2 * kListRecordSize));
  FUZZ_CHECK(store.Signature(1) == kListSignature);

  // Each getter reads its own field, cut to its capacity.
  FUZZ_CHECK(store.GetListName(1) ==
             record.substr(1, std::min<std::size_t>(ByteAt(record, 0), 151)));
  for (int m = 1; m <= kMacroCount; ++m) {
    const std::size_t data = 152 + 252 * static_cast<std::size_t>(m - 1);
    const std::size_t name = 12248 + 52 * static_cast<std::size_t>(m - 1);
    FUZZ_CHECK(store.GetCmdData(1, m) ==
               record.substr(data + 1, std::min<std::size_t>(ByteAt(record, data), 251)));
    FUZZ_CHECK(store.GetCmdName(1, m) ==
               record.substr(name + 1, std::min<std::size_t>(ByteAt(record, name), 51)));
    for (int k = 1; k <= kHelpLines; ++k) {
      const std::size_t help =
          14744 + 1824 * static_cast<std::size_t>(m - 1) + 152 * static_cast<std::size_t>(k - 1);
      FUZZ_CHECK(store.GetCmdHelp(1, m, k) ==
                 record.substr(help + 1, std::min<std::size_t>(ByteAt(record, help), 151)));
    }
  }

  // Storing what was read changes only length bytes above the capacity.
  store.SetListName(1, store.GetListName(1));
  for (int m = 1; m <= kMacroCount; ++m) {
    store.SetCmdData(1, m, store.GetCmdData(1, m));
    store.SetCmdName(1, m, store.GetCmdName(1, m));
    for (int k = 1; k <= kHelpLines; ++k) store.SetCmdHelp(1, m, k, store.GetCmdHelp(1, m, k));
  }
  Bytes expected = record;
  for (const Field& field : RecordFields()) {
    if (ByteAt(expected, field.offset) > field.capacity) {
      expected[field.offset] = static_cast<char>(field.capacity);
    }
  }
  FUZZ_CHECK(SameBytes(store.Image(), 0, expected));

  // Emptying a list zeroes its length bytes and nothing else.
  store.ClrListCmd(1);
  for (const Field& field : RecordFields()) expected[field.offset] = 0;
  FUZZ_CHECK(SameBytes(store.Image(), 0, expected));

  // Rebuilding names and signs every list and keeps the reserved areas.
  store.Rebuild();
  FUZZ_CHECK(store.GetListName(1) == "List 1" && store.GetListName(100) == "List 100");
  FUZZ_CHECK(store.Signature(1) == kListSignature && store.Signature(100) == kListSignature);
  FUZZ_CHECK(SameBytes(store.Image(), 102296, BytesView(expected).substr(102296, 204)));
  FUZZ_CHECK(SameBytes(store.Image(), 102504, BytesView(expected).substr(102504, 76)));
}

// A short file: up to three whole records, each signed well or badly as the
// first byte says, then a partial record of the input's bytes.
void CheckShortFile(BytesView input) {
  if (input.empty()) return;
  const std::uint8_t shape = ByteAt(input, 0);
  input.remove_prefix(1);
  const int records = shape % 4;
  Bytes file;
  for (int n = 0; n < records; ++n) {
    Bytes record(kListRecordSize, static_cast<char>(n + 1));
    std::copy_n(input.begin(), std::min(input.size(), kListRecordSize), record.begin());
    PutSignature(record, (shape >> (2 + n) & 1) == 0);
    file += record;
  }
  file.append(input.substr(0, std::min(input.size(), kListRecordSize - 1)));
  testing::MemoryFileSystem fs;
  fs.files["CmdConfig"] = file;

  CmdListStore& store = Store();
  const LoadResult loaded = store.Load("CmdConfig", fs);
  FUZZ_CHECK(!loaded.error && !loaded.good && loaded.needsRebuild);

  // Records are taken in order up to and including the first badly signed
  // one; everything after it is zero.
  std::size_t taken = 0;
  for (int n = 0; n < records; ++n) {
    taken += kListRecordSize;
    if ((shape >> (2 + n) & 1) != 0) break;
  }
  const auto image = store.Image();
  FUZZ_CHECK(SameBytes(image, 0, BytesView(file).substr(0, taken)));
  FUZZ_CHECK(AllZero(image, taken, std::min(kCmdConfigSize, taken + 2 * kListRecordSize)));
}

}  // namespace

void FuzzCmdConfigRecord(const std::uint8_t* data, std::size_t size) {
  const BytesView input(reinterpret_cast<const char*>(data), size);
  CheckOneRecord(input);
  CheckShortFile(input);
}

}  // namespace velmora::fuzz
