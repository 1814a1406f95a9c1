#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "fake_user_dialogs.h"
#include "state_file_images.h"
#include "test_services.h"
#include "ui/colors.h"
#include "ui/look.h"
#include "ui/main_form.h"
#include "ui/main_window.h"
#include "ui/settings_io.h"
#include "ui/text_codec.h"
#include "ui/widgets/double_click_combo_box.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"

namespace velmora::ui {

// Start/exit cycles of the window against "Cfg" and "OldCmd" images built
// from the record layouts. A valid "CmdConfig" lies beside them, so no
// message but the ones under test appears.
class SettingsCycleTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WorkDir> dir_;
  std::unique_ptr<FakeUserDialogs> dialogs_;

  std::unique_ptr<TForm1> Start(std::vector<std::string> ports = {}) {
    return std::make_unique<TForm1>(*dialogs_, TestServices(std::move(ports)));
  }

  // The real discovery and backend against a sysfs tty class and a device
  // directory made by the test in `root`: ttyS0, ttyUSB0 and rfcomm0.
  std::unique_ptr<TForm1> StartOnFakeTtys(const QTemporaryDir& root) {
    QDir dir(root.path());
    dir.mkpath("devices");
    dir.mkpath("dev");
    for (const char* tty : {"ttyS0", "ttyUSB0", "rfcomm0"}) {
      dir.mkpath(QStringLiteral("sys/%1").arg(tty));
      QFile::link(dir.filePath("devices"), dir.filePath(QStringLiteral("sys/%1/device").arg(tty)));
      WriteFile(dir.filePath(QStringLiteral("dev/%1").arg(tty)), "");
    }
    WriteFile(dir.filePath("sys/ttyS0/type"), "4\n");
    DeviceDirectories directories;
    directories.sysClassTty = dir.filePath("sys").toStdString();
    directories.dev = dir.filePath("dev").toStdString();
    TerminalServices services = TestServices();
    services.discovery = CreatePortDiscovery(directories);
    services.portFactory = [directories] { return CreateSerialPort(directories); };
    return std::make_unique<TForm1>(*dialogs_, std::move(services));
  }

  static QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items.append(box->itemText(i));
    return items;
  }

  // Starts with `cfg`, closes at once and returns what "Cfg" then holds.
  QByteArray Cycle(const QByteArray& cfg) {
    WriteFile("Cfg", cfg);
    auto window = Start();
    if (!window->close()) return {};
    return ReadFile("Cfg");
  }

 private slots:
  void init() {
    dir_ = std::make_unique<WorkDir>();
    dialogs_ = std::make_unique<FakeUserDialogs>();
    WriteFile("CmdConfig", NamedLists(100));
  }
  void cleanup() { dir_.reset(); }

  void aNormalExitAfterAFirstStartStoresTheDesignValues() {
    auto window = Start();
    QCOMPARE(ReadFile("Cfg"), QByteArray(792, '\0'));
    QVERIFY(window->close());
    QCOMPARE(ReadFile("Cfg"), DesignCfg());
    QVERIFY(dialogs_->messages.isEmpty());
  }

  void theScannedPortIsStoredCutToFourCharacters() {
    auto window = Start({"/dev/ttyS0"});
    QVERIFY(window->close());
    QByteArray expected = DesignCfg();
    expected.replace(0, 6, QByteArray("\x05/dev\x00", 6));
    QCOMPARE(ReadFile("Cfg"), expected);
  }

  void aZeroRecordRestoresZerosTheDesignModesAndTheCommandLineView() {
    WriteFile("Cfg", QByteArray(792, '\0'));
    auto window = Start({"/dev/ttyS0"});
    MainForm& form = window->Form();
    QCOMPARE(form.ComPort->currentText(), QString());
    QCOMPARE(form.BaudRate->currentText(), QStringLiteral("1200"));
    QCOMPARE(form.ComBits->currentText(), QStringLiteral("5"));
    QCOMPARE(form.ComStopBits->currentText(), QStringLiteral("1"));
    QVERIFY(!form.AutoConnect->isChecked() && !form.VisTime->isChecked() &&
            !form.SendAsReconn->isChecked());
    QCOMPARE(form.TimeOutAns->text(), QStringLiteral("TimeRX: 0"));
    QCOMPARE(window->Look().color, 0u);
    QCOMPARE(window->Look().fontColor, 0u);
    QCOMPARE(Background(form.MainWindow), QColor(Qt::black));
    QCOMPARE(TextColor(form.MainStrCmd), QColor(Qt::black));
    // A 0-point log would be unreadable: the design size stays.
    QCOMPARE(window->Look().fontSize, 8);
    QCOMPARE(form.MainWindow->font().pixelSize(), PointsToPixels(8));
    QCOMPARE(form.SriftText->text(), QStringLiteral("8"));
    QCOMPARE(form.PeriodTX->text(), QStringLiteral("0"));
    QCOMPARE(form.MainStrCmd->text(), QString());
    QCOMPARE(form.AddStrCmd->text(), QString());
    QVERIFY(form.RBManual->isChecked());
    QVERIFY(form.RBASCII->isChecked());
    QVERIFY(form.RbData->isChecked());
    // The command-line view's handler ran: the edits take command lines.
    QCOMPARE(form.Edit[0]->UserMaxLength(), 250);
    QVERIFY(!form.Button[0]->font().bold());

    QVERIFY(window->close());
    QByteArray expected(792, '\0');
    PutInt32(expected, 268, 8);
    expected[281] = 1;
    expected[282] = 1;
    QCOMPARE(ReadFile("Cfg"), expected);
  }

  void everyFieldComesBackIntoItsControlAndIsStoredUnchanged() {
    QByteArray cfg(792, '\0');
    PutText(cfg, 0, "COM3");
    cfg[6] = 7;
    cfg[7] = 2;
    cfg[8] = 2;
    cfg[9] = 1;
    PutInt32(cfg, 12, 250);
    PutText(cfg, 16, "ERR");
    PutInt32(cfg, 268, 12);
    PutInt32(cfg, 272, 0x00FF0000);
    PutInt32(cfg, 276, 0x0000FFFF);
    cfg[280] = 1;
    cfg[281] = 1;
    cfg[282] = 3;
    PutInt32(cfg, 284, 250);
    cfg[288] = 1;
    PutText(cfg, 289, "ping");
    PutText(cfg, 540, "*[XOR_8 (1..n)]$0D$0A");
    cfg[791] = 1;
    WriteFile("Cfg", cfg);

    auto window = Start({"/dev/ttyS0"});
    MainForm& form = window->Form();
    QCOMPARE(form.ComPort->currentText(), QStringLiteral("COM3"));
    QCOMPARE(form.BaudRate->currentText(), QStringLiteral("115200"));
    QCOMPARE(form.ComBits->currentText(), QStringLiteral("7"));
    QCOMPARE(form.ComStopBits->currentText(), QStringLiteral("2"));
    QVERIFY(form.AutoConnect->isChecked() && form.VisTime->isChecked() &&
            form.SendAsReconn->isChecked());
    QCOMPARE(window->Term().ReceivePath().TimeRx(), 250);
    QCOMPARE(form.TimeOutAns->text(), QStringLiteral("TimeRX: 250"));
    QCOMPARE(Background(form.TimeOutAns), ToQColor(kYellow));
    QCOMPARE(form.FiltrLog->text(), QStringLiteral("ERR"));
    QCOMPARE(Background(form.FiltrLog), ToQColor(kYellow));
    QCOMPARE(form.MainWindow->font().pixelSize(), PointsToPixels(12));
    QCOMPARE(form.SecondWindow->font().pixelSize(), PointsToPixels(12));
    QCOMPARE(form.SriftText->text(), QStringLiteral("12"));
    for (QWidget* painted :
         std::initializer_list<QWidget*>{form.MainStrCmd, form.FastOldCmd, form.AddStrCmd,
                                         form.OldCmdList, form.LBTail, form.MainWindow}) {
      QCOMPARE(Background(painted), QColor(0, 0, 255));
      QCOMPARE(TextColor(painted), QColor(255, 255, 0));
    }
    QCOMPARE(Background(form.CBLists), ToQColor(kSysButtonFace));
    QVERIFY(form.RBAfterAns->isChecked());
    QCOMPARE(form.PeriodTX->text(), QStringLiteral("250"));
    QCOMPARE(form.MainStrCmd->text(), QStringLiteral("ping"));
    QCOMPARE(form.AddStrCmd->text(), QStringLiteral("*[XOR_8 (1..n)]$0D$0A"));

    QVERIFY(window->close());
    QCOMPARE(ReadFile("Cfg"), cfg);
  }

  void aSavedHexModeKeepsItsSavedTail() {
    QByteArray cfg = DesignCfg();
    cfg[281] = 2;
    PutText(cfg, 540, "$0A");
    WriteFile("Cfg", cfg);
    auto window = Start();
    QVERIFY(window->Form().RBHEX->isChecked());
    QCOMPARE(window->Form().AddStrCmd->text(), QStringLiteral("$0A"));
  }

  void aSelectionOutsideItsListRestoresNoneAndIsStoredAs255() {
    QByteArray cfg = DesignCfg();
    cfg[6] = 8;
    cfg[8] = static_cast<char>(255);
    QByteArray expected = cfg;
    expected[6] = static_cast<char>(255);
    QCOMPARE(Cycle(cfg).toHex(), expected.toHex());
  }

  void aCutPortNameLeavesTheScannedPortWherePortsArePaths() {
    QByteArray cfg = DesignCfg();
    PutText(cfg, 0, "COM12");
    WriteFile("Cfg", cfg);
    CfgRecord record;
    QVERIFY(record.Assign(cfg.toStdString()));
    QCOMPARE(record.ComPort(), Bytes("COM1"));
    QVERIFY(RestoresPortName(record, false));
    QVERIFY(!RestoresPortName(record, true));

    auto window = Start({"/dev/ttyS0"});
    QCOMPARE(window->Form().ComPort->currentText(), QStringLiteral("/dev/ttyS0"));
  }

  void aShortLinuxPortNameIsStoredWholeAndRestored() {
    QTemporaryDir root;
    {
      auto window = StartOnFakeTtys(root);
      QComboBox* port = window->Form().ComPort;
      QCOMPARE(Items(port), (QStringList{"S0", "USB0", root.filePath("dev/rfcomm0")}));
      QCOMPARE(port->currentText(), QStringLiteral("S0"));  // the scan's first
      port->setCurrentIndex(1);
      QVERIFY(window->close());
    }
    QCOMPARE(ReadFile("Cfg").left(6), QByteArray("\x04USB0\x00", 6));
    auto window = StartOnFakeTtys(root);
    QCOMPARE(window->Form().ComPort->currentIndex(), 1);
    QCOMPARE(window->Form().ComPort->currentText(), QStringLiteral("USB0"));
    QVERIFY(dialogs_->messages.isEmpty());
  }

  void aCutLinuxPortNameLeavesTheScannedPort() {
    QByteArray cfg = DesignCfg();
    PutText(cfg, 0, "USB10");  // stored as "USB1": maybe a sibling adapter
    WriteFile("Cfg", cfg);
    QTemporaryDir root;
    auto window = StartOnFakeTtys(root);
    QCOMPARE(window->Form().ComPort->currentText(), QStringLiteral("S0"));
  }

  void aFiveCharacterPortNameIsStoredWithItsFifthCharacterZero() {
    auto window = Start();
    window->Form().ComPort->setEditText(QStringLiteral("COM12"));
    QVERIFY(window->close());
    QCOMPARE(ReadFile("Cfg").left(6), QByteArray("\x05"
                                                 "COM1\x00",
                                                 6));
  }

  void aConsoleLineOf300CharactersIsStoredAndRestoredAsItsFirst250() {
    const QString line = QString(150, QLatin1Char('a')) + QString(150, QLatin1Char('b'));
    {
      auto window = Start();
      window->Form().MainStrCmd->setText(line);
      QVERIFY(window->close());
    }
    QByteArray expected = DesignCfg();
    PutText(expected, 289, line.left(250).toLatin1());
    QCOMPARE(ReadFile("Cfg"), expected);
    auto again = Start();
    QCOMPARE(again->Form().MainStrCmd->text(), line.left(250));
  }

  void aPeriodTextIsStoredAsItsNumberOr1000() {
    const struct {
      QString text;
      std::uint32_t stored;
    } rows[] = {{QString(), 1000}, {QStringLiteral("12a"), 1000}, {QStringLiteral("77"), 77}};
    for (const auto& row : rows) {
      auto window = Start();
      window->Form().PeriodTX->setText(row.text);
      QVERIFY(window->close());
      QByteArray expected = DesignCfg();
      PutInt32(expected, 284, row.stored);
      QCOMPARE(ReadFile("Cfg"), expected);
    }
    auto window = Start();
    QCOMPARE(window->Form().PeriodTX->text(), QStringLiteral("77"));
  }

  void aStoredPeriodLongerThanTheTypingLimitIsShownAndStoredWhole() {
    QByteArray cfg = DesignCfg();
    PutInt32(cfg, 284, 123456);
    WriteFile("Cfg", cfg);
    auto window = Start();
    QCOMPARE(window->Form().PeriodTX->text(), QStringLiteral("123456"));
    QVERIFY(window->close());
    QCOMPARE(ReadFile("Cfg"), cfg);
  }

  void aFontSizeOutside2To100IsNotAppliedAndStoredAs8() {
    for (const std::uint32_t size : {1u, 101u, 0xFFFFFFF6u}) {
      QByteArray cfg = DesignCfg();
      PutInt32(cfg, 268, size);
      WriteFile("Cfg", cfg);
      auto window = Start();
      QCOMPARE(window->Form().MainWindow->font().pixelSize(), PointsToPixels(8));
      QCOMPARE(window->Form().SriftText->text(), QStringLiteral("8"));
      QVERIFY(window->close());
      QCOMPARE(ReadFile("Cfg"), DesignCfg());
    }
  }

  void tailsAndPaddingOfTheFileSurviveACycle() {
    QByteArray cfg = DesignCfg();
    for (const int pad : {10, 11, 267, 283}) cfg[pad] = static_cast<char>(0xA5);
    PutText(cfg, 16, "abcdef");
    PutText(cfg, 289, "a longer console line");
    cfg[540 + 200] = 'T';  // behind the tail's text
    WriteFile("Cfg", cfg);
    {
      auto window = Start();
      window->Form().FiltrLog->setText(QStringLiteral("xy"));
      window->Form().MainStrCmd->setText(QStringLiteral("ab"));
      QVERIFY(window->close());
    }
    QByteArray expected = cfg;
    PutText(expected, 16, "xy");
    PutText(expected, 289, "ab");
    QCOMPARE(ReadFile("Cfg").toHex(), expected.toHex());
    QCOMPARE(ReadFile("Cfg").mid(16, 7), QByteArray("\x02xycdef"));
  }

  void aShortRecordIsReportedAndTheDesignValuesAreWrittenWhole() {
    const QByteArray shortFile(100, static_cast<char>(0xA5));
    WriteFile("Cfg", shortFile);
    auto window = Start();
    QCOMPARE(dialogs_->messages.size(), 1);
    QCOMPARE(dialogs_->messages[0], QStringLiteral("Файл «Cfg» повреждён: меньше 792 байт"));
    QCOMPARE(window->Form().AddStrCmd->text(), QStringLiteral("$0D"));
    QVERIFY(window->Form().RBName->isChecked());
    QCOMPARE(window->Form().ComBits->currentText(), QStringLiteral("8"));
    QVERIFY(window->close());
    // The fields hold the design values; what lies between them is the
    // file's bytes as far as it went.
    QByteArray expected = DesignCfg();
    expected.replace(1, 4, shortFile.mid(1, 4));
    expected.replace(10, 2, shortFile.mid(10, 2));
    expected.replace(17, 83, shortFile.mid(17, 83));
    QCOMPARE(ReadFile("Cfg").toHex(), expected.toHex());
  }

  void aLongerFileIsReadFromItsFirstRecordAndCutBackTo792() {
    QByteArray cfg = DesignCfg();
    PutText(cfg, 16, "ERR");
    QCOMPARE(Cycle(cfg + QByteArray(100, 'x')), cfg);
  }

  void aHistoryWithTailsIsRewrittenByteForByteWithoutASend() {
    QByteArray history(12800, '\0');
    for (int i = 0; i < history.size(); ++i) history[i] = static_cast<char>((i * 37 + 11) % 256);
    WriteFile("OldCmd", history);
    auto window = Start();
    QCOMPARE(window->Term().History().Entry(1), history.mid(1, 11).toStdString());
    QVERIFY(window->close());
    QCOMPARE(ReadFile("OldCmd"), history);
  }

  void aStartAppendsTheNonEmptyEntriesToBothHistoryLists() {
    QByteArray history(12800, '\0');
    PutText(history, 0, "first");
    PutText(history, 2 * 256, "third");
    WriteFile("OldCmd", history);
    auto window = Start();
    for (const QListWidget* list : {window->Form().FastOldCmd, window->Form().OldCmdList}) {
      QCOMPARE(list->count(), 2);
      QCOMPARE(list->item(0)->text(), QStringLiteral("first"));
      QCOMPARE(list->item(1)->text(), QStringLiteral("third"));
    }
  }

  void aSentCommandIsWrittenOverTheOldRecordLeavingItsTail() {
    QByteArray history(12800, '\0');
    PutText(history, 0, "a long command");
    WriteFile("OldCmd", history);
    auto window = Start();
    window->Term().History().Record("xy");
    QVERIFY(window->close());
    QByteArray expected(12800, '\0');
    expected.replace(0, 256, history.left(256));
    PutText(expected, 0, "xy");
    expected.replace(256, 256, history.left(256));
    QCOMPARE(ReadFile("OldCmd").toHex(), expected.toHex());
  }

  void aShortHistoryIsReportedAndWrittenWholeWithItsWholeRecords() {
    QByteArray history(3 * 256 + 100, '\0');
    PutText(history, 256, "second");
    history[3 * 256] = 9;  // the start of a record cut off
    WriteFile("OldCmd", history);
    auto window = Start();
    QCOMPARE(dialogs_->messages.size(), 1);
    QCOMPARE(dialogs_->messages[0],
             QStringLiteral("Файл «OldCmd» повреждён: меньше 50 целых записей"));
    QCOMPARE(window->Term().History().Entry(2), Bytes("second"));
    QCOMPARE(window->Term().History().Entry(4), Bytes());
    QVERIFY(window->close());
    QCOMPARE(ReadFile("OldCmd"), history.left(3 * 256) + QByteArray(47 * 256, '\0'));
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::SettingsCycleTest)
#include "settings_cycle_test.moc"
