#include "app/file_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

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

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0);
  return st.st_mode & 07777;
}

TEST(AtomicSave, CreatesAMissingFileWithExactlyTheBytesAndNoTemporaryBeside) {
  TempDir dir;
  const Bytes content("\x00\x01\xFFzz\x00", 6);
  ASSERT_TRUE(SaveFileAtomically(dir.File("Cfg"), AsSpan(content)).Ok());
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), content);
  EXPECT_FALSE(std::filesystem::exists(dir.File("Cfg.tmp")));
}

TEST(AtomicSave, ReplacesALongerFileWhole) {
  TempDir dir;
  WriteRaw(dir.File("Cfg"), Bytes(900, 'x'));
  ASSERT_TRUE(SaveFileAtomically(dir.File("Cfg"), AsSpan("abc")).Ok());
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), "abc");
}

TEST(AtomicSave, KeepsThePermissionsOfTheReplacedFile) {
  TempDir dir;
  WriteRaw(dir.File("OldCmd"), "old");
  ASSERT_EQ(::chmod(dir.File("OldCmd").c_str(), 0640), 0);
  ASSERT_TRUE(SaveFileAtomically(dir.File("OldCmd"), AsSpan("new")).Ok());
  EXPECT_EQ(ModeOf(dir.File("OldCmd")), 0640u);
}

TEST(AtomicSave, WritesThroughASymbolicLinkToItsTarget) {
  TempDir dir;
  std::filesystem::create_directory(dir.Path() / "real");
  WriteRaw(dir.File("real/CmdConfig"), "old");
  // A relative link, resolved against the link's own directory.
  std::filesystem::create_symlink("real/CmdConfig", dir.Path() / "CmdConfig");

  ASSERT_TRUE(SaveFileAtomically(dir.File("CmdConfig"), AsSpan("new")).Ok());

  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "CmdConfig"));
  EXPECT_EQ(ReadRaw(dir.File("real/CmdConfig")), "new");
  EXPECT_FALSE(std::filesystem::exists(dir.File("real/CmdConfig.tmp")));
}

TEST(AtomicSave, CreatesTheTargetOfADanglingLink) {
  TempDir dir;
  std::filesystem::create_symlink(dir.File("target"), dir.Path() / "Cfg");
  ASSERT_TRUE(SaveFileAtomically(dir.File("Cfg"), AsSpan("new")).Ok());
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "Cfg"));
  EXPECT_EQ(ReadRaw(dir.File("target")), "new");
}

TEST(AtomicSave, ReportsAReadOnlyFileAndLeavesIt) {
  TempDir dir;
  WriteRaw(dir.File("Cfg"), "old");
  ASSERT_EQ(::chmod(dir.File("Cfg").c_str(), 0444), 0);

  const SaveResult result = SaveFileAtomically(dir.File("Cfg"), AsSpan("new"));

  ASSERT_FALSE(result.Ok());
  EXPECT_EQ(result.error->Message(), dir.File("Cfg") + ": cannot write: Permission denied");
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), "old");
}

TEST(AtomicSave, ReportsAReadOnlyDirectoryAndLeavesTheFile) {
  TempDir dir;
  std::filesystem::create_directory(dir.Path() / "ro");
  WriteRaw(dir.File("ro/Cfg"), "old");
  ASSERT_EQ(::chmod(dir.File("ro").c_str(), 0555), 0);

  const SaveResult result = SaveFileAtomically(dir.File("ro/Cfg"), AsSpan("new"));

  ASSERT_EQ(::chmod(dir.File("ro").c_str(), 0755), 0);
  ASSERT_FALSE(result.Ok());
  EXPECT_EQ(result.error->reason, "Permission denied");
  EXPECT_EQ(ReadRaw(dir.File("ro/Cfg")), "old");
}

TEST(AtomicSave, ADiskFullHalfWayLeavesThePreviousFileAndNoTemporary) {
  TempDir dir;
  WriteRaw(dir.File("OldCmd"), "previous");
  FaultyFileSystem fs;
  fs.failWriteAfter = 3;

  const SaveResult result = SaveFileAtomically(dir.File("OldCmd"), AsSpan("replacement"), fs);

  ASSERT_FALSE(result.Ok());
  EXPECT_EQ(result.error->Message(),
            dir.File("OldCmd") + ": cannot write: No space left on device");
  EXPECT_EQ(ReadRaw(dir.File("OldCmd")), "previous");
  EXPECT_FALSE(std::filesystem::exists(dir.File("OldCmd.tmp")));
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

TEST(StaleTemporary, IsRemovedAtStartUpBesideTheFileAndBesideALinksTarget) {
  TempDir dir;
  std::filesystem::create_directory(dir.Path() / "real");
  std::filesystem::create_symlink(dir.File("real/Cfg"), dir.Path() / "Cfg");
  WriteRaw(dir.File("Cfg.tmp"), "half");
  WriteRaw(dir.File("real/Cfg.tmp"), "half");

  ASSERT_TRUE(RemoveStaleTemporary(dir.File("Cfg")).Ok());

  EXPECT_FALSE(std::filesystem::exists(dir.File("Cfg.tmp")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("real/Cfg.tmp")));
  EXPECT_TRUE(RemoveStaleTemporary(dir.File("Cfg")).Ok()) << "nothing left is no error";
}

TEST(ReadWholeFile, AMissingFileIsNoError) {
  TempDir dir;
  const ReadFileResult result = ReadWholeFile(dir.File("OldCmd"));
  EXPECT_TRUE(result.Ok());
  EXPECT_FALSE(result.exists);
}

TEST(ReadWholeFile, StopsAtTheLimit) {
  TempDir dir;
  WriteRaw(dir.File("Cfg"), "0123456789");
  const ReadFileResult result = ReadWholeFile(dir.File("Cfg"), 4);
  EXPECT_TRUE(result.exists);
  EXPECT_EQ(result.bytes, "0123");
}

TEST(ReadWholeFile, AnUnreadableFileIsAnErrorNamingTheFileAndTheReason) {
  TempDir dir;
  std::filesystem::create_directory(dir.Path() / "CmdConfig");
  const ReadFileResult result = ReadWholeFile(dir.File("CmdConfig"));
  ASSERT_FALSE(result.Ok());
  EXPECT_EQ(result.error->Message(), dir.File("CmdConfig") + ": cannot read: Is a directory");
}

}  // namespace
}  // namespace velmora
