#pragma once

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fake_user_dialogs.h"
#include "macros/cmd_list_store.h"
#include "pty_device.h"
#include "test_services.h"
#include "ui/history_lists.h"
#include "ui/macro_panel.h"
#include "ui/main_form.h"
#include "ui/main_window.h"
#include "ui/widgets/limited_edit.h"

namespace velmora::ui {

// Dialogs that also note, at each message, whether "CmdConfig" existed then.
class NotingDialogs : public FakeUserDialogs {
 public:
  void ShowMessage(const QString& text) override {
    FakeUserDialogs::ShowMessage(text);
    cmdConfigAtMessage.push_back(QFile::exists(QStringLiteral("CmdConfig")));
  }
  std::vector<bool> cmdConfigAtMessage;
};

// The real window, started and active in a fresh working directory. A
// silent device on a pseudo-terminal is ready for Connect().
class MacroWindow {
 public:
  MacroWindow() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
  ~MacroWindow() {
    window.reset();
    device.reset();
    QDir::setCurrent(previous_);
  }
  MacroWindow(const MacroWindow&) = delete;
  MacroWindow& operator=(const MacroWindow&) = delete;

  // "CmdConfig" before the start: a rebuilt store changed by `fill`.
  static void WriteCmdConfig(const std::function<void(CmdListStore&)>& fill) {
    CmdListStore store;
    store.Load("CmdConfig");
    store.Rebuild();
    fill(store);
    QVERIFY(store.Save("CmdConfig").Ok());
  }

  void Start() {
    window = std::make_unique<TForm1>(dialogs, TestServices());
    QVERIFY(Panel().SlotHandlersAttached());
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
  }

  void Connect() {
    devsim::DeviceOptions options;
    options.mode = devsim::Mode::Silent;
    device = std::make_unique<devsim::PtyDevice>(options);
    Form().ComPort->setEditText(QString::fromStdString(device->PortName()));
    Form().BTConnect->click();
    QVERIFY(window->Term().Link().PortOpen());
  }

  // Everything the device has received once `size` bytes have come.
  std::string Wire(std::size_t size) {
    [&] { QVERIFY(device->WaitForReceived(size, std::chrono::seconds(3))); }();
    return device->Received();
  }

  MainForm& Form() { return window->Form(); }
  MacroPanel& Panel() { return window->Macros(); }
  HistoryLists& Lists() { return window->HistoryView(); }
  CmdListStore& Store() { return window->Term().Store(); }
  LimitedEdit* Edit(int m) { return Form().Edit[static_cast<std::size_t>(m - 1)]; }
  QPushButton* Button(int m) { return Form().Button[static_cast<std::size_t>(m - 1)]; }

  static QByteArray CmdConfigBytes() {
    QFile file(QStringLiteral("CmdConfig"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  NotingDialogs dialogs;
  std::unique_ptr<devsim::PtyDevice> device;
  std::unique_ptr<TForm1> window;

 private:
  QString previous_;
  QTemporaryDir dir_;
};

}  // namespace velmora::ui
