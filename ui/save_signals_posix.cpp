#include <sys/socket.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/save_signals.h"

namespace velmora::ui {
namespace {

// The handler only writes the signal number to a socket; the window acts on
// it in the event loop, where pressing a button is allowed.
int signalSocket[2] = {-1, -1};

void OnSignal(int number) {
  const char byte = static_cast<char>(number);
  [[maybe_unused]] const ssize_t sent = ::write(signalSocket[0], &byte, 1);
}

void Say(const char* word) {
  std::printf("%s\n", word);
  std::fflush(stdout);
}

}  // namespace

void InstallSaveSignals(QWidget& window) {
  const char* const wanted = std::getenv("VELMORA_SAVE_SIGNALS");
  if (wanted == nullptr || std::strcmp(wanted, "1") != 0) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSocket) != 0) return;

  auto* notifier = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char number = 0;
    if (::read(signalSocket[1], &number, 1) != 1) return;
    if (number == SIGUSR1) {
      if (auto* save = window.findChild<QAbstractButton*>(QStringLiteral("SaveF"))) save->click();
      Say("saved");
    } else if (number == SIGTERM) {
      window.close();
    }
  });

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGUSR1, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
  QTimer::singleShot(0, &window, [] { Say("ready"); });
}

}  // namespace velmora::ui
