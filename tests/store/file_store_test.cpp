#include "storage/file_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/cfg_record.h"
#include "app/history_file.h"
#include "common/cp1251.h"
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
  EXPECT_EQ(Cp1251ToUtf8(result.error->Message()),
            "Не удалось записать файл «" + dir.File("Cfg") + "»: нет доступа");
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), "old");
}

ino_t InodeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0);
  return st.st_ino;
}

// A directory that takes no new file (read-only, or owned by another user)
// while the file in it is writable: the file is rewritten where it is, and
// a longer old content is cut back.
TEST(AtomicSave, RewritesTheFileInPlaceInADirectoryThatTakesNoNewFile) {
  TempDir dir;
  std::filesystem::create_directory(dir.Path() / "ro");
  WriteRaw(dir.File("ro/Cfg"), "the old and longer content");
  const ino_t before = InodeOf(dir.File("ro/Cfg"));
  ASSERT_EQ(::chmod(dir.File("ro").c_str(), 0555), 0);

  const SaveResult result = SaveFileAtomically(dir.File("ro/Cfg"), AsSpan("new"));

  ASSERT_EQ(::chmod(dir.File("ro").c_str(), 0755), 0);
  EXPECT_TRUE(result.Ok());
  EXPECT_EQ(ReadRaw(dir.File("ro/Cfg")), "new");
  EXPECT_EQ(InodeOf(dir.File("ro/Cfg")), before);
  EXPECT_FALSE(std::filesystem::exists(dir.File("ro/Cfg.tmp")));
}

TEST(AtomicSave, AMissingFileInADirectoryThatTakesNoNewFileIsReported) {
  TempDir dir;
  std::filesystem::create_directory(dir.Path() / "ro");
  ASSERT_EQ(::chmod(dir.File("ro").c_str(), 0555), 0);

  const SaveResult result = SaveFileAtomically(dir.File("ro/Cfg"), AsSpan("new"));

  ASSERT_EQ(::chmod(dir.File("ro").c_str(), 0755), 0);
  ASSERT_FALSE(result.Ok());
  EXPECT_EQ(Cp1251ToUtf8(result.error->Message()),
            "Не удалось записать файл «" + dir.File("ro/Cfg") + "»: нет доступа");
  EXPECT_FALSE(std::filesystem::exists(dir.File("ro/Cfg")));
}

// Root passes every permission check, so the refusals come from the double.
struct Refusal {
  const char* what;
  std::optional<int> createError;
  std::optional<int> renameError;
};

TEST(AtomicSave, ATemporaryOrRenameRefusedForPermissionRewritesTheFileInPlace) {
  const Refusal refusals[] = {
      {"no new file in the directory", EACCES, std::nullopt},
      {"no new file, EPERM", EPERM, std::nullopt},
      {"rename refused in a sticky directory", std::nullopt, EPERM},
      {"rename refused, EACCES", std::nullopt, EACCES},
  };
  for (const Refusal& refusal : refusals) {
    TempDir dir;
    WriteRaw(dir.File("OldCmd"), "previous and longer");
    const ino_t before = InodeOf(dir.File("OldCmd"));
    FaultyFileSystem fs;
    fs.failCreateWith = refusal.createError;
    fs.failRename = refusal.renameError.has_value();
    fs.renameError = refusal.renameError.value_or(EIO);

    const SaveResult result = SaveFileAtomically(dir.File("OldCmd"), AsSpan("replacement"), fs);

    EXPECT_TRUE(result.Ok()) << refusal.what;
    EXPECT_EQ(fs.inPlaceOpens, 1) << refusal.what;
    EXPECT_EQ(ReadRaw(dir.File("OldCmd")), "replacement") << refusal.what;
    EXPECT_EQ(InodeOf(dir.File("OldCmd")), before) << refusal.what;
    EXPECT_FALSE(std::filesystem::exists(dir.File("OldCmd.tmp"))) << refusal.what;
  }
}

TEST(AtomicSave, AFullDiskDuringTheRewriteInPlaceIsReported) {
  TempDir dir;
  WriteRaw(dir.File("OldCmd"), "previous");
  FaultyFileSystem fs;
  fs.failCreateWith = EACCES;
  fs.failWriteAfter = 3;

  const SaveResult result = SaveFileAtomically(dir.File("OldCmd"), AsSpan("replacement"), fs);

  ASSERT_FALSE(result.Ok());
  EXPECT_EQ(Cp1251ToUtf8(result.error->Message()),
            "Не удалось записать файл «" + dir.File("OldCmd") + "»: нет места на диске");
}

TEST(AtomicSave, TheCrashSafeReplaceIsUsedWheneverItWorks) {
  TempDir dir;
  WriteRaw(dir.File("Cfg"), "previous");
  const ino_t before = InodeOf(dir.File("Cfg"));
  FaultyFileSystem fs;

  ASSERT_TRUE(SaveFileAtomically(dir.File("Cfg"), AsSpan("new"), fs).Ok());

  EXPECT_EQ(fs.inPlaceOpens, 0);
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), "new");
  EXPECT_NE(InodeOf(dir.File("Cfg")), before);  // a new file renamed over the old
}

TEST(AtomicSave, ARenameFailingForAnotherReasonIsReportedNotRewritten) {
  TempDir dir;
  WriteRaw(dir.File("Cfg"), "previous");
  FaultyFileSystem fs;
  fs.failRename = true;  // EIO

  const SaveResult result = SaveFileAtomically(dir.File("Cfg"), AsSpan("new"), fs);

  ASSERT_FALSE(result.Ok());
  EXPECT_EQ(fs.inPlaceOpens, 0);
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), "previous");
}

struct MessageCase {
  FileError::Action action;
  FileFault fault;
  const char* expected;
};

TEST(FileErrorMessage, NamesTheFileAndTheCauseInRussian) {
  const MessageCase cases[] = {
      {FileError::Action::Read, FileFault::NoAccess,
       "Не удалось прочитать файл «Cfg»: нет доступа"},
      {FileError::Action::Write, FileFault::NoSpace,
       "Не удалось записать файл «Cfg»: нет места на диске"},
      {FileError::Action::Replace, FileFault::ReadOnlyFileSystem,
       "Не удалось записать файл «Cfg»: файловая система только для чтения"},
      {FileError::Action::Read, FileFault::NotFound,
       "Не удалось прочитать файл «Cfg»: файл не найден"},
      {FileError::Action::Read, FileFault::IsDirectory,
       "Не удалось прочитать файл «Cfg»: это каталог"},
      {FileError::Action::Write, FileFault::InputOutput,
       "Не удалось записать файл «Cfg»: ошибка ввода-вывода"},
      {FileError::Action::Write, FileFault::Other,
       "Не удалось записать файл «Cfg»: Too many open files"},
  };
  for (const MessageCase& c : cases) {
    const FileError error{"Cfg", c.action, "Too many open files", c.fault};
    EXPECT_EQ(Cp1251ToUtf8(error.Message()), c.expected);
  }
}

TEST(FileErrorMessage, TheSystemsErrorNumbersMapToTheirCauses) {
  const std::pair<int, FileFault> cases[] = {
      {EACCES, FileFault::NoAccess},
      {EPERM, FileFault::NoAccess},
      {ENOSPC, FileFault::NoSpace},
      {EDQUOT, FileFault::NoSpace},
      {EROFS, FileFault::ReadOnlyFileSystem},
      {ENOENT, FileFault::NotFound},
      {EISDIR, FileFault::IsDirectory},
      {EIO, FileFault::InputOutput},
      {EMFILE, FileFault::Other},
  };
  for (const auto& [code, fault] : cases) EXPECT_EQ(ErrnoStatus(code).fault, fault) << code;
  EXPECT_EQ(ErrnoStatus(EMFILE).reason, "Too many open files");
}

TEST(FileErrorMessage, ADamagedFileSaysWhatIsWrong) {
  EXPECT_EQ(Cp1251ToUtf8(ShortCfgFileError("Cfg").Message()),
            "Файл «Cfg» повреждён: меньше 792 байт");
  EXPECT_EQ(Cp1251ToUtf8(ShortHistoryFileError("OldCmd").Message()),
            "Файл «OldCmd» повреждён: меньше 50 целых записей");
}

TEST(AtomicSave, ADiskFullHalfWayLeavesThePreviousFileAndNoTemporary) {
  TempDir dir;
  WriteRaw(dir.File("OldCmd"), "previous");
  FaultyFileSystem fs;
  fs.failWriteAfter = 3;

  const SaveResult result = SaveFileAtomically(dir.File("OldCmd"), AsSpan("replacement"), fs);

  ASSERT_FALSE(result.Ok());
  EXPECT_EQ(Cp1251ToUtf8(result.error->Message()),
            "Не удалось записать файл «" + dir.File("OldCmd") + "»: нет места на диске");
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

// One failing step of a save at a time. Every step before the rename must
// leave the previous file whole and no temporary; a failed directory flush
// comes after the rename, so the new file is in place, but its durability is
// unknown and the save must not claim success.
struct SaveStepFault {
  const char* step;
  void (*plant)(FaultyFileSystem&);
  FileError::Action action;
  const char* reason;
  bool newFileInPlace;
  const char* steps;  // what the save did, the failed step included
};

void PrintTo(const SaveStepFault& row, std::ostream* out) { *out << "a failing " << row.step; }

std::string Joined(const std::vector<std::string>& steps) {
  std::string text;
  for (const std::string& step : steps) text += (text.empty() ? "" : ", ") + step;
  return text;
}

class AtomicSaveStepFailing : public ::testing::TestWithParam<SaveStepFault> {};

TEST_P(AtomicSaveStepFailing, IsReportedAndLeavesAWholeFileAndNoTemporary) {
  const SaveStepFault& row = GetParam();
  TempDir dir;
  WriteRaw(dir.File("OldCmd"), "previous");
  FaultyFileSystem fs;
  row.plant(fs);

  const SaveResult result = SaveFileAtomically(dir.File("OldCmd"), AsSpan("replacement"), fs);

  ASSERT_FALSE(result.Ok()) << "a failed " << row.step << " was reported as success";
  EXPECT_EQ(result.error->action, row.action);
  EXPECT_EQ(result.error->reason, row.reason);
  EXPECT_EQ(ReadRaw(dir.File("OldCmd")), row.newFileInPlace ? "replacement" : "previous");
  EXPECT_FALSE(std::filesystem::exists(dir.File("OldCmd.tmp")));
  EXPECT_EQ(Joined(fs.steps), row.steps) << "no step may run after a failed one but the clean-up";
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, AtomicSaveStepFailing,
    ::testing::Values(
        SaveStepFault{"Create", [](FaultyFileSystem& fs) { fs.failCreateWith = EMFILE; },
                      FileError::Action::Write, "Too many open files", false, "create, remove"},
        SaveStepFault{"Write", [](FaultyFileSystem& fs) { fs.failWriteAfter = 4; },
                      FileError::Action::Write, "No space left on device", false,
                      "create, write, remove"},
        SaveStepFault{"Sync", [](FaultyFileSystem& fs) { fs.failSync = true; },
                      FileError::Action::Write, "Input/output error", false,
                      "create, write, sync and close, remove"},
        SaveStepFault{"Close", [](FaultyFileSystem& fs) { fs.failClose = true; },
                      FileError::Action::Write, "Disk quota exceeded", false,
                      "create, write, sync and close, remove"},
        SaveStepFault{"Rename", [](FaultyFileSystem& fs) { fs.failRename = true; },
                      FileError::Action::Replace, "Input/output error", false,
                      "create, write, sync and close, rename, remove"},
        SaveStepFault{"DirectorySync", [](FaultyFileSystem& fs) { fs.failDirectorySync = true; },
                      FileError::Action::Replace, "Input/output error", true,
                      "create, write, sync and close, rename, sync directory"}),
    [](const ::testing::TestParamInfo<SaveStepFault>& tested) {
      return std::string(tested.param.step);
    });

TEST(AtomicSave, FlushesTheFileBeforeTheRenameAndTheDirectoryAfterIt) {
  TempDir dir;
  FaultyFileSystem fs;
  ASSERT_TRUE(SaveFileAtomically(dir.File("Cfg"), AsSpan("new"), fs).Ok());
  EXPECT_EQ(fs.steps, (std::vector<std::string>{"create", "write", "sync and close", "rename",
                                                "sync directory"}));
}

TEST(AtomicSave, AStaleTemporaryFromACrashIsOverwrittenNotAppendedTo) {
  TempDir dir;
  WriteRaw(dir.File("Cfg.tmp"), Bytes(50, 'j'));
  ASSERT_TRUE(SaveFileAtomically(dir.File("Cfg"), AsSpan("ok")).Ok());
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), "ok");
}

TEST(AtomicSave, ALinkPlantedAtTheTemporaryNameIsReplacedNotFollowed) {
  TempDir dir;
  WriteRaw(dir.File("victim"), "keep me");
  WriteRaw(dir.File("Cfg"), "old");
  std::filesystem::create_symlink(dir.File("victim"), dir.Path() / "Cfg.tmp");

  ASSERT_TRUE(SaveFileAtomically(dir.File("Cfg"), AsSpan("new"), SystemFileSystem()).Ok());

  EXPECT_EQ(ReadRaw(dir.File("victim")), "keep me");
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), "new");
  EXPECT_FALSE(std::filesystem::is_symlink(dir.Path() / "Cfg"));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir.Path() / "Cfg.tmp")));
}

TEST(AtomicSave, ADanglingLinkAtTheTemporaryNameCreatesNothingAtItsTarget) {
  TempDir dir;
  std::filesystem::create_symlink(dir.File("elsewhere"), dir.Path() / "OldCmd.tmp");
  ASSERT_TRUE(SaveFileAtomically(dir.File("OldCmd"), AsSpan("new")).Ok());
  EXPECT_FALSE(std::filesystem::exists(dir.File("elsewhere")));
  EXPECT_EQ(ReadRaw(dir.File("OldCmd")), "new");
}

TEST(AtomicSave, ADirectoryAtTheTemporaryNameIsReportedAndTheFileKept) {
  TempDir dir;
  WriteRaw(dir.File("Cfg"), "old");
  std::filesystem::create_directory(dir.Path() / "Cfg.tmp");

  const SaveResult result = SaveFileAtomically(dir.File("Cfg"), AsSpan("new"));

  ASSERT_FALSE(result.Ok());
  EXPECT_EQ(result.error->action, FileError::Action::Write);
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), "old");
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "Cfg.tmp")) << "not ours to remove";
}

// Another process planting links at the temporary name while saves run: the
// link may win the race and fail a save, but its target is never written.
TEST(AtomicSave, ALinkPlantedDuringSavesNeverLetsASaveWriteThroughIt) {
  TempDir dir;
  WriteRaw(dir.File("victim"), "keep me");
  const std::string temporary = dir.File("Cfg.tmp");
  std::atomic<bool> stop{false};
  std::thread planter([&] {
    while (!stop.load()) {
      // Fails while a save's own temporary or an earlier link is there.
      [[maybe_unused]] const int planted = ::symlink(dir.File("victim").c_str(), temporary.c_str());
    }
  });
  int saved = 0;
  for (int i = 0; i < 300; ++i) {
    const Bytes content = "image " + std::to_string(i);
    if (SaveFileAtomically(dir.File("Cfg"), AsSpan(content)).Ok()) {
      ++saved;
      EXPECT_EQ(ReadRaw(dir.File("Cfg")), content);
    }
  }
  stop = true;
  planter.join();
  EXPECT_EQ(ReadRaw(dir.File("victim")), "keep me");
  EXPECT_GT(saved, 0);
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
  EXPECT_EQ(Cp1251ToUtf8(result.error->Message()),
            "Не удалось прочитать файл «" + dir.File("CmdConfig") + "»: это каталог");
}

TEST(ReadWholeFile, AFifoIsRefusedAtOnceInsteadOfWaitingForAWriter) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("CmdConfig").c_str(), 0644), 0);
  const ReadFileResult result = ReadWholeFile(dir.File("CmdConfig"));
  ASSERT_FALSE(result.Ok());
  EXPECT_TRUE(result.exists);
  EXPECT_EQ(Cp1251ToUtf8(result.error->Message()),
            "Не удалось прочитать файл «" + dir.File("CmdConfig") + "»: это не обычный файл");
}

TEST(ReadWholeFile, ADeviceIsRefused) {
  const ReadFileResult result = ReadWholeFile("/dev/zero", 100);
  ASSERT_FALSE(result.Ok());
  EXPECT_EQ(result.error->reason, "not a regular file");
}

TEST(ReadWholeFile, ASparseFourGigabyteFileIsReadOnlyUpToTheLimit) {
  TempDir dir;
  {
    std::ofstream out(dir.File("CmdConfig"), std::ios::binary);
    out.seekp((std::int64_t{4} << 30) - 1);
    out.put('x');
  }
  ASSERT_EQ(std::filesystem::file_size(dir.File("CmdConfig")), std::uintmax_t{4} << 30);
  const ReadFileResult result = ReadWholeFile(dir.File("CmdConfig"), 10'258'000);
  ASSERT_TRUE(result.Ok());
  EXPECT_EQ(result.bytes, Bytes(10'258'000, '\0'));
}

}  // namespace
}  // namespace velmora
