// The send modes, the command-file panel, the period edit and the port watch
// through the real window; the runs against the simulated device on a
// pseudo-terminal.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <thread>

#include "pty_device.h"
#include "ui/colors.h"
#include "ui/history_lists.h"
#include "ui/main_form.h"
#include "ui/port_bar.h"
#include "ui/send_automation.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/double_click_combo_box.h"
#include "ui/widgets/limited_edit.h"
#include "window_fixture.h"

namespace velmora::ui {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

const QString kAllSent = QStringLiteral("Все команды отправлены");

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

int OpenDescriptorCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

}  // namespace

class SendAutomationWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> app_;
  std::unique_ptr<devsim::PtyDevice> device_;
  QTemporaryDir files_;

  MainForm& Form() { return app_->Form(); }
  SendAutomation& Automation() { return app_->window->Automation(); }

  void Start(devsim::Mode mode = devsim::Mode::Silent, SerialLink::Sleeper sleeper = nullptr) {
    devsim::DeviceOptions options;
    options.mode = mode;
    options.linkPath = files_.filePath(QStringLiteral("port-link")).toStdString();
    device_ = std::make_unique<devsim::PtyDevice>(options);
    app_ = std::make_unique<WindowFixture>(std::vector<std::string>{}, nullptr, std::move(sleeper));
    Form().AddStrCmd->clear();  // no tail: the wire shows the lines alone
  }

  void Connect() {
    Form().ComPort->setEditText(QString::fromStdString(device_->PortName()));
    Form().BTConnect->click();
    QCOMPARE(Form().BTConnect->text(), QStringLiteral("Disconnect"));
  }

  // Loads a command file through the file button.
  QString LoadFile(const QByteArray& bytes, const QString& name = QStringLiteral("cmds.txt")) {
    const QString path = files_.filePath(name);
    WriteFile(path, bytes);
    app_->dialogs.commandFile = path;
    Form().ButtonReadFile->click();
    return path;
  }

  QStringList ListItems() {
    QStringList items;
    for (int i = 0; i < Form().OldCmdList->count(); ++i)
      items << Form().OldCmdList->item(i)->text();
    return items;
  }

 private slots:
  void cleanup() {
    app_.reset();
    device_.reset();
  }

  void modesGiveTheirTableOfEnabledStates_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<bool>("history");
    QTest::addColumn<bool>("oldCmdList");
    QTest::addColumn<bool>("sendStart");
    QTest::addColumn<bool>("ciklSend");
    QTest::addColumn<bool>("timerPeriod");
    QTest::newRow("Ручная") << "RBManual" << false << true << true << false << false;
    QTest::newRow("После ответа") << "RBAfterAns" << false << true << true << true << false;
    QTest::newRow("При выборе") << "RBSel" << false << true << false << false << false;
    QTest::newRow("Период, мс:") << "RBPeriod" << false << true << true << true << true;
    QTest::newRow("Ручная, history") << "RBManual" << true << true << true << false << false;
    QTest::newRow("После ответа, history")
        << "RBAfterAns" << true << false << true << true << false;
    QTest::newRow("При выборе, history") << "RBSel" << true << true << false << false << false;
    QTest::newRow("Период, мс:, history") << "RBPeriod" << true << false << true << true << true;
  }
  void modesGiveTheirTableOfEnabledStates() {
    QFETCH(QString, radio);
    QFETCH(bool, history);
    QFETCH(bool, oldCmdList);
    QFETCH(bool, sendStart);
    QFETCH(bool, ciklSend);
    QFETCH(bool, timerPeriod);
    Start();
    if (history) app_->window->HistoryView().OldCommandsBTClick();
    QCOMPARE(app_->window->HistoryView().HistoryPanelShown(), history);
    // From the opposite states, so that every value is set by the click.
    Form().OldCmdList->setEnabled(!oldCmdList);
    Form().SendStart->setEnabled(!sendStart);
    Form().CiklSend->setEnabled(!ciklSend);
    auto* button = Form().findChild<QRadioButton*>(radio);
    QVERIFY(button != nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(button->isChecked());
    QCOMPARE(Form().OldCmdList->isEnabled(), oldCmdList);
    QCOMPARE(Form().SendStart->isEnabled(), sendStart);
    QCOMPARE(Form().CiklSend->isEnabled(), ciklSend);
    QCOMPARE(Automation().Sequencer().TimerPeriodEnabled(), timerPeriod);
  }

  void otherModesDoNotStopTheTimerAndItParksAfterOneTick() {
    Start();
    QTest::mouseClick(Form().RBPeriod, Qt::LeftButton);
    QTest::mouseClick(Form().RBManual, Qt::LeftButton);
    QVERIFY(Automation().Sequencer().TimerPeriodEnabled());
    QTRY_VERIFY(Automation().Sequencer().PeriodTicked());
    // Outside "Период, мс:" nothing is due after the first tick.
    QVERIFY(!Automation().TimerPeriod().isActive());
  }

  void fileModeIsEnteredAndLeftControlByControl() {
    Start();
    QTest::mouseClick(Form().RBAfterAns, Qt::LeftButton);
    const QString hint = Form().STListName->toolTip();
    const QString listName = Form().STListName->text();
    // A Cyrillic folder; the lines in 1251.
    QVERIFY(QDir(files_.path()).mkpath(QStringLiteral("Команды")));
    const QString path = LoadFile(QByteArray("first\r\n\xcf\xf0\xe8\xe2\xe5\xf2\nlast"),
                                  QStringLiteral("Команды/файл.txt"));
    QCOMPARE(Form().ButtonReadFile->text(), QStringLiteral("Назад"));
    QCOMPARE(Form().ButtonReadFile->property("tag").toInt(), 1);
    QVERIFY(Automation().FilePanelShown());
    QVERIFY(!app_->window->HistoryView().HistoryPanelShown());
    QCOMPARE(Form().STListName->text(), path);
    QVERIFY(Form().STListName->toolTip().isEmpty());
    QCOMPARE(Form().STListName->width(), Form().STListName->x() + Form().ButtonReadFile->x() - 20);
    for (QWidget* hidden :
         {static_cast<QWidget*>(Form().CBLists), static_cast<QWidget*>(Form().EditAllCmd),
          static_cast<QWidget*>(Form().RBName), static_cast<QWidget*>(Form().RbData),
          static_cast<QWidget*>(Form().OldCommandsBT)}) {
      QVERIFY2(hidden->isHidden(), qPrintable(hidden->objectName()));
    }
    for (QWidget* shown :
         {static_cast<QWidget*>(Form().STListName), static_cast<QWidget*>(Form().OldCmdList),
          static_cast<QWidget*>(Form().SendStart), static_cast<QWidget*>(Form().CiklSend)}) {
      QVERIFY2(!shown->isHidden(), qPrintable(shown->objectName()));
    }
    QVERIFY(Form().OldCmdList->isEnabled());
    QVERIFY(Form().CiklSend->isEnabled());
    QCOMPARE(ListItems(), (QStringList{"first", QStringLiteral("Привет"), "last"}));
    QVERIFY(app_->dialogs.messages.isEmpty());

    Form().CiklSend->setChecked(true);
    Form().ButtonReadFile->click();
    QCOMPARE(Form().ButtonReadFile->text(), QStringLiteral("Из файла"));
    QCOMPARE(Form().ButtonReadFile->property("tag").toInt(), 0);
    QVERIFY(!Automation().FilePanelShown());
    QVERIFY(app_->window->HistoryView().HistoryPanelShown());
    QCOMPARE(Form().STListName->text(), listName);
    QCOMPARE(Form().STListName->toolTip(), hint);
    QCOMPARE(Form().OldCmdList->count(), 0);
    for (QWidget* hidden :
         {static_cast<QWidget*>(Form().CiklSend), static_cast<QWidget*>(Form().OldCmdList),
          static_cast<QWidget*>(Form().STListName), static_cast<QWidget*>(Form().SendStart)}) {
      QVERIFY2(hidden->isHidden(), qPrintable(hidden->objectName()));
    }
    for (QWidget* shown :
         {static_cast<QWidget*>(Form().EditAllCmd), static_cast<QWidget*>(Form().CBLists),
          static_cast<QWidget*>(Form().RBName), static_cast<QWidget*>(Form().RbData)}) {
      QVERIFY2(!shown->isHidden(), qPrintable(shown->objectName()));
    }
    QVERIFY(Form().CiklSend->isChecked());
  }

  void cancelledFileChoiceChangesNothing() {
    Start();
    app_->dialogs.commandFile.clear();
    Form().ButtonReadFile->click();
    QCOMPARE(Form().ButtonReadFile->text(), QStringLiteral("Из файла"));
    QVERIFY(!Automation().FilePanelShown());
    QVERIFY(Form().SendStart->isHidden());
  }

  void failedOpenIsReportedAndLeavesAnEmptyFileMode() {
    Start();
    // The history fills the list first: it must not pass for file lines.
    app_->window->HistoryView().OldCommandsBTClick();
    Form().OldCmdList->addItem(QStringLiteral("history"));
    app_->window->HistoryView().OldCommandsBTClick();
    app_->dialogs.commandFile = files_.filePath(QStringLiteral("missing.txt"));
    Form().ButtonReadFile->click();
    QCOMPARE(app_->dialogs.messages,
             QStringList{QStringLiteral("Не удалось прочитать файл «%1»: файл не найден")
                             .arg(app_->dialogs.commandFile)});
    QVERIFY(Automation().FilePanelShown());
    QCOMPARE(Form().OldCmdList->count(), 0);
    app_->dialogs.messages.clear();
    Form().SendStart->click();
    QCOMPARE(app_->dialogs.messages, QStringList{kAllSent});
  }

  void bigFileIsSaidAtFiveHundredLines_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("loaded");
    QTest::addColumn<bool>("big");
    QTest::newRow("499") << 499 << 499 << false;
    QTest::newRow("500") << 500 << 500 << true;
    QTest::newRow("501") << 501 << 500 << true;
  }
  void bigFileIsSaidAtFiveHundredLines() {
    QFETCH(int, lines);
    QFETCH(int, loaded);
    QFETCH(bool, big);
    Start();
    QByteArray bytes;
    for (int i = 0; i < lines; ++i) bytes += "L" + QByteArray::number(i) + "\n";
    LoadFile(bytes);
    QCOMPARE(Form().OldCmdList->count(), loaded);
    QCOMPARE(app_->dialogs.messages,
             big ? QStringList{QStringLiteral("Большой файл")} : QStringList{});
  }

  void periodTakesOnlyDigitsWhateverBringsTheText() {
    Start();
    LimitedEdit* edit = Form().PeriodTX;
    edit->clear();
    QTest::keyClicks(edit, "1a+2 -,.3");
    QCOMPARE(edit->text(), QStringLiteral("123"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("12"));
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    QCOMPARE(edit->text(), QStringLiteral("2"));
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, "5");
    QCOMPARE(edit->text(), QStringLiteral("25"));
    for (const QString& pasted :
         {QStringLiteral("+5"), QStringLiteral("1 000"), QStringLiteral("1,000"),
          QStringLiteral("7x"), QStringLiteral("٣")}) {
      QApplication::clipboard()->setText(pasted);
      edit->paste();
      QCOMPARE(edit->text(), QStringLiteral("25"));
      edit->insert(pasted);
      QCOMPARE(edit->text(), QStringLiteral("25"));
    }
    QApplication::clipboard()->setText(QStringLiteral("7"));
    edit->paste();
    QCOMPARE(edit->text(), QStringLiteral("257"));
    // A stored value is shown whole, longer than the user may type.
    edit->setText(QStringLiteral("1234567"));
    QCOMPARE(edit->text(), QStringLiteral("1234567"));
  }

  void afterAnswerWalksTheFileAgainstAnEchoingDevice() {
    Start(devsim::Mode::Echo);
    app_->window->Term().ReceivePath().SetTimeRx(5);
    QTest::mouseClick(Form().RBAfterAns, Qt::LeftButton);
    LoadFile("A1\nB2\nC3\n");
    Connect();
    Form().SendStart->click();
    QTRY_COMPARE_WITH_TIMEOUT(app_->dialogs.messages, QStringList{kAllSent}, 5000);
    QCOMPARE(QByteArray::fromStdString(device_->Received()), QByteArray("A1B2C3"));
    QCOMPARE(Automation().Sequencer().FileCmdIndex(), 0u);
    // The run pauses: nothing more is sent on its own.
    QTest::qWait(200);
    QCOMPARE(device_->Received().size(), 6u);
  }

  void periodicRunSendsTheFileOnceWithoutCiklSend() {
    Start(devsim::Mode::Silent);
    QTest::mouseClick(Form().RBPeriod, Qt::LeftButton);
    Form().PeriodTX->setText(QStringLiteral("100"));
    LoadFile("P1\nP2\nP3\n");
    Connect();
    Form().SendStart->click();
    QTRY_COMPARE_WITH_TIMEOUT(app_->dialogs.messages, QStringList{kAllSent}, 5000);
    QCOMPARE(QByteArray::fromStdString(device_->Received()), QByteArray("P1P2P3"));
    QVERIFY(!Automation().Sequencer().TimerPeriodEnabled());
    QVERIFY(!Automation().TimerPeriod().isActive());
    // Checking CiklSend starts the file again through the housekeeping step.
    Form().CiklSend->setChecked(true);
    QTRY_VERIFY_WITH_TIMEOUT(device_->Received().size() >= 8, 3000);
    QCOMPARE(QByteArray::fromStdString(device_->Received()).left(8), QByteArray("P1P2P3P1"));
  }

  void watchReopensAfterAReplugAndSendsTwoSecondsLater() {
    Start(devsim::Mode::Silent,
          [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); });
    const int descriptorsAtStart = OpenDescriptorCount();
    Form().MainStrCmd->setText(QStringLiteral("HELLO"));
    Connect();
    SerialLink& link = app_->window->Term().Link();

    // Unplugged without AutoConnect: the descriptor goes at once, red next.
    device_->Unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!link.Port().IsValid(), 1000);
    QTRY_VERIFY_WITH_TIMEOUT(!link.PortOpen(), 2500);
    QCOMPARE(Background(Form().ComPort), QColor(255, 0, 0));
    // Shown on the disabled box too.
    QCOMPARE(Form().ComPort->palette().color(QPalette::Disabled, QPalette::Base),
             QColor(255, 0, 0));
    QCOMPARE(Form().ComPort->palette().color(QPalette::Disabled, QPalette::Button),
             QColor(255, 0, 0));
    QCOMPARE(Form().BTConnect->text(), QStringLiteral("Disconnect"));
    QVERIFY(!Form().ComPort->isEnabled());
    device_->PlugBack();
    QTest::qWait(1500);
    QVERIFY(!link.PortOpen());
    QCOMPARE(Background(Form().ComPort), QColor(255, 0, 0));
    QVERIFY(app_->dialogs.messages.isEmpty());

    // With AutoConnect: re-opened, lime, and the send 2 s after the open.
    SteadyClock::time_point opened{};
    SteadyClock::time_point sent{};
    connect(&app_->window->Ports(), &PortBar::PortStateChanged, this, [&] {
      if (link.PortOpen()) opened = SteadyClock::now();
    });
    connect(&app_->window->Ports(), &PortBar::SendAfterReopen, this,
            [&] { sent = SteadyClock::now(); });
    Form().SendAsReconn->setChecked(true);
    Form().AutoConnect->setChecked(true);
    QTRY_VERIFY_WITH_TIMEOUT(sent != SteadyClock::time_point{}, 5000);
    QVERIFY(link.PortOpen());
    QCOMPARE(Background(Form().ComPort), QColor(0, 255, 0));
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(sent - opened);
    QVERIFY2(wait >= 2000ms && wait <= 2200ms, qPrintable(QString::number(wait.count())));
    QVERIFY(device_->WaitForReceived(5, 2s));
    QCOMPARE(QByteArray::fromStdString(device_->Received()), QByteArray("HELLO"));

    // Unplugged with AutoConnect: yellow while away, lime once back.
    Form().SendAsReconn->setChecked(false);
    device_->Unplug();
    QTRY_COMPARE_WITH_TIMEOUT(Background(Form().ComPort), QColor(255, 255, 0), 3000);
    QCOMPARE(Form().BTConnect->text(), QStringLiteral("Disconnect"));
    device_->PlugBack();
    QTRY_VERIFY_WITH_TIMEOUT(link.PortOpen(), 3000);
    QCOMPARE(Background(Form().ComPort), QColor(0, 255, 0));

    // Disconnected by the user: nothing opens, the window colour.
    Form().BTConnect->click();
    QTest::qWait(1200);
    QVERIFY(!link.PortOpen());
    QCOMPARE(Background(Form().ComPort), QColor(255, 255, 255));
    QCOMPARE(OpenDescriptorCount(), descriptorsAtStart);
    QVERIFY(app_->dialogs.messages.isEmpty());
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::SendAutomationWindowTest)
#include "send_automation_window_test.moc"
