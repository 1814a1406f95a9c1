// The port list knows each port by its device, and the watch follows a
// re-plugged adapter under its new name. The window runs on the system's
// own discovery and backend, put on a fake sysfs tree and device directory
// through VELMORA_SYSFS_ROOT and VELMORA_DEV_DIR; the adapters' ttys are
// links to pseudo-terminals played by the simulated device.

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fake_sysfs.h"
#include "pty_device.h"
#include "serial/device_directories.h"
#include "state_file_images.h"
#include "ui/colors.h"
#include "ui/main_form.h"
#include "ui/port_bar.h"
#include "ui/widgets/limited_edit.h"
#include "window_fixture.h"

namespace velmora::ui {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using velmora::testing::FakeSysfs;

const FakeSysfs::Usb kFtdiA{"0403", "6001", "FTDI", "FT232R USB UART", "A50285BI"};
const FakeSysfs::Usb kFtdiB{"0403", "6001", "FTDI", "FT232R USB UART", "A50285BJ"};
// UTF-8 strings: "Завод" and "Плата".
const FakeSysfs::Usb kBoard{"2341", "0043", "\xD0\x97\xD0\xB0\xD0\xB2\xD0\xBE\xD0\xB4",
                            "\xD0\x9F\xD0\xBB\xD0\xB0\xD1\x82\xD0\xB0", "77"};

QStringList Items(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items.append(box->itemText(i));
  return items;
}

QStringList PopupLines(const QComboBox* box) {
  QStringList lines;
  for (int i = 0; i < box->count(); ++i) lines.append(PortPopupText(box->model()->index(i, 0)));
  return lines;
}

}  // namespace

class PortIdentityWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<FakeSysfs> sysfs_;
  std::vector<std::unique_ptr<devsim::PtyDevice>> devices_;
  std::unique_ptr<WindowFixture> app_;

  MainForm& Form() { return app_->Form(); }
  SerialLink& Link() { return app_->window->Term().Link(); }

  // The system's services, on the fake tree through the environment.
  void Start() {
    ::setenv(kSysfsRootVariable, sysfs_->Sys().c_str(), 1);
    ::setenv(kDevDirVariable, sysfs_->Dev().c_str(), 1);
    TerminalServices services = TerminalServices::System();
    ::unsetenv(kSysfsRootVariable);
    ::unsetenv(kDevDirVariable);
    services.sleeper = [](int) {};
    app_ = std::make_unique<WindowFixture>(std::move(services));
  }

  // The simulated device behind /dev/KERNELNAME.
  devsim::PtyDevice& Plug(const std::string& kernelName) {
    devsim::DeviceOptions options;
    options.mode = devsim::Mode::Silent;
    options.linkPath = (sysfs_->Dev() / kernelName).string();
    devices_.push_back(std::make_unique<devsim::PtyDevice>(options));
    return *devices_.back();
  }

  // Adapter A as ttyUSB0, connected with AutoConnect and the send on
  // connect of "HELLO".
  devsim::PtyDevice& ConnectToA() {
    sysfs_->PlugUsb("1-1", kFtdiA);
    sysfs_->PlugUsb("1-2", kFtdiB);
    sysfs_->AddUsbTty("ttyUSB0", "1-1", "1.0", false);
    devsim::PtyDevice& a = Plug("ttyUSB0");
    Start();
    Form().ComPort->setEditText(QStringLiteral("USB0"));
    Form().MainStrCmd->setText(QStringLiteral("HELLO"));
    Form().SendAsReconn->setChecked(true);
    Form().AutoConnect->setChecked(true);
    Form().BTConnect->click();
    [&] { QCOMPARE(Form().BTConnect->text(), QStringLiteral("Disconnect")); }();
    return a;
  }

 private slots:
  void init() {
    sysfs_ = std::make_unique<FakeSysfs>(fs::temp_directory_path() /
                                         ("velmora-identity-window-" + std::to_string(::getpid()) +
                                          "-" + QTest::currentTestFunction()));
  }
  void cleanup() {
    app_.reset();
    devices_.clear();
    sysfs_.reset();
  }

  void theDropDownTellsEachDeviceWhileTheBoxKeepsTheName() {
    sysfs_->PlugUsb("1-1", kFtdiA);
    sysfs_->PlugUsb("1-2", kFtdiB);
    sysfs_->PlugUsb("1-3", {"1a86", "7523", "", "USB Serial", ""});
    sysfs_->PlugUsb("1-4", kBoard);
    sysfs_->AddUsbTty("ttyUSB0", "1-1");
    sysfs_->AddUsbTty("ttyUSB1", "1-2");
    sysfs_->AddUsbTty("ttyUSB2", "1-3");
    sysfs_->AddUsbTty("ttyACM0", "1-4");
    sysfs_->AddBuiltInTty("ttyS0");
    sysfs_->AddPtyLink("ttyVIRT0", 7);
    Start();
    QComboBox* box = Form().ComPort;
    const QString virt = QString::fromStdString((sysfs_->Dev() / "ttyVIRT0").string());
    QCOMPARE(Items(box), (QStringList{"ACM0", "S0", "USB0", "USB1", "USB2", virt}));
    QCOMPARE(PopupLines(box), (QStringList{QStringLiteral("ACM0 — Завод Плата (77)"),
                                           QStringLiteral("S0 — built-in serial port"),
                                           QStringLiteral("USB0 — FTDI FT232R USB UART (A50285BI)"),
                                           QStringLiteral("USB1 — FTDI FT232R USB UART (A50285BJ)"),
                                           QStringLiteral("USB2 — USB Serial"),
                                           virt + QStringLiteral(" — virtual port (pty)")}));
    // Only the list draws the lines; the list is wide enough for them.
    QVERIFY(dynamic_cast<PortListDelegate*>(box->itemDelegate()) != nullptr);
    QVERIFY(box->view()->minimumWidth() >=
            box->view()->fontMetrics().horizontalAdvance(PopupLines(box).at(2)));
    // Choosing an item shows, and stores, the name alone.
    box->setCurrentIndex(2);
    QCOMPARE(box->currentText(), QStringLiteral("USB0"));
    QCOMPARE(box->lineEdit()->text(), QStringLiteral("USB0"));
    QVERIFY(app_->window->close());
    QCOMPARE(ReadFile("Cfg").left(5), QByteArray("\x04USB0"));
  }

  void theWatchFollowsTheAdapterToItsNewNameAndSendsOnConnect() {
    devsim::PtyDevice& a = ConnectToA();
    QCOMPARE(Background(Form().ComPort), QColor(0, 255, 0));
    // Unplugged and back as ttyUSB1 (its twin is not plugged).
    a.Unplug();
    sysfs_->RemoveTty("ttyUSB0");
    sysfs_->AddUsbTty("ttyUSB1", "1-1", "1.0", false);
    devsim::PtyDevice& back = Plug("ttyUSB1");
    QTRY_COMPARE_WITH_TIMEOUT(Form().ComPort->currentText(), QStringLiteral("USB1"), 5000);
    QVERIFY(Link().PortOpen());
    QCOMPARE(Background(Form().ComPort), QColor(0, 255, 0));
    QVERIFY(back.WaitForReceived(6, 3s));
    QCOMPARE(QByteArray::fromStdString(back.Received()), QByteArray("HELLO\r"));
    // A had only the send of the user's own connect.
    QCOMPARE(QByteArray::fromStdString(a.Received()), QByteArray("HELLO\r"));
    // The list shows the ports as found, the new name described.
    QCOMPARE(PopupLines(Form().ComPort),
             QStringList{QStringLiteral("USB1 — FTDI FT232R USB UART (A50285BI)")});
    QCOMPARE(Form().BTConnect->text(), QStringLiteral("Disconnect"));
    QVERIFY(!Form().ComPort->isEnabled());
    QVERIFY(app_->dialogs.messages.isEmpty());
  }

  void aStrangerUnderTheOldNameIsRefusedUntilTheAdapterIsBack() {
    devsim::PtyDevice& a = ConnectToA();
    a.Unplug();
    // The twin takes the old name.
    sysfs_->RemoveTty("ttyUSB0");
    sysfs_->AddUsbTty("ttyUSB0", "1-2", "1.0", false);
    devsim::PtyDevice& stranger = Plug("ttyUSB0");
    const std::optional<termios> before = stranger.LineSettings();
    QVERIFY(before.has_value());
    QTRY_COMPARE_WITH_TIMEOUT(Background(Form().ComPort), QColor(255, 255, 0), 3000);
    app_->window->Ports().CheckConnectTimer();
    QCOMPARE(Background(Form().ComPort), QColor(255, 255, 0));
    QVERIFY(!Link().PortOpen());
    QVERIFY(!Link().Port().IsValid());
    // The stranger's line was never set up by us.
    const std::optional<termios> after = stranger.LineSettings();
    QVERIFY(after.has_value());
    QCOMPARE(after->c_lflag, before->c_lflag);
    QCOMPARE(after->c_cflag, before->c_cflag);
    QCOMPARE(Form().ComPort->currentText(), QStringLiteral("USB0"));

    // Ours comes back as ttyUSB3: followed there.
    sysfs_->AddUsbTty("ttyUSB3", "1-1", "1.0", false);
    devsim::PtyDevice& back = Plug("ttyUSB3");
    QTRY_COMPARE_WITH_TIMEOUT(Form().ComPort->currentText(), QStringLiteral("USB3"), 5000);
    QVERIFY(back.WaitForReceived(6, 3s));
    QCOMPARE(QByteArray::fromStdString(back.Received()), QByteArray("HELLO\r"));
    QCOMPARE(stranger.Received(), std::string());
  }

  void aTypedByIdPathOpensAsItIsAndKeepsItsNameThroughAReplug() {
    sysfs_->PlugUsb("1-1", kFtdiA);
    sysfs_->AddUsbTty("ttyUSB0", "1-1", "1.0", false);
    devsim::PtyDevice& a = Plug("ttyUSB0");
    const std::string byIdName = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    const QString byId = QString::fromStdString(sysfs_->AddByIdLink(byIdName, "ttyUSB0").string());
    Start();
    Form().ComPort->setEditText(byId);
    Form().AutoConnect->setChecked(true);
    Form().BTConnect->click();
    QVERIFY(Link().PortOpen());
    QCOMPARE(Form().ComPort->currentText(), byId);
    QCOMPARE(app_->window->Ports().Watch().Followed().serial, std::string("A50285BI"));
    // Back as ttyUSB1; the by-id link leads there, and stays the name.
    const std::uint32_t opens = Link().OpenCount();
    a.Unplug();
    sysfs_->RemoveTty("ttyUSB0");
    sysfs_->AddUsbTty("ttyUSB1", "1-1", "1.0", false);
    devsim::PtyDevice& back = Plug("ttyUSB1");
    sysfs_->AddByIdLink(byIdName, "ttyUSB1");
    QTRY_COMPARE_WITH_TIMEOUT(Link().OpenCount(), opens + 1, 5000);
    QVERIFY(Link().PortOpen());
    QCOMPARE(Form().ComPort->currentText(), byId);
    QCOMPARE(Background(Form().ComPort), QColor(0, 255, 0));
    Link().Port().Write(reinterpret_cast<const std::uint8_t*>("X"), 1);
    QVERIFY(back.WaitForReceived(1, 3s));
  }

  void withoutIdentityTheWatchGoesByName() {
    // A pseudo-terminal's link: the same link, a new pty, by name as ever.
    devsim::PtyDevice& device = Plug("ttyVIRT0");
    Start();
    const QString name = QString::fromStdString(device.PortName());
    Form().ComPort->setEditText(name);
    Form().AutoConnect->setChecked(true);
    Form().BTConnect->click();
    QVERIFY(Link().PortOpen());
    QCOMPARE(app_->window->Ports().Watch().Followed().kind, PortKind::PseudoTerminal);
    device.Unplug();
    // Another pty under another link name is nobody we know.
    devsim::PtyDevice& other = Plug("ttyVIRT1");
    QTRY_COMPARE_WITH_TIMEOUT(Background(Form().ComPort), QColor(255, 255, 0), 3000);
    device.PlugBack();
    QTRY_VERIFY_WITH_TIMEOUT(Link().PortOpen(), 3000);
    QCOMPARE(Form().ComPort->currentText(), name);
    QCOMPARE(Background(Form().ComPort), QColor(0, 255, 0));
    QCOMPARE(other.Received(), std::string());
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::PortIdentityWindowTest)
#include "port_identity_window_test.moc"
