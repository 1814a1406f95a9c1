// The command file reader on files the test writes.

#include "automation/command_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<Bytes>;

class CommandFileTest : public ::testing::Test {
 protected:
  CommandFileTest()
      : dir_(fs::temp_directory_path() / ("velmora-cmdfile-" + std::to_string(getpid()))) {
    fs::create_directories(dir_);
  }
  ~CommandFileTest() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  fs::path dir_;
};

std::string NumberedLines(int count, const std::string& end = "\n") {
  std::string bytes;
  for (int i = 1; i <= count; ++i) bytes += "cmd" + std::to_string(i) + end;
  return bytes;
}

struct ContentRow {
  const char* what;
  std::string bytes;
  Lines lines;
  std::size_t linesRead;
};

class CommandFileContent : public CommandFileTest,
                           public ::testing::WithParamInterface<ContentRow> {};

TEST_P(CommandFileContent, GivesTheLinesAsTheFileHoldsThem) {
  const ContentRow& row = GetParam();
  const CommandFile file = ReadCommandFile(Write("cmd.txt", row.bytes));
  ASSERT_TRUE(file.Ok()) << file.reason;
  EXPECT_EQ(file.lines, row.lines);
  EXPECT_EQ(file.linesRead, row.linesRead);
  EXPECT_FALSE(file.bigFile);
}

const std::string k254(254, 'a');
const std::string k255(255, 'b');

INSTANTIATE_TEST_SUITE_P(
    Rows, CommandFileContent,
    ::testing::Values(
        ContentRow{"Lf", "one\ntwo\n", {"one", "two"}, 2},
        ContentRow{"CrLf", "one\r\ntwo\r\n", {"one", "two"}, 2},
        ContentRow{"MixedEnds", "one\r\ntwo\nthree", {"one", "two", "three"}, 3},
        ContentRow{"LoneCrStaysInTheLine", "a\rb\nc\r\r\n", {"a\rb", "c\r"}, 2},
        ContentRow{"LoneCrAtTheEndStays", "one\ntwo\r", {"one", "two\r"}, 2},
        ContentRow{"FinalLfStartsNoLine", "one\n", {"one"}, 1},
        ContentRow{"LastLineWithoutLfCounts", "one\ntwo", {"one", "two"}, 2},
        ContentRow{"EmptyLinesUseTheirPlace", "\n\r\nx\n\n", {"", "", "x", ""}, 4},
        ContentRow{"CtrlZEndsTheFile", "one\ntw\x1Ao\nthree\n", {"one", "tw"}, 2},
        ContentRow{"CtrlZAtALineStartAddsNoLine", "one\n\x1A\ntwo\n", {"one"}, 1},
        ContentRow{"EmptyFile", "", {}, 0}, ContentRow{"Line254IsKept", k254 + "\n", {k254}, 1},
        ContentRow{"Line254WithCrLfIsKept", k254 + "\r\nz", {k254, "z"}, 2},
        ContentRow{"Line255IsSkippedButCounts", "x\n" + k255 + "\ny\n", {"x", "y"}, 3},
        ContentRow{"LongLastLineIsSkipped", "x\n" + k255, {"x"}, 2},
        ContentRow{"Line254WithALoneCrIsTooLong", k254 + "\r", {}, 1},
        ContentRow{"Cyrillic1251BytesAsTheyAre",
                   "\xCF\xF0\xE8\xE2\xE5\xF2\r\n\xC0\xC1\xC2\xFF\n",
                   {"\xCF\xF0\xE8\xE2\xE5\xF2", "\xC0\xC1\xC2\xFF"},
                   2},
        ContentRow{"ZeroBytesStay", std::string("a\0b\n", 4), {std::string("a\0b", 3)}, 1}),
    [](const auto& row) { return std::string(row.param.what); });

struct CountRow {
  int lines;
  std::size_t loaded;
  bool bigFile;
};

class CommandFileLength : public CommandFileTest, public ::testing::WithParamInterface<CountRow> {};

TEST_P(CommandFileLength, LoadsAtMost500LinesAndFlagsTheBigFile) {
  const CountRow row = GetParam();
  for (const std::string end : {"\n", "\r\n"}) {
    const CommandFile file = ReadCommandFile(Write("n.txt", NumberedLines(row.lines, end)));
    ASSERT_TRUE(file.Ok());
    ASSERT_EQ(file.lines.size(), row.loaded);
    EXPECT_EQ(file.bigFile, row.bigFile);
    EXPECT_EQ(file.lines.front(), "cmd1");
    EXPECT_EQ(file.lines.back(), "cmd" + std::to_string(row.loaded));
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, CommandFileLength,
                         ::testing::Values(CountRow{499, 499, false}, CountRow{500, 500, true},
                                           CountRow{501, 500, true}, CountRow{600, 500, true}));

TEST_F(CommandFileTest, A500thLineWithoutLfIsABigFile) {
  std::string bytes = NumberedLines(499) + "last";
  const CommandFile file = ReadCommandFile(Write("n.txt", bytes));
  EXPECT_EQ(file.lines.size(), 500u);
  EXPECT_TRUE(file.bigFile);
}

TEST_F(CommandFileTest, LongLinesCountTowardsThe500) {
  std::string bytes;
  for (int i = 0; i < 10; ++i) bytes += k255 + "\n";
  bytes += NumberedLines(600);
  const CommandFile file = ReadCommandFile(Write("n.txt", bytes));
  EXPECT_EQ(file.linesRead, 500u);
  EXPECT_TRUE(file.bigFile);
  ASSERT_EQ(file.lines.size(), 490u);
  EXPECT_EQ(file.lines.back(), "cmd490");
}

TEST_F(CommandFileTest, AFolderWithACyrillicNameWorks) {
  // The path stays in the system's bytes (UTF-8 here), never 1251.
  const fs::path folder = dir_ / "\xD0\x9A\xD0\xBE\xD0\xBC\xD0\xB0\xD0\xBD\xD0\xB4\xD1\x8B";
  fs::create_directories(folder);
  const fs::path path = folder / "\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB.txt";
  std::ofstream(path, std::ios::binary) << "\xEF\xF3\xF1\xEA\r\n";
  const CommandFile file = ReadCommandFile(path.string());
  ASSERT_TRUE(file.Ok()) << file.reason;
  EXPECT_EQ(file.lines, Lines{"\xEF\xF3\xF1\xEA"});
}

TEST_F(CommandFileTest, AMissingFileFailsWithItsReason) {
  const CommandFile file = ReadCommandFile((dir_ / "absent.txt").string());
  EXPECT_EQ(file.error, ENOENT);
  EXPECT_FALSE(file.reason.empty());
  EXPECT_TRUE(file.lines.empty());
}

TEST_F(CommandFileTest, ADirectoryIsRefusedAsAnInputOutputError) {
  const CommandFile file = ReadCommandFile(dir_.string());
  EXPECT_EQ(file.error, EIO);
  EXPECT_TRUE(file.lines.empty());
}

TEST_F(CommandFileTest, AFifoIsRefusedWithoutWaitingForAWriter) {
  const fs::path fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const CommandFile file = ReadCommandFile(fifo.string());
  EXPECT_EQ(file.error, EIO);
  EXPECT_TRUE(file.lines.empty());
}

TEST_F(CommandFileTest, ADeviceThatNeverEndsIsRefused) {
  const CommandFile file = ReadCommandFile("/dev/zero");
  EXPECT_EQ(file.error, EIO);
  EXPECT_TRUE(file.lines.empty());
}

// A source that hands the bytes over in chunks of a fixed size, then
// optionally fails, counting how much was asked for.
class ChunkedSource : public CommandFileSource {
 public:
  ChunkedSource(std::string bytes, std::size_t chunk, int failAtEnd = 0)
      : bytes_(std::move(bytes)), chunk_(chunk), failAtEnd_(failAtEnd) {}
  int Open(const std::string&, std::string&) override {
    opened = true;
    return 0;
  }
  long Read(std::uint8_t* data, std::size_t size, int& error, std::string& reason) override {
    ++reads;
    const std::size_t n = std::min({size, chunk_, bytes_.size() - offset_});
    if (n == 0 && failAtEnd_ != 0) {
      error = failAtEnd_;
      reason = "broken";
      return -1;
    }
    std::copy_n(bytes_.data() + offset_, n, data);
    offset_ += n;
    return static_cast<long>(n);
  }
  void Close() override { closed = true; }

  bool opened = false;
  bool closed = false;
  int reads = 0;

 private:
  std::string bytes_;
  std::size_t chunk_;
  int failAtEnd_;
  std::size_t offset_ = 0;
};

TEST(CommandFileChunks, CrLfSplitAcrossReadsEndsTheLine) {
  for (std::size_t chunk : {1u, 2u, 3u, 7u}) {
    ChunkedSource source("ab\r\ncd\r\n\re\r", chunk);
    const CommandFile file = ReadCommandFile(source, "x");
    EXPECT_EQ(file.lines, (Lines{"ab", "cd", "\re\r"})) << chunk;
    EXPECT_TRUE(source.closed);
  }
}

TEST(CommandFileChunks, StopsReadingAfter500Lines) {
  ChunkedSource source(NumberedLines(5000), 10);
  const CommandFile file = ReadCommandFile(source, "x");
  EXPECT_EQ(file.lines.size(), 500u);
  // 3392 bytes hold the first 500 lines (340 reads of 10); the whole file
  // would take about 3900 reads.
  EXPECT_LE(source.reads, 340);
}

TEST(CommandFileChunks, AReadErrorKeepsTheLinesReadSoFar) {
  ChunkedSource source("one\ntwo\nthr", 4, EIO);
  const CommandFile file = ReadCommandFile(source, "x");
  EXPECT_EQ(file.error, EIO);
  EXPECT_EQ(file.reason, "broken");
  EXPECT_EQ(file.lines, (Lines{"one", "two"}));
  EXPECT_TRUE(source.closed);
}

TEST(CommandFileParserTest, AMegabyteLineIsSkippedAndTheNextOneKept) {
  CommandFileParser parser;
  const std::string huge(1 << 20, 'q');
  parser.Feed(reinterpret_cast<const std::uint8_t*>(huge.data()), huge.size());
  parser.Feed(reinterpret_cast<const std::uint8_t*>("\nok"), 3);
  parser.Finish();
  EXPECT_EQ(parser.Lines(), Lines{"ok"});
  EXPECT_EQ(parser.LinesRead(), 2u);
}

}  // namespace
}  // namespace velmora
