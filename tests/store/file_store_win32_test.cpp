// Atomic saves on the Windows file system: a temporary file beside the
// target, then one replacing move that is written through.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "storage/file_store.h"
#include "store_fixtures.h"

namespace velmora {
namespace {

using testing::FaultyFileSystem;
using testing::ReadRaw;
using testing::TempDir;
using testing::WriteRaw;

std::span<const std::uint8_t> AsSpan(BytesView bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

TEST(AtomicSave, CreatesAMissingFileWithExactlyTheBytesAndNoTemporaryBeside) {
  TempDir dir;
  const Bytes content("\x00\x01\xFFzz\x00\r\n\x1a", 9);
  ASSERT_TRUE(SaveFileAtomically(dir.File("Cfg"), AsSpan(content)).Ok());
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), content);
  EXPECT_FALSE(std::filesystem::exists(dir.File("Cfg.tmp")));
}

TEST(AtomicSave, ReplacesALongerFileWhole) {
  TempDir dir;
  WriteRaw(dir.File("Cfg"), Bytes(900, 'x'));
  ASSERT_TRUE(SaveFileAtomically(dir.File("Cfg"), AsSpan("abc")).Ok());
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), "abc");
  EXPECT_FALSE(std::filesystem::exists(dir.File("Cfg.tmp")));
}

TEST(AtomicSave, ReportsAReadOnlyFileAndLeavesIt) {
  TempDir dir;
  WriteRaw(dir.File("Cfg"), "old");
  ASSERT_TRUE(SetFileAttributesA(dir.File("Cfg").c_str(), FILE_ATTRIBUTE_READONLY));

  const SaveResult result = SaveFileAtomically(dir.File("Cfg"), AsSpan("new"));

  ASSERT_TRUE(SetFileAttributesA(dir.File("Cfg").c_str(), FILE_ATTRIBUTE_NORMAL));
  ASSERT_FALSE(result.Ok());
  EXPECT_FALSE(result.error->reason.empty());
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), "old");
}

TEST(AtomicSave, AFailedRenameLeavesThePreviousFileAndNoTemporary) {
  TempDir dir;
  WriteRaw(dir.File("OldCmd"), "previous");
  FaultyFileSystem fs;
  fs.failRename = true;

  const SaveResult result = SaveFileAtomically(dir.File("OldCmd"), AsSpan("replacement"), fs);

  ASSERT_FALSE(result.Ok());
  EXPECT_EQ(result.error->action, FileError::Action::Replace);
  EXPECT_EQ(ReadRaw(dir.File("OldCmd")), "previous");
  EXPECT_FALSE(std::filesystem::exists(dir.File("OldCmd.tmp")));
}

TEST(AtomicSave, AStaleTemporaryFromACrashIsOverwrittenNotAppendedTo) {
  TempDir dir;
  WriteRaw(dir.File("Cfg.tmp"), Bytes(50, 'j'));
  ASSERT_TRUE(SaveFileAtomically(dir.File("Cfg"), AsSpan("ok")).Ok());
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), "ok");
}

}  // namespace
}  // namespace velmora
