#include "app/history_file.h"

#include <gtest/gtest.h>

#include "store_fixtures.h"

namespace velmora {
namespace {

using testing::FaultyFileSystem;
using testing::PutText;
using testing::ReadRaw;
using testing::TempDir;
using testing::WriteRaw;

Bytes ImageBytes(const HistoryImage& image) {
  return Bytes(reinterpret_cast<const char*>(image.data()), image.size());
}

TEST(HistoryFile, IsCreatedAtFirstStartAs12800ZeroBytes) {
  TempDir dir;
  const HistoryLoadResult load = LoadHistoryFile(dir.File("OldCmd"));
  EXPECT_FALSE(load.exists);
  EXPECT_FALSE(load.Loaded());
  ASSERT_TRUE(SaveHistoryFile(dir.File("OldCmd"), load.image).Ok());
  EXPECT_EQ(ReadRaw(dir.File("OldCmd")), Bytes(12800, '\0'));
}

TEST(HistoryFile, WithTailsIsRewrittenByteForByteWhenNothingWasSent) {
  TempDir dir;
  Bytes file(12800, '\0');
  for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<char>(0x30 + i % 70);
  // Record 1 holds "AT" over the rest of a longer line; record 2 is an empty
  // slot whose old characters remain.
  PutText(file, 0, "AT");
  file[256] = 0;
  WriteRaw(dir.File("OldCmd"), file);

  const HistoryLoadResult load = LoadHistoryFile(dir.File("OldCmd"));
  ASSERT_TRUE(load.Loaded());
  EXPECT_FALSE(load.damaged);
  EXPECT_EQ(HistoryRecordText(load.image, 0), "AT");
  EXPECT_EQ(HistoryRecordText(load.image, 1), "");
  ASSERT_TRUE(SaveHistoryFile(dir.File("OldCmd"), load.image).Ok());
  EXPECT_EQ(ReadRaw(dir.File("OldCmd")), file);
}

TEST(HistoryFile, FewerThanFiftyWholeRecordsIsDamagedAndKeepsTheWholeOnes) {
  TempDir dir;
  Bytes file(3 * 256 + 100, '\x41');
  PutText(file, 0, "first");
  PutText(file, 512, "third");
  WriteRaw(dir.File("OldCmd"), file);

  const HistoryLoadResult load = LoadHistoryFile(dir.File("OldCmd"));
  ASSERT_TRUE(load.Loaded());
  EXPECT_TRUE(load.damaged);

  Bytes expected(12800, '\0');
  expected.replace(0, 3 * 256, file.substr(0, 3 * 256));
  EXPECT_EQ(ImageBytes(load.image), expected);
  EXPECT_EQ(HistoryRecordText(load.image, 2), "third");
  EXPECT_EQ(HistoryRecordText(load.image, 3), "") << "the partial fourth record is dropped";
}

TEST(HistoryFile, RecordsPastTheFiftiethAreIgnored) {
  TempDir dir;
  Bytes file(12800, '\0');
  PutText(file, 49 * 256, "last");
  WriteRaw(dir.File("OldCmd"), file + Bytes(256, '\x05'));

  const HistoryLoadResult load = LoadHistoryFile(dir.File("OldCmd"));
  EXPECT_FALSE(load.damaged);
  EXPECT_EQ(ImageBytes(load.image), file);
}

TEST(HistoryFile, AReadErrorIsReportedAndTheHistoryCountsAsNotLoaded) {
  TempDir dir;
  WriteRaw(dir.File("OldCmd"), Bytes(12800, '\x01'));
  FaultyFileSystem fs;
  fs.failRead = true;
  const HistoryLoadResult load = LoadHistoryFile(dir.File("OldCmd"), fs);
  ASSERT_TRUE(load.error.has_value());
  EXPECT_FALSE(load.Loaded()) << "shut-down must not overwrite the file";
  EXPECT_EQ(ImageBytes(load.image), Bytes(12800, '\0'));
}

}  // namespace
}  // namespace velmora
