// The log's buttons through the real window: the log file's life, "Clear",
// the frozen view of a pause, the colour cycle and the font size.

#include "ui/log_buttons.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "app/cfg_record.h"
#include "common/cp1251.h"
#include "ui/colors.h"
#include "ui/look.h"
#include "ui/main_form.h"
#include "ui/text_codec.h"
#include "ui/widgets/double_click_combo_box.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"
#include "ui/widgets/up_down_arrows.h"
#include "window_fixture.h"

namespace velmora::ui {
namespace {

namespace fs = std::filesystem;

// 7 December 2026, 02:36:57: single-digit day and hour.
constexpr LocalTime kCreation{2026, 12, 7, 1, 2, 36, 57, 480};
const QString kName = QStringLiteral("LOG_2026 12 7 2 36 57.txt");
const QString kStop = QStringLiteral(">>>>>>>>>> STOP <<<<<<<<<<");

bool HeldOpen(const QString& path) {
  std::error_code error;
  const fs::path target = fs::canonical(path.toStdString(), error);
  for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ignored;
    if (fs::read_symlink(fd.path(), ignored) == target) return true;
  }
  return false;
}

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace

class LogButtonsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> app_;
  ManualClock* clock_ = nullptr;

  MainForm& Form() { return app_->Form(); }
  // A line as both paths show it: appended, then handed to the log file.
  void Show(const Bytes& line) {
    app_->window->LogOutput().AppendLogLine(line);
    app_->window->LogOutput().WriteLogFile(line);
  }
  QList<QWidget*> CycledControls() {
    QList<QWidget*> controls;
    controls << Form().MainStrCmd << Form().FastOldCmd << Form().AddStrCmd << Form().OldCmdList
             << Form().LBTail << Form().MainWindow;
    return controls;
  }

 private slots:
  void init() {
    auto clock = std::make_unique<ManualClock>();
    clock->Set(kCreation);
    clock_ = clock.get();
    app_ = std::make_unique<WindowFixture>(std::vector<std::string>{}, std::move(clock));
  }
  void cleanup() { app_.reset(); }

  void logFileLivesFromTheFirstStartToTheRealClose() {
    const QString path = app_->Path(kName);
    Show("before");
    QVERIFY(!QFile::exists(path));
    QCOMPARE(Form().STLog->text(), QStringLiteral("Запись в файл не ведётся"));

    Form().StartLog->click();
    QCOMPARE(Form().StartLog->text(), QStringLiteral("Pause Log"));
    QCOMPARE(Form().StartLog->property("tag").toInt(), 1);
    QCOMPARE(Form().STLog->text(), QStringLiteral("Лог записывается в файл ") + kName);
    Show("first\r\n");
    Show(Utf8ToCp1251("Привет"));

    clock_->AdvanceMs(5000);
    Form().StartLog->click();
    QCOMPARE(Form().StartLog->text(), QStringLiteral("Go Log"));
    QCOMPARE(Form().StartLog->property("tag").toInt(), 0);
    QCOMPARE(Form().STLog->text(),
             QStringLiteral("Запись в файл лога приостановлена (") + kName + ")");
    Show("while paused");
    Form().StartLog->click();
    Show("resumed");
    QCOMPARE(QDir(app_->Path(".")).entryList({"LOG_*"}), QStringList{kName});
    QCOMPARE(FileBytes(path), QByteArray("first\r\n\r\n\xCF\xF0\xE8\xE2\xE5\xF2\r\nresumed\r\n"));

    // A failed settings save and "Нет": the window and its log file stay.
    QDir(app_->Path(".")).mkdir("Cfg.tmp");
    app_->dialogs.answerYes = false;
    QVERIFY(!app_->window->close());
    QCOMPARE(app_->dialogs.questions.size(), 1);
    QVERIFY(HeldOpen(path));
    Show("after no");
    app_->dialogs.answerYes = true;
    QVERIFY(app_->window->close());
    QVERIFY(!HeldOpen(path));
    QVERIFY(FileBytes(path).endsWith("after no\r\n"));
  }

  void aDirectoryInTheWayGivesOneBoxAndTheNextClickTriesAFreshName() {
    QDir(app_->Path(".")).mkdir(kName);
    Form().StartLog->click();
    QCOMPARE(app_->dialogs.messages,
             QStringList{QStringLiteral("Не удалось записать файл «") + kName + "»: это каталог"});
    QCOMPARE(Form().StartLog->text(), QStringLiteral("Start Log"));
    QCOMPARE(Form().StartLog->property("tag").toInt(), 0);
    QCOMPARE(Form().STLog->text(), QStringLiteral("Запись в файл не ведётся"));
    QVERIFY(!app_->window->Log().LogToFile());

    clock_->AdvanceMs(1000);
    Form().StartLog->click();
    Show("retried");
    QCOMPARE(FileBytes(app_->Path("LOG_2026 12 7 2 36 58.txt")), QByteArray("retried\r\n"));
  }

  void aFullDiskPausesWritingAndGivesOneBoxForManyLines() {
    QVERIFY(QFile::link("/dev/full", app_->Path(kName)));
    Form().StartLog->click();
    QCOMPARE(app_->dialogs.messages, QStringList());
    for (const char* line : {"one", "two", "three"}) {
      app_->window->LogOutput().AppendLogLine(line);
      const bool written = app_->window->LogOutput().WriteLogFile(line);
      QCOMPARE(written, line != std::string("one"));
    }
    QCOMPARE(app_->dialogs.messages, QStringList{QStringLiteral("Не удалось записать файл «") +
                                                 kName + "»: нет места на диске"});
    QCOMPARE(Form().StartLog->text(), QStringLiteral("Go Log"));
    QCOMPARE(Form().StartLog->property("tag").toInt(), 0);
    QCOMPARE(Form().STLog->text(),
             QStringLiteral("Запись в файл лога приостановлена (") + kName + ")");
  }

  void clearEmptiesOnlyTheLiveLog() {
    Form().StartLog->click();
    Show("a");
    Show("b");
    Form().StartStop->click();
    Form().BTLog->click();
    QCOMPARE(Form().MainWindow->Entries(), QStringList());
    QCOMPARE(Form().MainWindow->ShownLineCount(), 0);
    QCOMPARE(Form().SecondWindow->Entries(), (QStringList{"a", "b", "", kStop}));
    QCOMPARE(FileBytes(app_->Path(kName)), QByteArray("a\r\nb\r\n"));
    Show("c");
    QCOMPARE(FileBytes(app_->Path(kName)), QByteArray("a\r\nb\r\nc\r\n"));
  }

  void pauseShowsTheCopyAnEmptyLineAndStop_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty log") << QStringList() << "\n" + kStop;
    QTest::newRow("one line") << QStringList{"ok"} << "ok\n\n" + kStop;
    QTest::newRow("CR LF pairs and a final CR")
        << QStringList{"a\r\nb\r", "c"} << "a\nb\nc\n\n" + kStop;
  }
  void pauseShowsTheCopyAnEmptyLineAndStop() {
    QFETCH(QStringList, lines);
    QFETCH(QString, shown);
    for (const QString& line : lines) Show(ToBytes(line));
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's copy"));

    Form().StartStop->click();
    QCOMPARE(Form().StartStop->text(), QStringLiteral(">"));
    QCOMPARE(Form().StartStop->property("tag").toInt(), 1);
    QVERIFY(Form().MainWindow->isHidden());
    QVERIFY(!Form().SecondWindow->isHidden());
    QCOMPARE(Form().SecondWindow->Entries(), (lines + QStringList{"", kStop}));
    QCOMPARE(Form().SecondWindow->toPlainText(), shown);
    QCOMPARE(Form().SecondWindow->geometry(), Form().MainWindow->geometry());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("the user's copy"));

    // Lines go on arriving in the hidden live log, not in the copy.
    Show("meanwhile");
    QCOMPARE(Form().SecondWindow->Entries(), (lines + QStringList{"", kStop}));
    Form().StartStop->click();
    QCOMPARE(Form().StartStop->text(), QStringLiteral("||"));
    QVERIFY(!Form().MainWindow->isHidden());
    QVERIFY(Form().SecondWindow->isHidden());
    QCOMPARE(Form().SecondWindow->Entries(), QStringList());
    QCOMPARE(Form().MainWindow->Entries(), (lines + QStringList{"meanwhile"}));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("the user's copy"));
  }

  void theLineLimitActsOnTheHiddenLog() {
    app_->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(app_->window.get()));
    Show("frozen");
    Form().StartStop->click();
    for (int i = 0; i < 4999; ++i) app_->window->LogOutput().AppendLogLine("x");
    app_->window->CustomFunctionsTimer();
    QCOMPARE(Form().MainWindow->ShownLineCount(), 5000);
    QCOMPARE(Form().MainWindow->Entries().size(), 5000);
    app_->window->LogOutput().AppendLogLine("x");
    app_->window->CustomFunctionsTimer();
    QCOMPARE(Form().MainWindow->Entries(), QStringList());
    QCOMPARE(Form().SecondWindow->Entries(), (QStringList{"frozen", "", kStop}));
  }

  void colorsWalksSixStepsOverSixControls() {
    QList<QWidget*> untouched;
    untouched << Form().SecondWindow << Form().FiltrLog << Form().CBLists;
    QList<QColor> untouchedBefore;
    for (QWidget* w : untouched) untouchedBefore << Background(w);
    const int steps[] = {1, 2, 3, 4, 5, 0, 1};
    for (int step : steps) {
      Form().BTPalitra->click();
      QCOMPARE(app_->window->LogControls().ColorStep(), step);
      QCOMPARE(Form().BTPalitra->property("tag").toInt(), step);
      const LogColors colors = ColorCycle::kColors[static_cast<std::size_t>(step)];
      for (QWidget* w : CycledControls()) {
        for (QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
          QCOMPARE(w->palette().color(group, QPalette::Base), ToQColor(colors.background));
          QCOMPARE(w->palette().color(group, QPalette::Text), ToQColor(colors.text));
        }
      }
      for (int i = 0; i < untouched.size(); ++i) {
        QCOMPARE(Background(untouched[i]), untouchedBefore[i]);
      }
    }
    QCOMPARE(Background(Form().MainWindow), QColor(0xF4, 0xF7, 0xFC));
  }

  void fourColourClicksAreStoredInCfg() {
    for (int i = 0; i < 4; ++i) Form().BTPalitra->click();
    QVERIFY(app_->window->close());
    QFile file(app_->Path("Cfg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    CfgRecord cfg;
    QVERIFY(cfg.Assign(BytesView(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
    QCOMPARE(cfg.Color(), kBlack);
    QCOMPARE(cfg.FontColor(), kLime);
  }

  void fontSizeStopsAtTwoAndAHundredAndWakesTheTick() {
    while (app_->window->CustomFunctions().isActive()) app_->window->CustomFunctionsTimer();
    Form().Srift->DownButton()->click();
    QVERIFY(app_->window->CustomFunctions().isActive());
    for (int i = 0; i < 10; ++i) Form().Srift->DownButton()->click();
    QCOMPARE(Form().SriftText->text(), QStringLiteral("2"));
    QCOMPARE(Form().MainWindow->font().pixelSize(), PointsToPixels(2));
    QCOMPARE(Form().SecondWindow->font().pixelSize(), PointsToPixels(2));
    for (int i = 0; i < 120; ++i) Form().Srift->UpButton()->click();
    QCOMPARE(Form().SriftText->text(), QStringLiteral("100"));
    QCOMPARE(Form().MainWindow->font().pixelSize(), PointsToPixels(100));
    QCOMPARE(Form().SecondWindow->font().pixelSize(), PointsToPixels(100));
    QCOMPARE(app_->window->Look().fontSize, 100);
  }

  void aBiggerFontReCountsTheLinesAndTheLimitActsAtOnce() {
    app_->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(app_->window.get()));
    const QString wide(60, QChar(u'w'));
    for (int i = 0; i < 4000; ++i) app_->window->LogOutput().AppendLogLine(ToBytes(wide));
    app_->window->CustomFunctionsTimer();
    QVERIFY(Form().MainWindow->ShownLineCount() <= 5000);
    QCOMPARE(Form().MainWindow->Entries().size(), 4000);
    while (app_->window->CustomFunctions().isActive()) app_->window->CustomFunctionsTimer();
    for (int i = 0; i < 30; ++i) Form().Srift->UpButton()->click();
    QVERIFY(app_->window->CustomFunctions().isActive());
    app_->window->CustomFunctionsTimer();
    QCOMPARE(Form().MainWindow->Entries(), QStringList());
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::LogButtonsTest)
#include "log_buttons_test.moc"
