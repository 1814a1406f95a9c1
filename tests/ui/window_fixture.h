#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "fake_user_dialogs.h"
#include "test_services.h"
#include "ui/main_window.h"

namespace velmora::ui {

// The real window, started in a fresh working directory (where it keeps its
// files) with the dialogs answered by the test. The start-up's own messages
// (a first start reports the missing command lists) are cleared.
class WindowFixture {
 public:
  // `sleeper`, when given, replaces the test services' no-op waits.
  explicit WindowFixture(std::vector<std::string> ports = {},
                         std::unique_ptr<Clock> clock = nullptr,
                         SerialLink::Sleeper sleeper = nullptr)
      : previous_(QDir::currentPath()) {
    QDir::setCurrent(dir_.path());
    TerminalServices services = TestServices(std::move(ports), std::move(clock));
    if (sleeper) services.sleeper = std::move(sleeper);
    window = std::make_unique<TForm1>(dialogs, std::move(services));
    dialogs.messages.clear();
  }
  // The window on services of the test's own making.
  explicit WindowFixture(TerminalServices services) : previous_(QDir::currentPath()) {
    QDir::setCurrent(dir_.path());
    window = std::make_unique<TForm1>(dialogs, std::move(services));
    dialogs.messages.clear();
  }
  ~WindowFixture() {
    window.reset();
    QDir::setCurrent(previous_);
  }
  WindowFixture(const WindowFixture&) = delete;
  WindowFixture& operator=(const WindowFixture&) = delete;

  MainForm& Form() { return window->Form(); }
  QString Path(const QString& name) const { return dir_.filePath(name); }

  FakeUserDialogs dialogs;
  std::unique_ptr<TForm1> window;

 private:
  QString previous_;
  QTemporaryDir dir_;
};

}  // namespace velmora::ui
