// The floor under the idle figure of the side-by-side benchmark: a Qt Widgets
// window that does nothing but show the time of day to the second, as the
// terminal's clock does, in a plain QLabel of the clock's size and frame, with
// the terminal's runtime settings. Any Qt window with a seconds clock wakes
// once a second and paints; what that costs on the machine at hand is this
// program's idle figure. (The terminal's own clock label paints less than a
// QLabel does: see ClockLabel.) It holds the port open, because the harness
// waits for that, and never touches it.
//
//   velmora-idle-reference PORT

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QStyleFactory>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "common/clock.h"
#include "common/clock_text.h"
#include "layout/layout_pass.h"
#include "ui/control_factory.h"
#include "ui/look.h"
#include "ui/text_codec.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: velmora-idle-reference PORT\n");
    return 2;
  }
  const int port = ::open(argv[1], O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (port < 0) {
    std::perror(argv[1]);
    return 1;
  }
  velmora::ui::PrepareQtRuntime();
  QApplication app(argc, argv);
  // The terminal's look: the clock's text is drawn as there.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setFont(velmora::ui::UiFont(8));
  QWidget window;
  window.resize(velmora::kDesignClientWidth, velmora::kDesignClientHeight);
  // Made as the terminal makes its clock label.
  QLabel& clock =
      *velmora::ui::NewSunkenLabel(&window, QStringLiteral("TextTime"), QString(), {4, 12, 56, 21});
  clock.setAlignment(Qt::AlignCenter);
  velmora::ui::HoldSize(&clock);
  // The terminal's clock text, at each whole second as there.
  const std::unique_ptr<velmora::Clock> time = velmora::CreateSystemClock();
  QTimer tick;
  tick.setSingleShot(true);
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const velmora::LocalTime now = time->Now();
    clock.setText(velmora::ui::ToQString(velmora::ClockText(now)));
    tick.start(velmora::MsToNextWholeSecond(now));
  });
  tick.start(0);
  window.show();
  const int result = app.exec();
  ::close(port);
  return result;
}
