// Connecting, disconnecting and sending through the real window, against the
// simulated device on a pseudo-terminal: the bytes on the wire, the log
// lines, the counters, the captions and colours.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <chrono>

#include "pty_device.h"
#include "ui/colors.h"
#include "ui/main_form.h"
#include "ui/port_bar.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"
#include "window_fixture.h"

namespace velmora::ui {
namespace {

using namespace std::chrono_literals;

const QString kCannotOpen =
    QStringLiteral("Что-то не открывается порт. Программа может работать только с COM1..COM9.");

std::unique_ptr<Clock> ClockAt(int hour, int minute, int second, int ms) {
  auto clock = std::make_unique<ManualClock>();
  clock->Set({2026, 12, 8, 2, hour, minute, second, ms});
  return clock;
}

devsim::DeviceOptions Silent() {
  devsim::DeviceOptions options;
  options.mode = devsim::Mode::Silent;
  return options;
}

}  // namespace

class PortSendWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> app_;
  std::unique_ptr<devsim::PtyDevice> device_;

  MainForm& Form() { return app_->Form(); }

  void Start(std::unique_ptr<Clock> clock = nullptr) {
    device_ = std::make_unique<devsim::PtyDevice>(Silent());
    app_ = std::make_unique<WindowFixture>(std::vector<std::string>{}, std::move(clock));
  }

  void Connect() {
    Form().ComPort->setEditText(QString::fromStdString(device_->PortName()));
    Form().BTConnect->click();
    QCOMPARE(Form().BTConnect->text(), QStringLiteral("Disconnect"));
  }

  void TypeAndEnter(const QString& text) {
    Form().MainStrCmd->clear();
    QTest::keyClicks(Form().MainStrCmd, text);
    QTest::keyClick(Form().MainStrCmd, Qt::Key_Return);
  }

  std::string Wire(std::size_t size) {
    [&] { QVERIFY(device_->WaitForReceived(size, 3s)); }();
    return device_->Received();
  }

 private slots:
  void cleanup() {
    app_.reset();
    device_.reset();
  }

  void connectAndDisconnectSwitchCaptionControlsAndColour() {
    Start();
    QCOMPARE(Form().BTConnect->text(), QStringLiteral("Connect"));
    Connect();
    QVERIFY(app_->window->Term().Link().PortOpen());
    for (QWidget* w :
         {static_cast<QWidget*>(Form().ComPort), static_cast<QWidget*>(Form().BaudRate),
          static_cast<QWidget*>(Form().BTRescan), static_cast<QWidget*>(Form().ComBits),
          static_cast<QWidget*>(Form().ComStopBits)}) {
      QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    }
    QCOMPARE(Background(Form().ComPort), QColor(0, 255, 0));
    QVERIFY(Form().BTConnect->isEnabled());

    Form().BTConnect->click();
    QCOMPARE(Form().BTConnect->text(), QStringLiteral("Connect"));
    QVERIFY(!app_->window->Term().Link().PortOpen());
    QVERIFY(Form().ComPort->isEnabled() && Form().BaudRate->isEnabled() &&
            Form().BTRescan->isEnabled() && Form().ComBits->isEnabled() &&
            Form().ComStopBits->isEnabled());
    QCOMPARE(Background(Form().ComPort), QColor(255, 255, 255));
    QVERIFY(app_->dialogs.messages.isEmpty());
  }

  void refusedConnectsSayWhyAndLeaveConnectUsable_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("empty name") << QString() << "1200" << QStringList{"Выбери порт!"};
    QTest::newRow("missing name") << "/dev/velmora-no-such-port"
                                  << "1200" << QStringList{kCannotOpen};
    QTest::newRow("typed baud rate") << "DEVICE"
                                     << "12345" << QStringList{"Выберите значение из списка"};
  }
  void refusedConnectsSayWhyAndLeaveConnectUsable() {
    QFETCH(QString, port);
    QFETCH(QString, baud);
    QFETCH(QStringList, messages);
    Start();
    if (port == "DEVICE") port = QString::fromStdString(device_->PortName());
    Form().ComPort->setEditText(port);
    Form().BaudRate->setEditText(baud);
    Form().BTConnect->click();
    QCOMPARE(app_->dialogs.messages, messages);
    QCOMPARE(Form().BTConnect->text(), QStringLiteral("Connect"));
    QVERIFY(Form().BTConnect->isEnabled());
    QVERIFY(Form().ComPort->isEnabled());
    QVERIFY(!app_->window->Term().Link().PortOpen());
  }

  void typedTextThatIsNoItemNeverBecomesOne() {
    Start();
    QTest::keyClicks(Form().BaudRate->lineEdit(), "777");
    QTest::keyClick(Form().BaudRate->lineEdit(), Qt::Key_Return);
    QCOMPARE(Form().BaudRate->count(), 8);
    QVERIFY(!ShownItem(Form().BaudRate).has_value());
  }

  void rescanListsThePortsOrFallsBackWithItsTwoMessages() {
    Start();
    Form().BTRescan->click();
    QCOMPARE(app_->dialogs.messages,
             (QStringList{":-(",
                          "Запустите программу от имени администратора или выберите "
                          "порт вручную"}));
    QCOMPARE(Form().ComPort->count(), 9);
    QCOMPARE(Form().ComPort->itemText(0), QStringLiteral("COM1"));
    QCOMPARE(Form().ComPort->currentText(), QString());

    app_ =
        std::make_unique<WindowFixture>(std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyACM3"});
    QCOMPARE(Form().ComPort->count(), 2);
    QCOMPARE(Form().ComPort->currentText(), QStringLiteral("/dev/ttyUSB0"));
    Form().BTRescan->click();
    QVERIFY(app_->dialogs.messages.isEmpty());
  }

  void enterSendsTheConsoleLineWithItsTailAndKeepsIt() {
    Start();
    QCOMPARE(Form().StaticText3->text(), QStringLiteral("TX: 0, RX: 0"));
    Connect();
    TypeAndEnter("abc");
    QCOMPARE(Wire(4), std::string("abc\r"));
    QCOMPARE(Form().MainStrCmd->text(), QStringLiteral("abc"));
    QCOMPARE(Form().MainWindow->Entries(), QStringList{"abc\r"});
    QCOMPARE(Form().MainWindow->ShownLineCount(), 1);
    QCOMPARE(LogWindow::ShownLines("abc\r"), QStringList{"abc"});
    QCOMPARE(Form().StaticText3->text(), QStringLiteral("TX: 4 RX: 0"));
    QCOMPARE(Form().LSend->text(), QStringLiteral("Send: 1"));
    QCOMPARE(QString::fromStdString(app_->window->Term().History().Entry(1)),
             QStringLiteral("abc"));

    Form().ButtonSend->click();
    QCOMPARE(Wire(8), std::string("abc\rabc\r"));
    QCOMPARE(Form().LSend->text(), QStringLiteral("Send: 2"));
  }

  void escEmptiesTheConsoleAndSendsNothing() {
    Start();
    Connect();
    QTest::keyClicks(Form().MainStrCmd, "abc");
    QTest::keyClick(Form().MainStrCmd, Qt::Key_Escape);
    QCOMPARE(Form().MainStrCmd->text(), QString());
    QTest::keyClick(Form().MainStrCmd, Qt::Key_Return);  // empty: nothing, not even the tail
    QTest::qWait(50);
    QCOMPARE(device_->Received(), std::string());
    QVERIFY(Form().MainWindow->Entries().isEmpty());
    QCOMPARE(Form().StaticText3->text(), QStringLiteral("TX: 0, RX: 0"));
  }

  void sendingWhileDisconnectedShowsOnlyThePortErrorWindow_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("a command") << "abc";
    QTest::newRow("an empty console") << "";
  }
  void sendingWhileDisconnectedShowsOnlyThePortErrorWindow() {
    QFETCH(QString, command);
    Start();
    Form().MainStrCmd->setText(command);
    Form().ButtonSend->click();
    QCOMPARE(app_->dialogs.portErrors, 1);
    QVERIFY(app_->window->Term().History().Shown().empty());
    QVERIFY(Form().MainWindow->Entries().isEmpty());
    QCOMPARE(Form().StaticText3->text(), QStringLiteral("TX: 0, RX: 0"));
    QCOMPARE(Form().LSend->text(), QStringLiteral("Send: 0"));
  }

  void aSendFromATimerWhileThePortErrorWindowIsOpenIsDropped() {
    Start();
    int nested = 0;
    app_->dialogs.whilePortErrorShown = [&] {
      ++nested;
      app_->window->SendPortData("from a timer");
    };
    Form().MainStrCmd->setText("abc");
    Form().ButtonSend->click();
    QCOMPARE(nested, 1);
    QCOMPARE(app_->dialogs.portErrors, 1);  // the nested send did not open a second one
    // The guard is released when the window closes: the next send is handled.
    app_->dialogs.whilePortErrorShown = nullptr;
    Connect();
    Form().ButtonSend->click();
    QCOMPARE(Wire(4), std::string("abc\r"));
  }

  void theTimeStampPrefixesTheEchoLine() {
    Start(ClockAt(9, 5, 3, 7));
    Connect();
    Form().VisTime->setChecked(true);
    TypeAndEnter("abc");
    QCOMPARE(Form().MainWindow->Entries(), QStringList{" [ 09:05:03:007 > ] abc\r"});
  }

  void hexModeLogsThePacketTextAndSendsThePairs() {
    Start();
    Connect();
    QTest::mouseClick(Form().RBHEX, Qt::LeftButton);
    QCOMPARE(Form().AddStrCmd->text(), QString());
    Form().AddStrCmd->setText("$0D");
    TypeAndEnter("01 02");
    QCOMPARE(Wire(3), std::string("\x01\x02\x0D"));
    QCOMPARE(Form().MainWindow->Entries(), QStringList{"01 02$0D"});
    QCOMPARE(Form().StaticText3->text(), QStringLiteral("TX: 3 RX: 0"));
    QTest::mouseClick(Form().RBASCII, Qt::LeftButton);
    QCOMPARE(Form().AddStrCmd->text(), QStringLiteral("$0D"));
  }

  void theFilterDecidesTheLineButNeverTheBytes() {
    Start(ClockAt(12, 0, 0, 0));
    Connect();
    Form().VisTime->setChecked(true);
    Form().FiltrLog->setText(":");
    TypeAndEnter("abc");
    QCOMPARE(Form().MainWindow->Entries().size(), 1);
    QCOMPARE(Form().LSend->text(), QStringLiteral("Send: 1"));

    Form().FiltrLog->setText("zzz");
    TypeAndEnter("abc");
    QCOMPARE(Wire(8), std::string("abc\rabc\r"));
    QCOMPARE(Form().MainWindow->Entries().size(), 1);
    QCOMPARE(Form().StaticText3->text(), QStringLiteral("TX: 8 RX: 0"));
    QCOMPARE(Form().LSend->text(), QStringLiteral("Send: 1"));
  }

  void checksumTemplatesCoverTheConsoleLine() {
    Start();
    Connect();
    Form().AddStrCmd->setText("*[XOR_8 (0..n)]$0D$0A");
    TypeAndEnter("abc");
    QCOMPARE(Wire(8), std::string("abc*60\r\n"));
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::PortSendWindowTest)
#include "port_send_window_test.moc"
