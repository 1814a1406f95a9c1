#include "app/cfg_record.h"

#include <gtest/gtest.h>

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

Bytes ImageOf(const CfgRecord& record) {
  return Bytes(reinterpret_cast<const char*>(record.Image().data()), record.Image().size());
}

// What the window stores at shut-down from controls that kept their design
// values, the port being the one the scan selected.
void FillWithDesignValues(CfgRecord& record) {
  record.SetComPort("COM3");
  record.SetBaudRate(0);
  record.SetComBits(3);
  record.SetComStopBits(0);
  record.SetAutoConnect(false);
  record.SetTimeRx(0);
  record.SetFiltrLog("");
  record.SetLogFontSize(kDesignLogFontSize);
  record.SetColor(kSysButtonFace);
  record.SetFontColor(kSysWindowText);
  record.SetVisTime(false);
  record.SetInputMode(1);
  record.SetOutMode(1);
  record.SetPeriodTx(PeriodTxFromText("1000"));
  record.SetSendAsReconn(false);
  record.SetMainStrCmd("");
  record.SetAddStrCmd("$0D");
  record.SetRBName(true);
}

TEST(CfgFile, FirstStartWritesSevenHundredNinetyTwoZeroBytes) {
  TempDir dir;
  CfgRecord record;
  const CfgLoadResult load = record.Load(dir.File("Cfg"));
  EXPECT_FALSE(load.exists);
  EXPECT_FALSE(load.Applicable());
  ASSERT_TRUE(record.Save(dir.File("Cfg")).Ok());
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), Bytes(792, '\0'));
}

TEST(CfgFile, NormalExitAfterAFirstStartStoresTheDesignValues) {
  TempDir dir;
  WriteRaw(dir.File("Cfg"), Bytes(792, '\0'));
  CfgRecord record;
  ASSERT_TRUE(record.Load(dir.File("Cfg")).Applicable());
  FillWithDesignValues(record);
  ASSERT_TRUE(record.Save(dir.File("Cfg")).Ok());

  Bytes expected(792, '\0');
  PutText(expected, 0, "COM3");
  expected[7] = 3;                      // ComBits "8"
  PutInt32(expected, 268, 8);           // LogFontSize
  PutInt32(expected, 272, 0xFF00000F);  // Color: button face
  PutInt32(expected, 276, 0xFF000008);  // FontColor: window text
  expected[281] = 1;                    // OutMode: RBASCII
  expected[282] = 1;                    // InputMode: RBManual
  PutInt32(expected, 284, 1000);        // PeriodTX
  PutText(expected, 540, "$0D");        // AddStrCmd
  expected[791] = 1;                    // RBName
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), expected);
}

TEST(CfgFile, ARecordOfZeroBytesRestoresZerosAndTheCommandLineView) {
  CfgRecord record;
  ASSERT_TRUE(record.Assign(Bytes(792, '\0')));
  EXPECT_EQ(record.ComPort(), "");
  EXPECT_EQ(SelectionFromByte(record.BaudRate()), 0);
  EXPECT_EQ(SelectionFromByte(record.ComBits()), 0);
  EXPECT_EQ(SelectionFromByte(record.ComStopBits()), 0);
  EXPECT_FALSE(record.AutoConnect());
  EXPECT_EQ(record.TimeRx(), 0);
  EXPECT_EQ(record.FiltrLog(), "");
  EXPECT_EQ(record.Color(), 0u);
  EXPECT_EQ(record.FontColor(), 0u);
  EXPECT_EQ(record.LogFontSize(), 0);
  EXPECT_FALSE(LogFontSizeUsable(record.LogFontSize())) << "the design size 8 is used instead";
  EXPECT_FALSE(record.VisTime());
  EXPECT_EQ(record.InputMode(), 0) << "no mode: the design selection stays";
  EXPECT_EQ(record.OutMode(), 0);
  EXPECT_EQ(record.PeriodTx(), 0);
  EXPECT_FALSE(record.SendAsReconn());
  EXPECT_EQ(record.MainStrCmd(), "");
  EXPECT_EQ(record.AddStrCmd(), "");
  EXPECT_FALSE(record.RBName());
}

TEST(CfgFile, FieldsAreReadAtTheirOffsetsLittleEndian) {
  Bytes file(792, '\0');
  PutText(file, 0, "COM7");
  file[6] = 6;
  file[7] = 2;
  file[8] = static_cast<char>(kNoSelection);
  file[9] = 1;
  PutInt32(file, 12, 250);
  PutText(file, 16, "OK");
  PutInt32(file, 268, 14);
  PutInt32(file, 272, 0x0000FFFF);
  PutInt32(file, 276, 0x00FF0000);
  file[280] = 1;
  file[281] = 2;
  file[282] = 4;
  PutInt32(file, 284, 123456);
  file[288] = 1;
  PutText(file, 289, "AT");
  PutText(file, 540, "*[XOR_8 (1..n)]");
  file[791] = 1;

  CfgRecord record;
  ASSERT_TRUE(record.Assign(file));
  EXPECT_EQ(record.ComPort(), "COM7");
  EXPECT_EQ(record.BaudRate(), 6);
  EXPECT_EQ(record.ComBits(), 2);
  EXPECT_EQ(SelectionFromByte(record.ComStopBits()), -1);
  EXPECT_TRUE(record.AutoConnect());
  EXPECT_EQ(record.TimeRx(), 250);
  EXPECT_EQ(record.FiltrLog(), "OK");
  EXPECT_EQ(record.LogFontSize(), 14);
  EXPECT_EQ(record.Color(), 0x0000FFFFu);
  EXPECT_EQ(record.FontColor(), 0x00FF0000u);
  EXPECT_TRUE(record.VisTime());
  EXPECT_EQ(record.OutMode(), 2);
  EXPECT_EQ(record.InputMode(), 4);
  EXPECT_EQ(record.PeriodTx(), 123456);
  EXPECT_TRUE(record.SendAsReconn());
  EXPECT_EQ(record.MainStrCmd(), "AT");
  EXPECT_EQ(record.AddStrCmd(), "*[XOR_8 (1..n)]");
  EXPECT_TRUE(record.RBName());
}

TEST(CfgFile, OnlyAStoredOneSelectsTheNameView) {
  for (int stored : {0, 2, 255}) {
    Bytes file(792, '\0');
    file[791] = static_cast<char>(stored);
    CfgRecord record;
    record.Assign(file);
    EXPECT_FALSE(record.RBName()) << stored;
  }
}

TEST(CfgFile, NoSelectionIsStoredAs255AndComesBackAsNone) {
  EXPECT_EQ(ByteFromSelection(-1), 255);
  EXPECT_EQ(ByteFromSelection(4), 4);
  EXPECT_EQ(SelectionFromByte(255), -1);
  EXPECT_EQ(SelectionFromByte(4), 4);
}

TEST(CfgFile, AFiveCharacterPortNameIsStoredWithItsFifthCharacterZero) {
  CfgRecord record;
  record.SetComPort("COM12");
  EXPECT_EQ(ImageOf(record).substr(0, 6), Bytes("\x05"
                                                "COM1\x00",
                                                6));
  EXPECT_EQ(record.ComPort(), "COM1");
  EXPECT_TRUE(record.ComPortWasCut());
}

TEST(CfgFile, AFiveCharacterPortNameFromTheFileComesBackAsItsFirstFour) {
  Bytes file(792, '\0');
  PutText(file, 0, "COM12");
  CfgRecord record;
  record.Assign(file);
  EXPECT_EQ(record.ComPort(), "COM1");
  EXPECT_EQ(record.Image()[5], 0);
  EXPECT_TRUE(record.ComPortWasCut());
  record.SetComPort("COM3");
  EXPECT_FALSE(record.ComPortWasCut());
}

TEST(CfgFile, AConsoleLineOf300CharactersIsStoredAsItsFirst250) {
  Bytes line;
  for (int i = 0; i < 300; ++i) line.push_back(static_cast<char>('a' + i % 26));
  CfgRecord record;
  record.SetAddStrCmd("$0D");
  record.SetMainStrCmd(line);

  Bytes expected(792, '\0');
  PutText(expected, 289, line.substr(0, 250));
  PutText(expected, 540, "$0D");
  EXPECT_EQ(ImageOf(record), expected);
  EXPECT_EQ(record.MainStrCmd(), line.substr(0, 250));
}

TEST(CfgFile, AnEmptyPeriodIsStoredAs1000AndRestoredAs1000) {
  TempDir dir;
  CfgRecord record;
  record.SetPeriodTx(PeriodTxFromText(""));
  ASSERT_TRUE(record.Save(dir.File("Cfg")).Ok());
  const Bytes file = ReadRaw(dir.File("Cfg"));
  EXPECT_EQ(file.substr(284, 4), Bytes("\xE8\x03\x00\x00", 4));

  CfgRecord restored;
  ASSERT_TRUE(restored.Load(dir.File("Cfg")).Applicable());
  EXPECT_EQ(restored.PeriodTx(), 1000);
}

TEST(PeriodText, IsTheDecimalNumberOr1000WhenEmptyOrNoNumber) {
  struct Row {
    const char* text;
    std::int32_t stored;
  };
  const Row rows[] = {
      {"250", 250},
      {"0", 0},
      {"123456", 123456},
      {"-5", -5},
      {"+7", 7},
      {"", 1000},
      {"12a", 1000},
      {"abc", 1000},
      {" 5", 1000},
      {"+", 1000},
      {"+-5", 1000},
      {"2147483647", 2147483647},
      {"2147483648", 1000},
      {"99999999999", 1000},
  };
  for (const Row& row : rows) EXPECT_EQ(PeriodTxFromText(row.text), row.stored) << row.text;
}

TEST(CfgFile, TailsAndPaddingFromTheFileSurviveAStartExitCycle) {
  TempDir dir;
  // Every byte non-zero, so that anything the cycle rewrites shows.
  Bytes file(792, '\0');
  for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<char>(0x20 + i % 90);
  PutText(file, 0, "COM4");  // file[5] stays non-zero
  PutText(file, 16, "filter-long");
  PutText(file, 289, "console-line-long");
  PutText(file, 540, "$0D$0A");
  WriteRaw(dir.File("Cfg"), file);

  CfgRecord record;
  ASSERT_TRUE(record.Load(dir.File("Cfg")).Applicable());
  record.SetFiltrLog("f");
  record.SetMainStrCmd("cmd");
  record.SetAddStrCmd("$0D");
  ASSERT_TRUE(record.Save(dir.File("Cfg")).Ok());

  Bytes expected = file;
  expected[5] = 0;
  PutText(expected, 16, "f");
  PutText(expected, 289, "cmd");
  PutText(expected, 540, "$0D");
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), expected);
}

TEST(CfgFile, AShortFileIsDamagedAndHeldAsItsBytesFollowedByZeros) {
  TempDir dir;
  Bytes file(100, '\x11');
  WriteRaw(dir.File("Cfg"), file);
  CfgRecord record;
  const CfgLoadResult load = record.Load(dir.File("Cfg"));
  EXPECT_TRUE(load.exists);
  EXPECT_TRUE(load.damaged);
  EXPECT_FALSE(load.Applicable());

  Bytes expected(792, '\0');
  expected.replace(0, 100, file);
  expected[5] = 0;
  EXPECT_EQ(ImageOf(record), expected);

  ASSERT_TRUE(record.Save(dir.File("Cfg")).Ok());
  EXPECT_EQ(ReadRaw(dir.File("Cfg")).size(), 792u) << "a complete file at shut-down";
}

TEST(CfgFile, ALongerFileIsReadFromItsFirstRecordAndCutBackAtShutDown) {
  TempDir dir;
  Bytes file(792, '\0');
  PutText(file, 540, "$0D");
  WriteRaw(dir.File("Cfg"), file + Bytes(40, '\x7F'));
  CfgRecord record;
  ASSERT_TRUE(record.Load(dir.File("Cfg")).Applicable());
  EXPECT_EQ(record.AddStrCmd(), "$0D");
  ASSERT_TRUE(record.Save(dir.File("Cfg")).Ok());
  EXPECT_EQ(ReadRaw(dir.File("Cfg")), file);
}

TEST(CfgFile, AReadErrorIsReportedAndTheRecordIsNotApplicable) {
  TempDir dir;
  WriteRaw(dir.File("Cfg"), Bytes(792, '\x01'));
  FaultyFileSystem fs;
  fs.failRead = true;
  CfgRecord record;
  const CfgLoadResult load = record.Load(dir.File("Cfg"), fs);
  ASSERT_TRUE(load.error.has_value());
  EXPECT_EQ(Cp1251ToUtf8(load.error->Message()),
            "Не удалось прочитать файл «" + dir.File("Cfg") + "»: ошибка ввода-вывода");
  EXPECT_FALSE(load.Applicable());
  EXPECT_EQ(ImageOf(record), Bytes(792, '\0'));
}

}  // namespace
}  // namespace velmora
