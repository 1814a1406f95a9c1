#include <sys/stat.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <memory>

#include "fake_user_dialogs.h"
#include "faulty_file_system.h"
#include "state_file_images.h"
#include "test_services.h"
#include "ui/colors.h"
#include "ui/macro_panel.h"
#include "ui/main_form.h"
#include "ui/main_window.h"
#include "ui/state_files.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/double_click_combo_box.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"

namespace velmora::ui {
namespace {

const QString kConfigProblem =
    QStringLiteral("Проблема с файлом конфигурации, он будет перезаписан");

// A list as an earlier run may have left it: a long name, one command line,
// the last macro's name and help line, and both reserved areas marked.
QByteArray FilledRecord(int n) {
  QByteArray record = ListRecord("an older name of list " + QByteArray::number(n));
  PutText(record, 152, "cmd");                            // CmdData[1]
  PutText(record, 12248 + 52 * 47, "nm");                 // CmdName[48]
  PutText(record, 14744 + 1824 * 47 + 152 * 11, "help");  // CmdHelp[48][12]
  record[102296] = 0x77;
  record[102504] = 0x66;
  return record;
}

QByteArray FilledLists(int count) {
  QByteArray file;
  for (int n = 1; n <= count; ++n) file += FilledRecord(n);
  return file;
}

// A list read before the fault was found, after the reset: the length bytes
// are 0, the name is "List n", the signature is set, all else is kept.
QByteArray ResetRecord(QByteArray record, int n) {
  for (const int lengthByte : {152, 12248 + 52 * 47, 14744 + 1824 * 47 + 152 * 11}) {
    record[lengthByte] = 0;
  }
  PutText(record, 0, "List " + QByteArray::number(n));
  PutInt32(record, 102500, 12345);
  return record;
}

// The file written after a fault: the first `read` lists as they were read,
// the others zero but for name and signature.
QByteArray RebuiltFile(const QByteArray& file, int read) {
  QByteArray rebuilt;
  for (int n = 1; n <= 100; ++n) {
    rebuilt += n <= read ? ResetRecord(file.mid((n - 1) * kListRecordBytes, kListRecordBytes), n)
                         : ListRecord("List " + QByteArray::number(n));
  }
  return rebuilt;
}

}  // namespace

class StartUpTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WorkDir> dir_;
  std::unique_ptr<FakeUserDialogs> dialogs_;

  std::unique_ptr<TForm1> Start() {
    return std::make_unique<TForm1>(*dialogs_, TestServices({"/dev/ttyS0"}));
  }

  // Files the failed start-ups below must leave alone.
  static QByteArray KeptCfg() {
    QByteArray cfg = DesignCfg();
    PutText(cfg, 16, "keep");
    return cfg;
  }
  static QByteArray KeptHistory() {
    QByteArray history(12800, '\0');
    PutText(history, 0, "keep");
    return history;
  }

 private slots:
  void init() {
    dir_ = std::make_unique<WorkDir>();
    dialogs_ = std::make_unique<FakeUserDialogs>();
  }
  void cleanup() { dir_.reset(); }

  void aFirstStartInAnEmptyDirectoryCreatesTheThreeFiles() {
    auto window = Start();
    QCOMPARE(dialogs_->messages, QStringList{kConfigProblem});
    QCOMPARE(ReadFile("CmdConfig"), NamedLists(100));
    QCOMPARE(ReadFile("OldCmd"), QByteArray(12800, '\0'));
    QCOMPARE(ReadFile("Cfg"), QByteArray(792, '\0'));
    QCOMPARE(QDir().entryList(QDir::Files).size(), 3);

    MainForm& form = window->Form();
    QCOMPARE(form.TimeOutAns->text(), QStringLiteral("TimeRX: 0"));
    QCOMPARE(form.SriftText->text(), QStringLiteral("8"));
    QCOMPARE(form.CBLists->count(), 100);
    QCOMPARE(form.CBLists->currentIndex(), 0);
    QCOMPARE(form.CBLists->itemText(6), QStringLiteral("List 7"));
    QCOMPARE(form.STListName->text(), QStringLiteral("List 1"));
    QVERIFY(form.Button[0]->font().bold());
    QCOMPARE(form.ComPort->currentText(), QStringLiteral("/dev/ttyS0"));
    QVERIFY(window->Macros().SlotHandlersAttached());
  }

  void theHelpPanelShowsTheIntroductionExactly() {
    auto window = Start();
    const QStringList lines = {
        QStringLiteral("Краткая справка по каждой команде"),
        QStringLiteral("   Здесь будет отображаться описание команд."),
        QStringLiteral("   Редактируемая  справка  отображается при"),
        QStringLiteral("   наведении  указателя  мышки  на кнопку с"),
        QStringLiteral("   соответствующей командой."),
        QStringLiteral("   Для редактирования справки нужно открыть"),
        QStringLiteral("   редактор  и  дважды  кликнуть  мышкой по"),
        QStringLiteral("   соответствующей   команде    в    режиме"),
        QStringLiteral("   редактирования. "),
        QStringLiteral("   Для вывода справки по элементам управле-"),
        QStringLiteral("   ния нужно задержать указатель мыши в не-"),
        QStringLiteral("   подвижном состоянии над нужным элементом."),
    };
    for (int i = 0; i < 12; ++i) {
      const QLabel* line = window->Form().STH[static_cast<std::size_t>(i)];
      QCOMPARE(line->text(), lines[i]);
      QCOMPARE(line->textFormat(), Qt::PlainText);
      QCOMPARE(line->property("tag").toInt(), i + 1);
    }
  }

  void theStatisticsArrowsColoursAndFocusStartAsDesigned() {
    auto window = Start();
    MainForm& form = window->Form();
    QCOMPARE(form.MinTimeWait->text(), QStringLiteral("MIN_T_W:  NA"));
    QCOMPARE(form.MaxTimeWait->text(), QStringLiteral("MAX_T_W: NA"));
    QCOMPARE(form.LRead->text(), QStringLiteral("Read: 0"));
    QCOMPARE(form.LSend->text(), QStringLiteral("Send: 0"));
    QCOMPARE(form.Str1->text(), QStringLiteral("↓"));
    QCOMPARE(form.Str2->text(), QStringLiteral("↓"));
    QVERIFY(QFontMetrics(form.Str1->font()).inFont(QChar(0x2193)));
    const QColor face = ToQColor(kSysButtonFace);
    const QWidget* const coloured[] = {form.MainWindow, form.MainStrCmd, form.AddStrCmd,
                                       form.FastOldCmd, form.LBTail,     form.CBLists,
                                       form.FiltrLog};
    for (const QWidget* widget : coloured) {
      QCOMPARE(Background(widget), face);
    }
    QVERIFY(Background(form.OldCmdList) != face);
    QCOMPARE(window->focusWidget(), form.BTConnect);
    QVERIFY(form.MainWindow->toPlainText().isEmpty());
  }

  void aDamagedCommandFileResetsAllListsKeepingTheBytesThatWereRead() {
    const struct {
      const char* what;
      QByteArray file;
      int read;
    } rows[] = {
        {"99 records", FilledLists(99), 99},
        {"a partial last record", FilledLists(99) + FilledRecord(100).left(1000), 99},
        {"signature 0 in record 50",
         [] {
           QByteArray file = FilledLists(100);
           PutInt32(file, 49 * kListRecordBytes + 102500, 0);
           return file;
         }(),
         50},
    };
    for (const auto& row : rows) {
      WriteFile("CmdConfig", row.file);
      dialogs_->messages.clear();
      auto window = Start();
      QVERIFY2(dialogs_->messages == QStringList{kConfigProblem}, row.what);
      QVERIFY2(ReadFile("CmdConfig") == RebuiltFile(row.file, row.read), row.what);
    }
  }

  void aHundredAndOneRecordsLoadWithoutAMessageAndSaveAsAHundred() {
    const QByteArray file = FilledLists(101);
    WriteFile("CmdConfig", file);
    auto window = Start();
    QVERIFY(dialogs_->messages.isEmpty());
    QCOMPARE(window->Form().CBLists->itemText(1), QStringLiteral("an older name of list 2"));
    QCOMPARE(ReadFile("CmdConfig").size(), file.size());
    QVERIFY(window->Macros().SaveListCmd());
    // Reserved bytes and the tails behind the texts went through unchanged.
    QVERIFY(ReadFile("CmdConfig") == file.left(100 * kListRecordBytes));
  }

  void anEmptyListNameIsShownAsItsNumberInBracketsAndStoredSo() {
    QByteArray file = NamedLists(100);
    file[0] = 0;
    file[kListRecordBytes] = 0;
    WriteFile("CmdConfig", file);
    auto window = Start();
    QCOMPARE(window->Form().STListName->text(), QStringLiteral("[1]"));
    QCOMPARE(window->Form().CBLists->itemText(0), QStringLiteral("[1]"));
    QCOMPARE(window->Form().CBLists->itemText(1), QString());
    QCOMPARE(window->Term().Store().GetListName(1), Bytes("[1]"));
  }

  void anUnreadableCommandFileSkipsTheRestButScansAndOverwritesNothing() {
    QVERIFY(QDir().mkdir("CmdConfig"));
    WriteFile("Cfg", KeptCfg());
    WriteFile("OldCmd", KeptHistory());
    auto window = Start();
    QCOMPARE(dialogs_->messages.size(), 1);
    QCOMPARE(dialogs_->messages[0],
             QStringLiteral("Не удалось прочитать файл «CmdConfig»: это каталог"));
    QCOMPARE(window->Form().ComPort->currentText(), QStringLiteral("/dev/ttyS0"));
    QVERIFY(window->Macros().SlotHandlersAttached());
    QVERIFY(window->Form().STH[0]->text().isEmpty());
    QCOMPARE(window->Form().FiltrLog->text(), QString());
    QVERIFY(!window->Macros().SaveListCmd());
    QVERIFY(window->close());
    QCOMPARE(ReadFile("Cfg"), KeptCfg());
    QCOMPARE(ReadFile("OldCmd"), KeptHistory());
  }

  void aCommandFileThatIsAFifoIsReportedAtOnceAndLeftAlone() {
    QCOMPARE(::mkfifo("CmdConfig", 0644), 0);
    WriteFile("Cfg", KeptCfg());
    WriteFile("OldCmd", KeptHistory());
    auto window = Start();  // must not wait for a writer
    QCOMPARE(
        dialogs_->messages,
        QStringList{QStringLiteral("Не удалось прочитать файл «CmdConfig»: это не обычный файл")});
    QVERIFY(!window->Macros().SaveListCmd());
    QVERIFY(window->close());
    QVERIFY(QFileInfo("CmdConfig").exists() && !QFileInfo("CmdConfig").isFile());
    QCOMPARE(ReadFile("Cfg"), KeptCfg());
    QCOMPARE(ReadFile("OldCmd"), KeptHistory());
  }

  void anUnreadableHistorySkipsTheSettingsAndOverwritesNothing() {
    WriteFile("CmdConfig", NamedLists(100));
    QVERIFY(QDir().mkdir("OldCmd"));
    WriteFile("Cfg", KeptCfg());
    auto window = Start();
    QCOMPARE(dialogs_->messages.size(), 1);
    QCOMPARE(dialogs_->messages[0],
             QStringLiteral("Не удалось прочитать файл «OldCmd»: это каталог"));
    QCOMPARE(window->Form().ComPort->currentText(), QStringLiteral("/dev/ttyS0"));
    QVERIFY(window->close());
    QCOMPARE(ReadFile("Cfg"), KeptCfg());
    QCOMPARE(ReadFile("CmdConfig"), NamedLists(100));
  }

  void anUnreadableCfgIsNotWrittenAtExitButTheHistoryIs() {
    WriteFile("CmdConfig", NamedLists(100));
    WriteFile("OldCmd", KeptHistory());
    QVERIFY(QDir().mkdir("Cfg"));
    auto window = Start();
    QCOMPARE(dialogs_->messages.size(), 1);
    QCOMPARE(dialogs_->messages[0], QStringLiteral("Не удалось прочитать файл «Cfg»: это каталог"));
    window->Term().History().Record("sent");
    QVERIFY(window->close());
    QByteArray history = KeptHistory();
    PutText(history, 256, "keep");
    PutText(history, 0, "sent");
    QCOMPARE(ReadFile("OldCmd"), history);
    QVERIFY(QFileInfo("Cfg").isDir());
  }

  // The failed settings save is reported, then the user is asked whether to
  // close without it: "Нет" keeps the window, "Да" closes it.
  void aCfgThatCannotBeWrittenAsksWhetherToCloseWithoutIt() {
    WriteFile("CmdConfig", NamedLists(100));
    WriteFile("Cfg", KeptCfg());
    QFile("Cfg").setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    auto window = Start();
    window->Term().History().Record("sent");
    const QString question =
        QStringLiteral("Не удалось сохранить настройки. Закрыть программу без сохранения?");
    const QString report = QStringLiteral("Не удалось записать файл «Cfg»: нет доступа");

    dialogs_->answerYes = false;
    QVERIFY(!window->close());
    QCOMPARE(dialogs_->messages, QStringList{report});
    QCOMPARE(dialogs_->questions, QStringList{question});
    QCOMPARE(ReadFile("Cfg"), KeptCfg());
    QCOMPARE(ReadFile("OldCmd").left(5), QByteArray("\x04sent"));

    dialogs_->answerYes = true;
    QVERIFY(window->close());
    QCOMPARE(dialogs_->messages, (QStringList{report, report}));
    QCOMPARE(dialogs_->questions, (QStringList{question, question}));
    QCOMPARE(ReadFile("Cfg"), KeptCfg());
  }

  void aCfgWrittenOnASecondTryClosesWithoutAnotherQuestion() {
    WriteFile("CmdConfig", NamedLists(100));
    WriteFile("Cfg", KeptCfg());
    QFile("Cfg").setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    auto window = Start();
    QVERIFY(!window->close());
    QFile("Cfg").setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(window->close());
    QCOMPARE(dialogs_->questions.size(), 1);
    QCOMPARE(ReadFile("Cfg"), KeptCfg());
  }

  void staleTemporariesOfTheThreeFilesAreRemovedAtStartUp() {
    WriteFile("CmdConfig", NamedLists(100));
    for (const char* stale : {"CmdConfig.tmp", "Cfg.tmp", "OldCmd.tmp"}) WriteFile(stale, "x");
    auto window = Start();
    QCOMPARE(QDir().entryList(QDir::Files),
             (QStringList{QStringLiteral("Cfg"), QStringLiteral("CmdConfig"),
                          QStringLiteral("OldCmd")}));
  }

  void aSaveThatFailsHalfWayLeavesThePreviousFile() {
    WriteFile("Cfg", KeptCfg());
    testing::FaultyFileSystem disk;
    disk.failWriteAfter = 300;  // of the 792 bytes
    StateFiles files(*dialogs_, disk);
    CfgRecord cfg;
    QCOMPARE(files.LoadCfg(cfg), StateFiles::CfgStart::Apply);
    files.CfgRestored();
    cfg.SetFiltrLog("changed");
    QVERIFY(!files.SaveCfg(cfg));
    QCOMPARE(dialogs_->messages,
             QStringList{QStringLiteral("Не удалось записать файл «Cfg»: нет места на диске")});
    QCOMPARE(ReadFile("Cfg"), KeptCfg());
    QVERIFY(!QFile::exists("Cfg.tmp"));
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::StartUpTest)
#include "start_up_test.moc"
