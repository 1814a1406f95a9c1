// The log file on a full disk while the simulated device sends packets and
// the user sends: one box, writing off, the failing send kept off the wire.

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <chrono>

#include "pty_device.h"
#include "ui/main_form.h"
#include "ui/receive_view.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"
#include "window_fixture.h"

using namespace std::chrono_literals;

namespace velmora::ui {

class LogFileWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> app_;
  std::unique_ptr<devsim::PtyDevice> device_;
  ManualClock* clock_ = nullptr;

  MainForm& Form() { return app_->Form(); }

  // The device sends a packet; polls until the window holds it, then lets
  // the manual clock pass the time-out so that the line is shown.
  void Receive(const std::string& bytes) {
    ReceiveView& view = app_->window->Receive();
    const std::uint32_t before = app_->window->Term().ReceivePath().ReceiveLength();
    device_->Send(bytes);
    QElapsedTimer waited;
    waited.start();
    while (app_->window->Term().ReceivePath().ReceiveLength() < before + bytes.size() &&
           waited.elapsed() < 3000) {
      view.RxTimerTimer();
    }
    clock_->AdvanceMs(100);
    view.RxTimerTimer();
  }

  void Send(const QString& text) {
    Form().MainStrCmd->setText(text);
    Form().ButtonSend->click();
  }

 private slots:
  void init() {
    devsim::DeviceOptions options;
    options.mode = devsim::Mode::Silent;
    device_ = std::make_unique<devsim::PtyDevice>(options);
    auto clock = std::make_unique<ManualClock>();
    clock->Set({2026, 12, 7, 1, 2, 36, 57, 0});
    clock_ = clock.get();
    app_ = std::make_unique<WindowFixture>(std::vector<std::string>{}, std::move(clock));
    Form().ComPort->setEditText(QString::fromStdString(device_->PortName()));
    Form().BTConnect->click();
    QCOMPARE(Form().BTConnect->text(), QStringLiteral("Disconnect"));
  }
  void cleanup() {
    app_.reset();
    device_.reset();
  }

  void aFullDiskGivesExactlyOneBoxAndNeverBlocksSending() {
    const QString name = QStringLiteral("LOG_2026 12 7 2 36 57.txt");
    const QString box =
        QStringLiteral("Не удалось записать файл «") + name + "»: нет места на диске";
    QVERIFY(QFile::link("/dev/full", app_->Path(name)));
    Form().StartLog->click();
    QCOMPARE(app_->dialogs.messages, QStringList());

    Receive("ab\r\n");
    QCOMPARE(app_->dialogs.messages, QStringList{box});
    QCOMPARE(Form().StartLog->text(), QStringLiteral("Go Log"));
    QVERIFY(!app_->window->Log().LogToFile());
    Send("one");
    QVERIFY(device_->WaitForReceived(4, 3s));
    QCOMPARE(device_->Received(), std::string("one\r"));
    Receive("cd\r\n");
    QCOMPARE(app_->dialogs.messages, QStringList{box});
    QCOMPARE(Form().MainWindow->Entries(), (QStringList{"ab\r", "one\r", "cd\r"}));

    // Going on: the send whose line fails stops before the port and leaves
    // the counters; the next one goes out.
    Form().StartLog->click();
    const std::int32_t sentBytes = app_->window->Term().Counters().txBytes;
    Send("lost");
    QCOMPARE(app_->dialogs.messages, (QStringList{box, box}));
    QCOMPARE(app_->window->Term().Counters().txBytes, sentBytes);
    Send("next");
    QVERIFY(device_->WaitForReceived(9, 3s));
    QCOMPARE(device_->Received(), std::string("one\rnext\r"));
    QCOMPARE(app_->dialogs.messages.size(), 2);
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::LogFileWindowTest)
#include "log_file_window_test.moc"
