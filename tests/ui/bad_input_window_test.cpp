// What users and their machines hand the window that nobody planned for:
// huge pastes, every odd character, port names full of shell characters,
// state files of random bytes, files that are no files, files that cannot
// be read, a full disk at shut-down. Each case checks what the user is told
// and that no good file is lost.

#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <random>

#include "fake_user_dialogs.h"
#include "faulty_file_system.h"
#include "memory_file_system.h"
#include "pty_device.h"
#include "state_file_images.h"
#include "test_services.h"
#include "ui/form_parts.h"
#include "ui/main_form.h"
#include "ui/main_window.h"
#include "ui/settings_io.h"
#include "ui/state_files.h"
#include "ui/text_codec.h"
#include "ui/widgets/limited_edit.h"
#include "window_fixture.h"

namespace velmora::ui {
namespace {

using namespace std::chrono_literals;

const QString kCannotOpen =
    QStringLiteral("Что-то не открывается порт. Программа может работать только с COM1..COM9.");
const QString kConfigProblem =
    QStringLiteral("Проблема с файлом конфигурации, он будет перезаписан");
const QString kCfgShort = QStringLiteral("Файл «Cfg» повреждён: меньше 792 байт");

// Generous: a loaded machine is slow, a frozen window is frozen for good.
constexpr qint64 kNoFreezeMs = 5000;

// 100,000 characters of text with Cyrillic letters in it, no '$'.
QString LongText() {
  const QString pattern = QStringLiteral("Команда 0123456789 abc;");
  QString text;
  while (text.size() < 100000) text += pattern;
  return text.left(100000);
}

// Every character of the 1251 code page but NUL, the control characters
// included.
Bytes EveryCharacter() {
  Bytes bytes;
  for (int b = 1; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  return bytes;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

// A HEX text as the packet it stands for: a byte for each pair starting at
// 0, 3, 6, ..., a character that is no digit counting 0.
std::string PacketOfHexText(const Bytes& text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); i += 3) {
    const char low = i + 1 < text.size() ? text[i + 1] : '0';
    bytes.push_back(static_cast<char>(DigitValue(text[i]) * 16 + DigitValue(low)));
  }
  return bytes;
}

void Paste(QLineEdit* edit, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  edit->setFocus();
  edit->selectAll();
  QTest::keySequence(edit, QKeySequence::Paste);
}

// The resident size of this process in bytes.
std::size_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  std::size_t resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

SettingsParts Parts(TForm1& window) {
  return {SettingsControlsOf(window.Form()),
          window.Term().ReceivePath(),
          window.ConsoleLine(),
          window.Macros(),
          window.Receive(),
          window.Look(),
          window.Automation()};
}

QByteArray RandomBytes(std::mt19937& random, int size) {
  QByteArray bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

}  // namespace

class BadInputWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<devsim::PtyDevice> device_;
  std::unique_ptr<WindowFixture> app_;

  MainForm& Form() { return app_->Form(); }

  void StartConnected(const std::string& link = {}) {
    devsim::DeviceOptions options;
    options.mode = devsim::Mode::Silent;
    options.linkPath = link;
    device_ = std::make_unique<devsim::PtyDevice>(options);
    app_ = std::make_unique<WindowFixture>();
    Form().ComPort->setEditText(QString::fromStdString(device_->PortName()));
    Form().BTConnect->click();
    QCOMPARE(Form().BTConnect->text(), QStringLiteral("Disconnect"));
  }

  std::string Wire(std::size_t size) {
    [&] { QVERIFY(device_->WaitForReceived(size, 10s)); }();
    return device_->Received();
  }

 private slots:
  void cleanup() {
    app_.reset();
    device_.reset();
  }

  // A paste far beyond a line edit's usual 32767 characters is kept whole
  // and sent whole, in the console line and in the tail alike.
  void aHundredThousandPastedCharactersAreSentWhole_data() {
    QTest::addColumn<bool>("intoTheTail");
    QTest::newRow("console line") << false;
    QTest::newRow("tail") << true;
  }
  void aHundredThousandPastedCharactersAreSentWhole() {
    QFETCH(bool, intoTheTail);
    StartConnected();
    const QString text = LongText();
    LimitedEdit* const edit = intoTheTail ? Form().AddStrCmd : Form().MainStrCmd;
    if (intoTheTail) Form().MainStrCmd->setText(QStringLiteral("go"));

    // Shown, so that the edit and the log echo are laid out and painted too.
    app_->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(app_->window.get()));

    QElapsedTimer timer;
    timer.start();
    Paste(edit, text);
    QCOMPARE(edit->text().size(), text.size());
    QTest::keyClick(Form().MainStrCmd, Qt::Key_Return);
    QCoreApplication::processEvents();
    app_->window->repaint();
    const qint64 elapsed = timer.elapsed();
    qInfo("paste and send of 100000 characters: %lld ms", elapsed);
    QVERIFY2(elapsed < kNoFreezeMs, qPrintable(QString::number(elapsed)));

    const std::string expected =
        intoTheTail ? "go" + ToBytes(text) : ToBytes(text) + std::string("\r");
    QCOMPARE(Wire(expected.size()), expected);
    QVERIFY(app_->dialogs.messages.isEmpty());
    QCOMPARE(Form().LSend->text(), QStringLiteral("Send: 1"));  // one packet
  }

  // Beyond what an edit holds (120,000 characters) the paste is cut, and the
  // user is told so at once rather than finding a short packet later.
  void aPasteBeyondTheLongestTextIsCutAndSaysSo() {
    app_ = std::make_unique<WindowFixture>();
    const QString text = LongText().repeated(3);
    QElapsedTimer timer;
    timer.start();
    Paste(Form().MainStrCmd, text);
    qInfo("paste of 300000 characters cut to 120000: %lld ms", timer.elapsed());
    QVERIFY2(timer.elapsed() < kNoFreezeMs, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(Form().MainStrCmd->text().size(), LimitedEdit::kLongestEditText);
    QVERIFY(text.startsWith(Form().MainStrCmd->text()));
    QCOMPARE(app_->dialogs.messages,
             QStringList{QStringLiteral(
                 "Строка длиннее 120000 символов не помещается и обрезана до этой длины")});
    // Typing at the end of a full line changes nothing and says nothing more.
    Form().MainStrCmd->end(false);
    QTest::keyClicks(Form().MainStrCmd, QStringLiteral("x"));
    QCOMPARE(app_->dialogs.messages.size(), 1);
  }

  // Every character of the code page in the HEX console and the tail: each
  // character that is no hex digit counts as 0, nothing is dropped or added.
  void everyCharacterInTheHexConsoleAndTailGivesItsPairs_data() {
    QTest::addColumn<bool>("intoTheTail");
    QTest::newRow("console line") << false;
    QTest::newRow("tail") << true;
  }
  void everyCharacterInTheHexConsoleAndTailGivesItsPairs() {
    QFETCH(bool, intoTheTail);
    StartConnected();
    QTest::mouseClick(Form().RBHEX, Qt::LeftButton);
    QVERIFY(Form().RBHEX->isChecked());
    LimitedEdit* const edit = intoTheTail ? Form().AddStrCmd : Form().MainStrCmd;
    if (intoTheTail) Form().MainStrCmd->setText(QStringLiteral("01 "));
    Paste(edit, ToQString(EveryCharacter()));
    QCOMPARE(ToBytes(edit->text()), EveryCharacter());
    QTest::keyClick(Form().MainStrCmd, Qt::Key_Return);

    const std::string expected =
        PacketOfHexText(intoTheTail ? "01 " + EveryCharacter() : EveryCharacter());
    QCOMPARE(expected.size(), intoTheTail ? 86u : 85u);
    QCOMPARE(Wire(expected.size()), expected);
    QVERIFY(app_->dialogs.messages.isEmpty());
  }

  // A name full of blanks, quotes and shell characters is a file name and
  // nothing else: a missing one fails with the window's message and runs
  // nothing, an existing one (a link to the device) opens and sends.
  void aPortNameWithShellCharactersIsOnlyAFileName() {
    QTemporaryDir scratch;
    const QString marker = scratch.filePath("executed");
    const QString missing =
        QStringLiteral("/dev/no such 'port' \"x\" ; touch %1 & $(touch %1) `touch %1` | >%1")
            .arg(marker);
    app_ = std::make_unique<WindowFixture>();
    Form().ComPort->setEditText(missing);
    Form().BTConnect->click();
    QCOMPARE(app_->dialogs.messages, QStringList{kCannotOpen});
    QCOMPARE(Form().BTConnect->text(), QStringLiteral("Connect"));
    QVERIFY(!QFile::exists(marker));
    app_.reset();

    const std::string link =
        scratch.filePath(QStringLiteral("my port 'a' \"b\" ;$(touch x)&|*?")).toStdString();
    StartConnected(link);
    QCOMPARE(Form().ComPort->currentText(), QString::fromStdString(link));
    Form().MainStrCmd->setText(QStringLiteral("ping"));
    QTest::keyClick(Form().MainStrCmd, Qt::Key_Return);
    QCOMPARE(Wire(5), std::string("ping\r"));
    QVERIFY(!QFile::exists(marker));
    QCOMPARE(QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1);
  }

  // "Cfg" of random bytes of every length 0..1000, through the start-up and
  // shut-down steps of the settings on one window: a short file is reported
  // once, every file is applied without harm, and the file written at
  // shut-down is whole and comes back unchanged through another cycle.
  void aCfgOfRandomBytesOfEveryLengthEndsAsASoundFile() {
    app_ = std::make_unique<WindowFixture>();
    std::mt19937 random(20261208);
    // In memory: a thousand saves to the disk would only wait for its syncs.
    testing::MemoryFileSystem disk;
    const auto cfgFile = [&disk] {
      const Bytes& bytes = disk.files["Cfg"];
      return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    };
    for (int size = 0; size <= 1000; ++size) {
      const QByteArray bytes = RandomBytes(random, size);
      disk.files["Cfg"] = Bytes(bytes.constData(), static_cast<std::size_t>(bytes.size()));
      FakeUserDialogs dialogs;
      const QString where = QStringLiteral("length %1").arg(size);
      {
        StateFiles files(dialogs, disk);
        CfgRecord cfg;
        const StateFiles::CfgStart start = files.LoadCfg(cfg);
        QVERIFY2(start != StateFiles::CfgStart::Failed, qPrintable(where));
        QVERIFY2(dialogs.messages == (size < 792 ? QStringList{kCfgShort} : QStringList{}),
                 qPrintable(where + ": " + dialogs.messages.join('|')));
        files.CfgRestored();
        QVERIFY2(files.SaveCfg(cfg), qPrintable(where));
      }
      const QByteArray first = cfgFile();
      QVERIFY2(first.size() == 792, qPrintable(where));
      // A whole record is taken as it is (its fifth port-name byte zeroed),
      // a short one is filled up with zeros.
      QByteArray kept = bytes.left(792);
      kept.append(792 - kept.size(), '\0');
      kept[5] = 0;
      QVERIFY2(first == kept, qPrintable(where));
      // Applied to the controls and filled back twice: the second file is
      // the first's fixed point, and starting from it reports nothing.
      QByteArray previous;
      for (int round = 0; round < 2; ++round) {
        dialogs.messages.clear();
        StateFiles files(dialogs, disk);
        CfgRecord cfg;
        QVERIFY2(files.LoadCfg(cfg) == StateFiles::CfgStart::Apply, qPrintable(where));
        ApplyCfgRecord(cfg, Parts(*app_->window));
        FillCfgRecord(cfg, Parts(*app_->window));
        files.CfgRestored();
        QVERIFY2(files.SaveCfg(cfg), qPrintable(where));
        QVERIFY2(dialogs.messages.isEmpty(), qPrintable(where + ": " + dialogs.messages.join('|')));
        const QByteArray written = cfgFile();
        QVERIFY2(written.size() == 792, qPrintable(where));
        if (round == 1) QVERIFY2(written == previous, qPrintable(where));
        previous = written;
      }
    }
    QVERIFY(!disk.Exists("Cfg.tmp"));
  }

  // The same through whole runs of the window for a few lengths: it starts,
  // says at most once that the file is damaged, closes and leaves a whole
  // record that the next run takes without a word.
  void aWindowStartsAndClosesOnACfgOfRandomBytes() {
    WorkDir dir;
    WriteFile("CmdConfig", NamedLists(100));
    std::mt19937 random(8122026);
    for (const int size : {0, 1, 5, 300, 791, 792, 793, 1000}) {
      const QString where = QStringLiteral("length %1").arg(size);
      WriteFile("Cfg", RandomBytes(random, size));
      FakeUserDialogs dialogs;
      {
        TForm1 window(dialogs, TestServices());
        QVERIFY2(window.close(), qPrintable(where));
      }
      QVERIFY2(dialogs.messages.count(kCfgShort) == (size < 792 ? 1 : 0),
               qPrintable(where + ": " + dialogs.messages.join('|')));
      QVERIFY2(!dialogs.messages.contains(kConfigProblem), qPrintable(where));
      QVERIFY2(ReadFile("Cfg").size() == 792, qPrintable(where));
      QVERIFY2(ReadFile("CmdConfig") == NamedLists(100), qPrintable(where));

      FakeUserDialogs again;
      {
        TForm1 window(again, TestServices());
        QVERIFY2(window.close(), qPrintable(where));
      }
      QVERIFY2(!again.messages.contains(kCfgShort), qPrintable(where));
      QVERIFY2(ReadFile("Cfg").size() == 792, qPrintable(where));
    }
  }

  // "CmdConfig" that is a 0-byte file or a sparse file of 4 GB: reported once
  // as damaged and rebuilt, read only up to the size of the lists (at once,
  // without the memory of the whole file). A directory and a FIFO are
  // refused without waiting (start_up_test).
  void aCommandFileOfNoBytesOrOfFourGigabytesIsRebuiltQuickly_data() {
    QTest::addColumn<qint64>("size");
    QTest::newRow("0 bytes") << qint64{0};
    QTest::newRow("sparse 4 GB") << qint64{4} * 1024 * 1024 * 1024;
  }
  void aCommandFileOfNoBytesOrOfFourGigabytesIsRebuiltQuickly() {
    QFETCH(qint64, size);
    WorkDir dir;
    {
      QFile file("CmdConfig");
      QVERIFY(file.open(QIODevice::WriteOnly));
      QVERIFY(file.resize(size));
    }
    WriteFile("Cfg", DesignCfg());
    const std::size_t before = ResidentBytes();
    QElapsedTimer timer;
    timer.start();
    FakeUserDialogs dialogs;
    TForm1 window(dialogs, TestServices());
    const qint64 elapsed = timer.elapsed();
    const std::size_t grown = ResidentBytes() - std::min(before, ResidentBytes());
    qInfo("start-up on a CmdConfig of %lld bytes: %lld ms, %zu kB more resident", size, elapsed,
          grown / 1024);
    QVERIFY2(elapsed < kNoFreezeMs, qPrintable(QString::number(elapsed)));
    // The lists themselves take 10 MB; the file's 4 GB never come near.
    QVERIFY2(grown < 200u * 1024 * 1024, qPrintable(QString::number(grown)));
    QCOMPARE(dialogs.messages, QStringList{kConfigProblem});
    QCOMPARE(ReadFile("CmdConfig"), NamedLists(100));
    QVERIFY(window.close());
  }

  // State files the user may not read: each is reported with its name and
  // the reason, and none of them is written over at shut-down.
  void stateFilesThatCannotBeReadAreReportedAndKept_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("CmdConfig") << QStringLiteral("CmdConfig");
    QTest::newRow("OldCmd") << QStringLiteral("OldCmd");
    QTest::newRow("Cfg") << QStringLiteral("Cfg");
  }
  void stateFilesThatCannotBeReadAreReportedAndKept() {
    QFETCH(QString, name);
    if (::geteuid() == 0) QSKIP("root reads a file of mode 000 anyway");
    WorkDir dir;
    QByteArray cfg = DesignCfg();
    PutText(cfg, 16, "keep");
    QByteArray history(12800, '\0');
    PutText(history, 0, "keep");
    WriteFile("CmdConfig", NamedLists(100));
    WriteFile("OldCmd", history);
    WriteFile("Cfg", cfg);
    QVERIFY(QFile(name).setPermissions(QFile::Permissions{}));
    FakeUserDialogs dialogs;
    {
      TForm1 window(dialogs, TestServices());
      QCOMPARE(
          dialogs.messages,
          QStringList{QStringLiteral("Не удалось прочитать файл «%1»: нет доступа").arg(name)});
      window.Term().History().Record("sent");
      QVERIFY(window.close());
    }
    QVERIFY(QFile(name).setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(ReadFile("CmdConfig"), NamedLists(100));
    QCOMPARE(ReadFile("Cfg"), cfg);
    if (name != "Cfg") QCOMPARE(ReadFile("OldCmd"), history);
  }

  // The same refusal where root runs the tests: the read itself fails. The
  // history is read first; start-up stops there and writes nothing.
  void aRefusedReadOfAStateFileIsReportedAndNothingWritten() {
    WorkDir dir;
    QByteArray cfg = DesignCfg();
    PutText(cfg, 16, "keep");
    WriteFile("CmdConfig", NamedLists(100));
    WriteFile("Cfg", cfg);
    testing::FaultyFileSystem disk;
    disk.failRead = true;
    disk.readError = EACCES;
    TerminalServices services = TestServices();
    services.stateFileSystem = &disk;
    FakeUserDialogs dialogs;
    {
      TForm1 window(dialogs, std::move(services));
      QCOMPARE(dialogs.messages,
               QStringList{QStringLiteral("Не удалось прочитать файл «OldCmd»: нет доступа")});
      QVERIFY(window.close());
    }
    QCOMPARE(ReadFile("Cfg"), cfg);
    for (const std::string& step : disk.steps) QCOMPARE(step, std::string("remove"));
  }

  // A full disk at shut-down: both files are reported with the reason, the
  // user is asked, "Нет" keeps the window open with the old files intact;
  // once there is room again the close writes them.
  void aFullDiskAtShutDownKeepsTheWindowOpenAndSaysWhy() {
    WorkDir dir;
    QByteArray cfg = DesignCfg();
    PutText(cfg, 16, "keep");
    QByteArray history(12800, '\0');
    PutText(history, 0, "keep");
    WriteFile("CmdConfig", NamedLists(100));
    WriteFile("OldCmd", history);
    WriteFile("Cfg", cfg);
    testing::FaultyFileSystem disk;
    TerminalServices services = TestServices();
    services.stateFileSystem = &disk;
    FakeUserDialogs dialogs;
    TForm1 window(dialogs, std::move(services));
    window.show();
    QVERIFY(dialogs.messages.isEmpty());
    window.Term().History().Record("sent");
    window.Form().FiltrLog->setText(QStringLiteral("changed"));

    disk.failWriteAfter = 100;
    dialogs.answerYes = false;
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    QCOMPARE(dialogs.messages,
             (QStringList{QStringLiteral("Не удалось записать файл «OldCmd»: нет места на диске"),
                          QStringLiteral("Не удалось записать файл «Cfg»: нет места на диске")}));
    QCOMPARE(dialogs.questions,
             QStringList{QStringLiteral(
                 "Не удалось сохранить настройки. Закрыть программу без сохранения?")});
    QCOMPARE(ReadFile("OldCmd"), history);
    QCOMPARE(ReadFile("Cfg"), cfg);
    QCOMPARE(QDir().entryList(QDir::Files),
             (QStringList{QStringLiteral("Cfg"), QStringLiteral("CmdConfig"),
                          QStringLiteral("OldCmd")}));

    disk.failWriteAfter.reset();
    QVERIFY(window.close());
    QCOMPARE(dialogs.questions.size(), 1);
    QCOMPARE(ReadFile("OldCmd").left(5), QByteArray("\x04sent"));
    QCOMPARE(ReadFile("Cfg").mid(16, 8), QByteArray("\x07"
                                                    "changed"));
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::BadInputWindowTest)
#include "bad_input_window_test.moc"
