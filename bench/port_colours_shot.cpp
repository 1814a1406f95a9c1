// Pictures of the port box's colours as an X server shows them: the real
// window on the display in DISPLAY (e.g. Xvfb), connected to the simulated
// device through a pseudo-terminal, taken from the server's own pixels in
// each state of the watch:
//   1. disconnected: the window colour;
//   2. connected by the user: lime (the box is disabled from here on);
//   3. the device vanished, AutoConnect off: red;
//   4. AutoConnect on while it is still away: yellow (the re-open failed);
//   5. the device back, re-opened by the watch: lime (this picture is the
//      whole window);
//   6. disconnected by the user: the window colour again, enabled.
// The other pictures are the top of the window around the port box. Prints the centre pixel of the
// box in each.
//
// Usage: velmora-port-colours-shot OUTPUT_DIRECTORY

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "bench_window_doubles.h"
#include "common/clock.h"
#include "common/color_value.h"
#include "pty_device.h"
#include "serial/serial_port.h"
#include "ui/colors.h"
#include "ui/look.h"
#include "ui/main_form.h"
#include "ui/main_window.h"

namespace {

using namespace velmora;
using namespace velmora::ui;
using namespace velmora::bench;
using namespace std::chrono_literals;

void RunFor(std::chrono::milliseconds duration) {
  QEventLoop loop;
  QTimer::singleShot(duration, &loop, &QEventLoop::quit);
  loop.exec();
}

// The base colour the box is drawn with in its present state.
QColor BaseColour(const QComboBox& box) {
  return box.palette().color(box.isEnabled() ? QPalette::Active : QPalette::Disabled,
                             QPalette::Base);
}

// Waits until the box's base colour is `color` (the watch ticks once a
// second), then lets the server draw it.
bool WaitForColour(const QComboBox& box, const QColor& color) {
  for (int i = 0; i < 100 && BaseColour(box) != color; ++i) RunFor(50ms);
  RunFor(500ms);
  return BaseColour(box) == color;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: velmora-port-colours-shot OUTPUT_DIRECTORY\n");
    return 2;
  }
  velmora::ui::PrepareQtRuntime();  // as the program runs
  QApplication app(argc, argv);
  QApplication::setFont(UiFont(8));
  // Made absolute before the working directory moves.
  const QDir out(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
  QTemporaryDir dir;
  QDir::setCurrent(dir.path());
  devsim::DeviceOptions options;
  options.mode = devsim::Mode::Silent;
  options.linkPath = dir.filePath(QStringLiteral("ttyDEVICE")).toStdString();
  devsim::PtyDevice device(std::move(options));
  SilentDialogs dialogs;
  TerminalServices services = ServicesWithoutPortList();
  TForm1 window(dialogs, std::move(services));
  window.move(0, 0);
  window.show();
  MainForm& form = window.Form();
  QComboBox& box = *form.ComPort;
  form.BaudRate->setCurrentIndex(7);
  form.ComPort->setEditText(QString::fromStdString(device.PortName()));

  int failures = 0;
  const auto shoot = [&](const char* name, const QColor& expected, bool whole) {
    if (!WaitForColour(box, expected)) ++failures;
    const QPixmap screen = window.screen()->grabWindow(window.winId());
    // The colour most of the box shows (its frame left out).
    const QRect inside(box.mapTo(&window, QPoint(3, 3)), box.size() - QSize(6, 6));
    const QImage image = screen.toImage();
    std::map<QRgb, int> counts;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
      for (int x = inside.left(); x <= inside.right(); ++x) ++counts[image.pixel(x, y)];
    }
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](auto a, auto b) { return a.second < b.second; });
    const QColor seen = QColor::fromRgb(most->first);
    const double share = 100.0 * most->second / (inside.width() * inside.height());
    const QRect around = QRect(0, 0, box.mapTo(&window, QPoint(box.width(), 0)).x() + 260,
                               box.mapTo(&window, QPoint(0, box.height())).y() + 12);
    const QString file = out.filePath(QStringLiteral("comport-%1.png").arg(QLatin1String(name)));
    (whole ? image : image.copy(around)).save(file);
    std::printf("%-30s expected %s, the box shows %s on %.0f %% of it, enabled %d -> %s\n", name,
                qPrintable(expected.name()), qPrintable(seen.name()), share,
                box.isEnabled() ? 1 : 0, qPrintable(file));
    if (seen != expected) ++failures;
  };

  shoot("1-disconnected", ToQColor(kSysWindow), false);
  form.BTConnect->click();
  shoot("2-connected-lime", QColor(0, 255, 0), false);
  device.Unplug();
  shoot("3-vanished-red", QColor(255, 0, 0), false);
  form.AutoConnect->setChecked(true);
  shoot("4-vanished-autoconnect-yellow", QColor(255, 255, 0), false);
  device.PlugBack();
  shoot("5-reopened-lime", QColor(0, 255, 0), true);
  form.BTConnect->click();
  shoot("6-disconnected-again", ToQColor(kSysWindow), false);
  return failures == 0 ? 0 : 1;
}
