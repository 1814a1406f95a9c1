// Receiving through the real window against the simulated device: packets
// become log lines with their statistics, the time-out arrows, the filter's
// colours, the 5000-line limit and a device that vanishes.

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <chrono>
#include <thread>

#include "pty_device.h"
#include "ui/colors.h"
#include "ui/main_form.h"
#include "ui/receive_view.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"
#include "ui/widgets/up_down_arrows.h"
#include "window_fixture.h"

namespace velmora::ui {

class ReceiveWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> app_;
  std::unique_ptr<devsim::PtyDevice> device_;
  ManualClock* clock_ = nullptr;

  MainForm& Form() { return app_->Form(); }

  // A Tuesday, so that packet times are above 0 and gaps are measured.
  void Start(bool manualClock = true, const std::string& linkPath = {}) {
    devsim::DeviceOptions options;
    options.mode = devsim::Mode::Silent;
    options.linkPath = linkPath;
    device_ = std::make_unique<devsim::PtyDevice>(options);
    std::unique_ptr<Clock> clock;
    if (manualClock) {
      auto manual = std::make_unique<ManualClock>();
      manual->Set({2026, 12, 8, 2, 10, 0, 0, 0});
      clock_ = manual.get();
      clock = std::move(manual);
    }
    app_ = std::make_unique<WindowFixture>(std::vector<std::string>{}, std::move(clock));
    Form().ComPort->setEditText(QString::fromStdString(device_->PortName()));
    Form().BTConnect->click();
  }

  // The device sends a packet; the test polls until the window holds all of
  // it, then lets the manual clock pass the time-out and polls once more.
  void Receive(const std::string& bytes, int afterMs) {
    ReceiveView& view = app_->window->Receive();
    const std::uint32_t before = app_->window->Term().ReceivePath().ReceiveLength();
    device_->Send(bytes);
    QElapsedTimer waited;
    waited.start();
    while (app_->window->Term().ReceivePath().ReceiveLength() < before + bytes.size() &&
           waited.elapsed() < 3000) {
      view.RxTimerTimer();
    }
    QCOMPARE(app_->window->Term().ReceivePath().ReceiveLength(), before + bytes.size());
    clock_->AdvanceMs(afterMs);
    view.RxTimerTimer();
  }

  // The device hangs up while connected; the window stops polling the dead
  // port and waits for the user.
  void VanishWhileConnected() {
    device_->Send("before\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(Form().MainWindow->Entries(), QStringList{"before\r"}, 3000);
    device_->Unplug();
    QTRY_VERIFY_WITH_TIMEOUT(
        !app_->window->Receive().RxTimer().IsActive() && !app_->window->Receive().NotifierEnabled(),
        3000);
  }

 private slots:
  void cleanup() {
    app_.reset();
    device_.reset();
    clock_ = nullptr;
  }

  void aPacketBecomesALineWithItsStatistics() {
    Start();
    QCOMPARE(Form().MinTimeWait->text(), QStringLiteral("MIN_T_W:  NA"));
    QCOMPARE(Form().MaxTimeWait->text(), QStringLiteral("MAX_T_W: NA"));
    Receive("OK\r\n", 1);
    QCOMPARE(Form().MainWindow->Entries(), QStringList{"OK\r"});
    QCOMPARE(Form().LRead->text(), QStringLiteral("Read: 1"));
    QCOMPARE(Form().StaticText3->text(), QStringLiteral("TX: 0 RX: 4"));
    QCOMPARE(Form().MinTimeWait->text(), QStringLiteral("MIN_T_W:  NA"));
    QCOMPARE(Form().MaxTimeWait->text(), QStringLiteral("MAX_T_W: NA"));

    Receive("A\nB\r\n", 12);
    QCOMPARE(Form().MainWindow->Entries(), (QStringList{"OK\r", "AB\r"}));
    QCOMPARE(Form().MinTimeWait->text(), QStringLiteral("MIN_T_W:  12"));
    QCOMPARE(Form().MaxTimeWait->text(), QStringLiteral("MAX_T_W: 12"));
    QCOMPARE(Form().MainWindow->ShownLineCount(), 2);

    Form().BTClrStat->click();
    QCOMPARE(Form().LRead->text(), QStringLiteral("Read: 0"));
    QCOMPARE(Form().LSend->text(), QStringLiteral("Send: 0"));
    QCOMPARE(Form().MinTimeWait->text(), QStringLiteral("MIN_T_W:  NA"));
    QCOMPARE(Form().MaxTimeWait->text(), QStringLiteral("MAX_T_W: NA"));
    QCOMPARE(Form().StaticText3->text(), QStringLiteral("TX: 0 RX: 9"));
    // The packet times survive the reset: the next gap is measured at once.
    Receive("x\r", 30);
    QCOMPARE(Form().MinTimeWait->text(), QStringLiteral("MIN_T_W:  30"));
  }

  void hexModeAndTheTimeStampShapeTheLine() {
    Start();
    QTest::mouseClick(Form().RBHEX, Qt::LeftButton);
    Form().VisTime->setChecked(true);
    Receive("OK\r\n", 1);
    QCOMPARE(Form().MainWindow->Entries(), QStringList{" [ 10:00:00:001 < ] 4F 4B 0D 0A"});
  }

  void lfOnlyAndFilteredPacketsLeaveNoLine() {
    Start();
    Receive("\n\n", 1);
    Form().FiltrLog->setText("zzz");
    Receive("OK\r\n", 1);
    QVERIFY(Form().MainWindow->Entries().isEmpty());
    QCOMPARE(Form().LRead->text(), QStringLiteral("Read: 0"));
    QCOMPARE(Form().StaticText3->text(), QStringLiteral("TX: 0 RX: 6"));
  }

  void theTimeOutArrowsStepAndColourTheirLabel() {
    Start();
    QCOMPARE(Form().TimeOutAns->text(), QStringLiteral("TimeRX: 0"));
    Form().TimeOutRx->UpButton()->click();
    QCOMPARE(Form().TimeOutAns->text(), QStringLiteral("TimeRX: 1"));
    QCOMPARE(Background(Form().TimeOutAns), QColor(255, 255, 0));
    QCOMPARE(app_->window->Term().ReceivePath().TimeRx(), 1);
    Form().TimeOutRx->DownButton()->click();
    Form().TimeOutRx->DownButton()->click();  // 0 stays 0
    QCOMPARE(Form().TimeOutAns->text(), QStringLiteral("TimeRX: 0"));
    QCOMPARE(Background(Form().TimeOutAns), ToQColor(kSysButtonFace));
  }

  void theFilterEditTurnsYellowOnClickAndKeepsItOnlyWithText() {
    Start();
    app_->window->show();
    QVERIFY(QTest::qWaitForWindowActive(app_->window.get()));
    QTest::mouseClick(Form().FiltrLog, Qt::LeftButton);
    QCOMPARE(Background(Form().FiltrLog), QColor(255, 255, 0));
    Form().FiltrLog->setFocus();
    Form().MainStrCmd->setFocus();
    QCOMPARE(Background(Form().FiltrLog), ToQColor(kSysButtonFace));
    Form().FiltrLog->setFocus();
    Form().FiltrLog->setText("OK");
    Form().MainStrCmd->setFocus();
    QCOMPARE(Background(Form().FiltrLog), QColor(255, 255, 0));
  }

  void theLogIsEmptiedByTheTickAfterItsLine5001() {
    Start();
    LogWindow* log = Form().MainWindow;
    for (int i = 0; i < 5000; ++i) log->AppendEntry(QStringLiteral("line"));
    QTRY_VERIFY(!app_->window->CustomFunctions().isActive());  // the tick ran and rests
    QCOMPARE(log->Entries().size(), 5000);
    log->AppendEntry(QStringLiteral("line 5001"));
    QVERIFY(app_->window->CustomFunctions().isActive());
    QTRY_VERIFY_WITH_TIMEOUT(log->Entries().isEmpty(), 200);
    QCOMPARE(log->ShownLineCount(), 0);
    QTRY_VERIFY(!app_->window->CustomFunctions().isActive());
  }

  // Bytes a poll had no room for are read by the next poll of the same tick;
  // every packet still ends beyond 1500 bytes, as one tick per poll would.
  void aBusyLinesPollsFollowEachOtherInOneTick() {
    Start();
    // The pty's read buffer holds 4095 bytes: 4000 is two packets' worth.
    std::string bytes;
    for (int i = 0; i < 4000; ++i) bytes.push_back(static_cast<char>('a' + i % 26));
    device_->Send(bytes);
    // Waited for without the event loop, whose notification would poll.
    SerialPort& port = app_->window->Term().Link().Port();
    std::uint32_t waiting = 0;
    QElapsedTimer waited;
    waited.start();
    while ((port.BytesWaiting(waiting) != SerialError::None || waiting < 4000) &&
           waited.elapsed() < 3000) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    QCOMPARE(waiting, 4000u);
    app_->window->Receive().RxTimerTimer();
    // 2048 + 1952 bytes, each beyond 1500: two lines, as two ticks would
    // make. An ASCII line drops its packet's last byte.
    const QStringList entries = Form().MainWindow->Entries();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0], QString::fromStdString(bytes.substr(0, 2047)));
    QCOMPARE(entries[1], QString::fromStdString(bytes.substr(2048, 1951)));
    QCOMPARE(Form().StaticText3->text(), QStringLiteral("TX: 0 RX: 4000"));
    QCOMPARE(app_->window->Term().ReceivePath().ReceiveLength(), 0u);
  }

  void theEventLoopReceivesThroughTheReadinessNotification() {
    Start(false);
    QVERIFY(app_->window->Receive().NotifierEnabled());
    QVERIFY(!app_->window->Receive().RxTimer().IsActive());  // idle: no polling
    device_->Send("hello\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(Form().MainWindow->Entries(), QStringList{"hello\r"}, 3000);
    QTRY_VERIFY(!app_->window->Receive().RxTimer().IsActive());
  }

  void aPendingPacketWakesThePollOnlyWhenItsQuietTimeIsDue() {
    Start(false);
    // TimeRX 50: ten steps of 1, then eight of 5.
    for (int i = 0; i < 18; ++i) Form().TimeOutRx->UpButton()->click();
    QCOMPARE(app_->window->Term().ReceivePath().TimeRx(), 50);
    QSignalSpy ticks(&app_->window->Receive().RxTimer(), &PollTimer::timeout);
    device_->Send("hello\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(Form().MainWindow->Entries(), QStringList{"hello\r"}, 3000);
    // A millisecond poll would have ticked about 50 times.
    QVERIFY2(ticks.count() <= 3, qPrintable(QString::number(ticks.count())));
    QTRY_VERIFY(!app_->window->Receive().RxTimer().IsActive());
  }

  void linesBelowTheLimitLeaveTheHousekeepingAsleep() {
    Start();
    QTRY_VERIFY(!app_->window->CustomFunctions().isActive());
    Receive("OK\r\n", 1);
    QCOMPARE(Form().MainWindow->Entries(), QStringList{"OK\r"});
    QVERIFY(!app_->window->CustomFunctions().isActive());
  }

  void aVanishedDeviceStopsThePollingWithoutACrash() {
    Start(false);
    device_->Send("par");
    QTRY_VERIFY_WITH_TIMEOUT(app_->window->Term().ReceivePath().ReceiveLength() == 3 ||
                                 !Form().MainWindow->Entries().isEmpty(),
                             3000);
    device_->Unplug();
    QTest::qWait(100);
    QTRY_VERIFY(!app_->window->Receive().RxTimer().IsActive());
    QVERIFY(!app_->window->Receive().NotifierEnabled());
    // Sending to the dead port neither crashes nor hangs. The send goes
    // through while the port watch has not yet probed the port (it runs on
    // the clock's next second), and is refused once it has.
    const bool watchProbed = !app_->window->Term().Link().PortOpen();
    app_->window->SendPortData("abc");
    QCOMPARE(Form().StaticText3->text().left(6),
             watchProbed ? QStringLiteral("TX: 0 ") : QStringLiteral("TX: 4 "));
  }

  void receivingResumesWhenTheVanishedPortIsConnectedAgain() {
    QTemporaryDir dir;
    Start(false, dir.filePath("ttyLINK").toStdString());
    VanishWhileConnected();
    device_->PlugBack();
    Form().BTConnect->click();  // "Disconnect"
    QCOMPARE(Form().BTConnect->text(), QStringLiteral("Connect"));
    for (int cycle = 0; cycle < 2; ++cycle) {
      if (cycle > 0) Form().BTConnect->click();
      Form().BTConnect->click();  // "Connect"
      QCOMPARE(Form().BTConnect->text(), QStringLiteral("Disconnect"));
      const std::string line = "again" + std::to_string(cycle) + "\r\n";
      device_->Send(line);
      QTRY_VERIFY_WITH_TIMEOUT(Form().MainWindow->Entries().contains(
                                   QString::fromStdString(line.substr(0, line.size() - 1))),
                               3000);
    }
    QCOMPARE(Form().MainWindow->Entries(), (QStringList{"before\r", "again0\r", "again1\r"}));
  }

  void receivingWorksOnAnotherPortConnectedAfterTheVanishedOne() {
    Start(false);
    VanishWhileConnected();
    devsim::DeviceOptions options;
    options.mode = devsim::Mode::Silent;
    devsim::PtyDevice other(options);
    Form().BTConnect->click();  // "Disconnect"
    Form().ComPort->setEditText(QString::fromStdString(other.PortName()));
    Form().BTConnect->click();  // "Connect"
    QCOMPARE(Form().BTConnect->text(), QStringLiteral("Disconnect"));
    QVERIFY(app_->window->Receive().NotifierEnabled() ||
            app_->window->Receive().RxTimer().IsActive());
    other.Send("other\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(Form().MainWindow->Entries(), (QStringList{"before\r", "other\r"}),
                              3000);
    Form().BTConnect->click();  // closes the port before `other` goes
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::ReceiveWindowTest)
#include "receive_window_test.moc"
