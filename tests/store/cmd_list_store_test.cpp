#include "macros/cmd_list_store.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/cp1251.h"
#include "store_fixtures.h"

namespace velmora {
namespace {

using testing::FaultyFileSystem;
using testing::PutInt32;
using testing::PutText;
using testing::ReadRaw;
using testing::TempDir;
using testing::WriteRaw;

// The record layout, written out from the file format's table.
constexpr std::size_t kRecord = 102580;
constexpr std::size_t ListNameAt() { return 0; }
constexpr std::size_t CmdDataAt(int m) { return 152 + 252 * static_cast<std::size_t>(m - 1); }
constexpr std::size_t CmdNameAt(int m) { return 12248 + 52 * static_cast<std::size_t>(m - 1); }
constexpr std::size_t CmdHelpAt(int m, int k) {
  return 14744 + 1824 * static_cast<std::size_t>(m - 1) + 152 * static_cast<std::size_t>(k - 1);
}
constexpr std::size_t kSignatureAt = 102500;

// A valid record in which every byte is non-zero, reserved areas and text
// tails included, so that anything a load or save changes shows.
Bytes FilledRecord(int n) {
  static const Bytes pattern = [] {
    Bytes bytes(kRecord, '\0');
    for (std::size_t i = 0; i < kRecord; ++i) bytes[i] = static_cast<char>(1 + i * 7 % 251);
    return bytes;
  }();
  Bytes record = pattern;
  PutText(record, ListNameAt(), "Name " + std::to_string(n));
  PutText(record, CmdDataAt(1), "AT+GMR");
  PutText(record, CmdNameAt(48), "version");
  PutText(record, CmdHelpAt(48, 12), "help line");
  PutInt32(record, kSignatureAt, 12345);
  return record;
}

Bytes FilledFile(int records) {
  Bytes file;
  file.reserve(kRecord * static_cast<std::size_t>(records));
  for (int n = 1; n <= records; ++n) file += FilledRecord(n);
  return file;
}

// What resetting a list after a bad file makes of its record: every length
// byte 0, the name "List n", the signature 12345; all else as it was.
Bytes AfterReset(Bytes record, int n) {
  record[ListNameAt()] = 0;
  for (int m = 1; m <= 48; ++m) {
    record[CmdDataAt(m)] = 0;
    record[CmdNameAt(m)] = 0;
    for (int k = 1; k <= 12; ++k) record[CmdHelpAt(m, k)] = 0;
  }
  PutText(record, ListNameAt(), "List " + std::to_string(n));
  PutInt32(record, kSignatureAt, 12345);
  return record;
}

Bytes RecordOf(BytesView file, int n) {
  return Bytes(file.substr(kRecord * static_cast<std::size_t>(n - 1), kRecord));
}

Bytes ImageOf(const CmdListStore& store) {
  return Bytes(reinterpret_cast<const char*>(store.Image().data()), store.Image().size());
}

class CmdConfigFile : public ::testing::Test {
 protected:
  std::string Path() const { return dir_.File("CmdConfig"); }

  // The window's steps for a bad file: its message, then Rebuild and Save.
  void LoadExpectingRebuild() {
    const LoadResult load = store_.Load(Path());
    ASSERT_FALSE(load.error.has_value());
    ASSERT_FALSE(load.good);
    ASSERT_TRUE(load.needsRebuild);
    store_.Rebuild();
    ASSERT_TRUE(store_.Save(Path()).Ok());
  }

  TempDir dir_;
  CmdListStore store_;
};

TEST_F(CmdConfigFile, FirstStartInAnEmptyDirectoryWritesOneHundredNamedEmptyLists) {
  LoadExpectingRebuild();
  Bytes expected(kRecord * 100, '\0');
  for (int n = 1; n <= 100; ++n) {
    const std::size_t at = kRecord * static_cast<std::size_t>(n - 1);
    PutText(expected, at, "List " + std::to_string(n));
    PutInt32(expected, at + kSignatureAt, 12345);
  }
  const Bytes file = ReadRaw(Path());
  ASSERT_EQ(file.size(), 10258000u);
  EXPECT_TRUE(file == expected);
  EXPECT_EQ(store_.GetListName(7), "List 7");
  EXPECT_EQ(store_.GetCmdData(1, 1), "");
}

TEST_F(CmdConfigFile, NinetyNineRecordsResetAllListsKeepingTheBytesThatWereRead) {
  WriteRaw(Path(), FilledFile(99));
  LoadExpectingRebuild();
  const Bytes file = ReadRaw(Path());
  ASSERT_EQ(file.size(), 10258000u);
  for (int n : {1, 50, 99}) EXPECT_TRUE(RecordOf(file, n) == AfterReset(FilledRecord(n), n)) << n;
  EXPECT_TRUE(RecordOf(file, 100) == AfterReset(Bytes(kRecord, '\0'), 100));
}

TEST_F(CmdConfigFile, APartialLastRecordCountsAsMissing) {
  WriteRaw(Path(), FilledFile(99) + FilledRecord(100).substr(0, 5000));
  LoadExpectingRebuild();
  const Bytes file = ReadRaw(Path());
  EXPECT_TRUE(RecordOf(file, 99) == AfterReset(FilledRecord(99), 99));
  EXPECT_TRUE(RecordOf(file, 100) == AfterReset(Bytes(kRecord, '\0'), 100));
}

TEST_F(CmdConfigFile, ABadSignatureInRecord50KeepsThatRecordsBytesButNotTheOnesAfterIt) {
  Bytes original = FilledFile(100);
  PutInt32(original, kRecord * 49 + kSignatureAt, 0);
  WriteRaw(Path(), original);

  LoadExpectingRebuild();

  const Bytes file = ReadRaw(Path());
  EXPECT_TRUE(RecordOf(file, 49) == AfterReset(FilledRecord(49), 49));
  EXPECT_TRUE(RecordOf(file, 50) == AfterReset(RecordOf(original, 50), 50));
  EXPECT_TRUE(RecordOf(file, 51) == AfterReset(Bytes(kRecord, '\0'), 51));
  EXPECT_TRUE(RecordOf(file, 100) == AfterReset(Bytes(kRecord, '\0'), 100));
}

TEST_F(CmdConfigFile, OneHundredAndOneRecordsLoadWithoutARebuildAndSaveAsOneHundred) {
  const Bytes original = FilledFile(101);
  WriteRaw(Path(), original);
  const LoadResult load = store_.Load(Path());
  EXPECT_TRUE(load.good);
  EXPECT_FALSE(load.needsRebuild);
  ASSERT_TRUE(store_.Save(Path()).Ok());
  EXPECT_TRUE(ReadRaw(Path()) == original.substr(0, 10258000));
}

TEST_F(CmdConfigFile, ReservedBytesAndTextTailsSurviveALoadAndASave) {
  const Bytes original = FilledFile(100);
  WriteRaw(Path(), original);
  ASSERT_TRUE(store_.Load(Path()).good);
  EXPECT_EQ(store_.GetListName(3), "Name 3");
  EXPECT_EQ(store_.GetCmdData(3, 1), "AT+GMR");
  EXPECT_EQ(store_.GetCmdName(3, 48), "version");
  EXPECT_EQ(store_.GetCmdHelp(3, 48, 12), "help line");

  // A shorter text over a longer one leaves the longer one's tail.
  store_.SetCmdData(3, 1, "AT");
  ASSERT_TRUE(store_.Save(Path()).Ok());

  Bytes expected = original;
  PutText(expected, kRecord * 2 + CmdDataAt(1), "AT");
  EXPECT_TRUE(ReadRaw(Path()) == expected);
}

TEST_F(CmdConfigFile, AnEmptyListNameIsShownAsItsNumberInBracketsAndStoredSo) {
  Bytes original = FilledFile(100);
  original[kRecord * 6 + ListNameAt()] = 0;
  WriteRaw(Path(), original);
  ASSERT_TRUE(store_.Load(Path()).good);

  EXPECT_EQ(store_.EnsureListName(7), "[7]");
  EXPECT_EQ(store_.EnsureListName(8), "Name 8");
  ASSERT_TRUE(store_.Save(Path()).Ok());

  Bytes expected = original;
  PutText(expected, kRecord * 6 + ListNameAt(), "[7]");
  EXPECT_TRUE(ReadRaw(Path()) == expected);
}

TEST(CmdListStore, StartsAsOneBlockOfZeros) {
  CmdListStore store;
  ASSERT_EQ(store.Image().size(), 10258000u);
  EXPECT_TRUE(ImageOf(store) == Bytes(10258000, '\0'));
}

TEST(CmdListStore, FieldsLieAtTheirOffsetsAndAreCutToTheirCapacities) {
  struct Row {
    const char* field;
    std::size_t offset;  // in list 3
    std::size_t capacity;
    void (*set)(CmdListStore&, BytesView);
  };
  const Row rows[] = {
      {"ListName", ListNameAt(), 151, [](CmdListStore& s, BytesView t) { s.SetListName(3, t); }},
      {"CmdData[48]", CmdDataAt(48), 251,
       [](CmdListStore& s, BytesView t) { s.SetCmdData(3, 48, t); }},
      {"CmdName[2]", CmdNameAt(2), 51, [](CmdListStore& s, BytesView t) { s.SetCmdName(3, 2, t); }},
      {"CmdHelp[48][12]", CmdHelpAt(48, 12), 151,
       [](CmdListStore& s, BytesView t) { s.SetCmdHelp(3, 48, 12, t); }},
  };
  const Bytes longText(300, 'q');
  for (const Row& row : rows) {
    CmdListStore store;
    row.set(store, longText);
    Bytes expected(10258000, '\0');
    PutText(expected, kRecord * 2 + row.offset, longText.substr(0, row.capacity));
    EXPECT_TRUE(ImageOf(store) == expected) << row.field;
  }
}

TEST(CmdListStore, GettersReadTheStoredTexts) {
  CmdListStore store;
  store.SetListName(100, "Last");
  store.SetCmdData(100, 48, "$0D");
  store.SetCmdName(100, 48, "CR");
  store.SetCmdHelp(100, 48, 12, "ends the line");
  EXPECT_EQ(store.GetListName(100), "Last");
  EXPECT_EQ(store.GetCmdData(100, 48), "$0D");
  EXPECT_EQ(store.GetCmdName(100, 48), "CR");
  EXPECT_EQ(store.GetCmdHelp(100, 48, 12), "ends the line");
  EXPECT_EQ(store.GetCmdHelp(100, 48, 11), "");
}

TEST_F(CmdConfigFile, ADamagedLengthByteIsCutToTheCapacityWhenRead) {
  Bytes original = FilledFile(100);
  original[CmdNameAt(5)] = static_cast<char>(200);
  WriteRaw(Path(), original);
  ASSERT_TRUE(store_.Load(Path()).good);
  EXPECT_EQ(store_.GetCmdName(1, 5), original.substr(CmdNameAt(5) + 1, 51));
}

TEST_F(CmdConfigFile, ClearingAListZerosOnlyItsLengthBytes) {
  const Bytes original = FilledFile(100);
  WriteRaw(Path(), original);
  ASSERT_TRUE(store_.Load(Path()).good);
  store_.ClrListCmd(4);

  Bytes expected = original;
  Bytes cleared = RecordOf(original, 4);
  cleared[ListNameAt()] = 0;
  for (int m = 1; m <= 48; ++m) {
    cleared[CmdDataAt(m)] = 0;
    cleared[CmdNameAt(m)] = 0;
    for (int k = 1; k <= 12; ++k) cleared[CmdHelpAt(m, k)] = 0;
  }
  expected.replace(kRecord * 3, kRecord, cleared);
  EXPECT_TRUE(ImageOf(store_) == expected);
  EXPECT_EQ(store_.Signature(4), 12345);
  EXPECT_EQ(store_.EnsureListName(4), "[4]");
}

TEST_F(CmdConfigFile, ASaveThatFailsHalfWayLeavesThePreviousFile) {
  const Bytes original = FilledFile(100);
  WriteRaw(Path(), original);
  ASSERT_TRUE(store_.Load(Path()).good);
  store_.SetListName(1, "changed");
  FaultyFileSystem fs;
  fs.failWriteAfter = 5'000'000;

  const SaveResult result = store_.Save(Path(), fs);

  ASSERT_FALSE(result.Ok());
  EXPECT_EQ(Cp1251ToUtf8(result.error->Message()),
            "Не удалось записать файл «" + Path() + "»: нет места на диске");
  EXPECT_TRUE(ReadRaw(Path()) == original);
}

TEST_F(CmdConfigFile, AStoreThatWasNotLoadedCompletelyIsNeverSavedOverTheFile) {
  const Bytes original = FilledFile(100);
  WriteRaw(Path(), original);
  FaultyFileSystem fs;
  fs.failRead = true;

  const LoadResult load = store_.Load(Path(), fs);
  ASSERT_TRUE(load.error.has_value());
  EXPECT_EQ(Cp1251ToUtf8(load.error->Message()),
            "Не удалось прочитать файл «" + Path() + "»: ошибка ввода-вывода");
  EXPECT_FALSE(load.needsRebuild);
  EXPECT_FALSE(store_.LoadedCompletely());

  const SaveResult save = store_.Save(Path());
  ASSERT_FALSE(save.Ok());
  EXPECT_EQ(save.error->action, FileError::Action::Refused);
  EXPECT_EQ(Cp1251ToUtf8(save.error->Message()),
            "Не удалось записать файл «" + Path() +
                "»: списки команд не были прочитаны полностью при запуске, запись затёрла бы файл");
  EXPECT_TRUE(ReadRaw(Path()) == original);
}

TEST_F(CmdConfigFile, AStoreNeverLoadedIsNotSaved) {
  EXPECT_FALSE(store_.Save(Path()).Ok());
  EXPECT_FALSE(std::filesystem::exists(Path()));
}

}  // namespace
}  // namespace velmora
