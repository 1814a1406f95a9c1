#include "ui/widgets/clock_label.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>

#include "common/clock_text.h"
#include "ui/control_factory.h"
#include "ui/main_form.h"
#include "ui/text_codec.h"
#include "ui/widgets/paint_throttle.h"

namespace velmora::ui {
namespace {

// The clock's label and a QLabel made as the other sunken labels are, side by
// side in one form, so that both have the window's font, palette and style.
struct ClockAndLabel {
  MainForm form;
  ClockLabel* clock = form.TextTime;
  QLabel* label =
      NewSunkenLabel(clock->parentWidget(), QStringLiteral("Twin"), QString(), clock->geometry());

  ClockAndLabel() {
    label->setAlignment(Qt::AlignCenter);
    label->stackUnder(clock);
  }
  void Show(const QString& text) {
    clock->setText(text);
    label->setText(text);
  }
};

QRegion PaintedIn(QWidget* widget, const std::function<void()>& change) {
  struct Painted : QObject {
    QRegion region;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) region += static_cast<QPaintEvent*>(event)->region();
      return false;
    }
  } painted;
  widget->installEventFilter(&painted);
  change();
  // Qt paints on a posted request.
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  widget->removeEventFilter(&painted);
  return painted.region;
}

}  // namespace

class ClockLabelTest : public QObject {
  Q_OBJECT

 private slots:
  void theWidestClockTextFitsTheLabelAndATwelveHourOneWouldNot() {
    MainForm form;
    auto* label = form.findChild<ClockLabel*>(QStringLiteral("TextTime"));
    QVERIFY(label != nullptr);
    LocalTime t;
    t.hour = 23;
    t.minute = 59;
    t.second = 59;
    const QString text = ToQString(ClockText(t));
    QCOMPARE(text, QStringLiteral("23:59:59"));
    const QFontMetrics metrics(label->font());
    const int room = label->contentsRect().width();
    QVERIFY2(
        metrics.horizontalAdvance(text) <= room,
        qPrintable(QStringLiteral("%1 px in %2").arg(metrics.horizontalAdvance(text)).arg(room)));
    QVERIFY(metrics.horizontalAdvance(QStringLiteral("12:59:59 PM")) > room);
  }

  void looksAsASunkenLabelWithTheSameTextWould_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("empty, as at start-up") << QString() << true;
    QTest::newRow("every digit") << QStringLiteral("01:23:45") << true;
    QTest::newRow("the others") << QStringLiteral("16:789:0") << true;
    QTest::newRow("widest") << QStringLiteral("23:59:59") << true;
    QTest::newRow("wider than the room") << QStringLiteral("12:59:59 PM") << true;
    QTest::newRow("disabled") << QStringLiteral("10:00:00") << false;
  }
  void looksAsASunkenLabelWithTheSameTextWould() {
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    ClockAndLabel both;
    both.Show(QStringLiteral("00:00:00"));
    QCOMPARE(both.clock->grab().toImage(), both.label->grab().toImage());
    both.clock->setEnabled(enabled);
    both.label->setEnabled(enabled);
    both.Show(text);
    QCOMPARE(both.clock->text(), text);
    QCOMPARE(both.clock->grab().toImage(), both.label->grab().toImage());
  }

  // A new second repaints the digits that changed; the window then shows
  // what a full paint of the new text would.
  void aNewSecondRepaintsOnlyTheDigitsThatChanged() {
    ClockAndLabel both;
    both.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&both.form));
    both.Show(QStringLiteral("12:34:56"));
    QCoreApplication::processEvents();
    // The middle of character i of the centred text, on the text's line.
    const auto middleOf = [&](const QString& text, int i) {
      const QFontMetricsF metrics(both.clock->font());
      const QRect room = both.clock->contentsRect();
      const qreal left = room.x() + (room.width() - metrics.horizontalAdvance(text)) / 2;
      const qreal from = left + metrics.horizontalAdvance(text.first(i));
      return QPoint(int(from + metrics.horizontalAdvance(text[i]) / 2), room.center().y());
    };
    const int digit = QFontMetrics(both.clock->font()).horizontalAdvance(QLatin1Char('7'));

    const QRegion second = PaintedIn(both.clock, [&] { both.clock->setText("12:34:57"); });
    QVERIFY(second.contains(middleOf("12:34:57", 7)));
    QVERIFY(!second.contains(middleOf("12:34:57", 6)));
    QVERIFY(second.boundingRect().width() <= digit + 3);
    const QRegion minute = PaintedIn(both.clock, [&] { both.clock->setText("12:35:00"); });
    for (int i : {4, 5, 6, 7}) QVERIFY(minute.contains(middleOf("12:35:00", i)));
    QVERIFY(!minute.contains(middleOf("12:35:00", 3)));
    QVERIFY(PaintedIn(both.clock, [&] { both.clock->setText("12:35:00"); }).isEmpty());
    // Another width: all of it.
    const QRegion wider = PaintedIn(both.clock, [&] { both.clock->setText("12:35:00 PM"); });
    QCOMPARE(wider.boundingRect(), both.clock->rect());

    // Every digit turning into the next, in every place: the screen shows
    // what a whole label would, with nothing of the old digits left over.
    const QPoint at = both.clock->mapTo(&both.form, QPoint(0, 0));
    const auto shown = [&] {
      return both.form.screen()
          ->grabWindow(both.form.winId(), at.x(), at.y(), both.clock->width(), both.clock->height())
          .toImage()
          .convertToFormat(QImage::Format_RGB32);
    };
    LocalTime t;
    t.hour = 9;
    t.minute = 58;
    t.second = 49;
    for (int step = 0; step < 200; ++step) {
      const QString text = ToQString(ClockText(t));
      both.Show(text);
      QCoreApplication::sendPostedEvents();
      QCoreApplication::processEvents();
      QVERIFY2(shown() == both.label->grab().toImage().convertToFormat(QImage::Format_RGB32),
               qPrintable(text));
      t.second = (t.second + 1) % 60;
      if (t.second == 0 && ++t.minute == 60) {
        t.minute = 0;
        ++t.hour;
      }
    }
  }

  // The clock's second in a throttled window, a frame after the last paint:
  // painted within the call, with no request left posted that would wake
  // the event loop a second time.
  void aSecondPaintedNowIsPaintedInTheCallAndPostsNothing() {
    QWidget window;
    auto* throttle = new PaintThrottle(&window);
    auto* clock = new ClockLabel(&window);
    clock->setGeometry(4, 12, 56, 21);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    clock->setText(QStringLiteral("12:34:56"));
    QTest::qWait(3 * PaintThrottle::kMinIntervalMs);

    struct Watch : QObject {
      int paints = 0;
      int requests = 0;
      bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        if (event->type() == QEvent::UpdateRequest) ++requests;
        return false;
      }
    } onClock, onWindow;
    clock->installEventFilter(&onClock);
    window.installEventFilter(&onWindow);
    throttle->ComesAlone();
    clock->setText(QStringLiteral("12:34:57"), ClockLabel::Paint::Now);
    QCOMPARE(onClock.paints, 1);
    QCOMPARE(onWindow.requests, 1);  // the one sent, not posted
    QCoreApplication::sendPostedEvents(&window, QEvent::UpdateRequest);
    QCOMPARE(onWindow.requests, 1);

    // Within the frame time it waits for the frame, as any change does.
    clock->setText(QStringLiteral("12:34:58"), ClockLabel::Paint::Now);
    QCOMPARE(onClock.paints, 1);
    QTRY_COMPARE(onClock.paints, 2);
  }

  // A new look draws the pictures again.
  void aNewFontOrPaletteIsShownAtOnce() {
    ClockAndLabel both;
    both.Show(QStringLiteral("12:34:56"));
    (void)both.clock->grab();
    QFont font = both.clock->font();
    font.setPointSize(font.pointSize() + 3);
    QPalette palette = both.clock->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    palette.setColor(QPalette::Window, Qt::yellow);
    for (QWidget* widget : {static_cast<QWidget*>(both.clock), static_cast<QWidget*>(both.label)}) {
      widget->setFont(font);
      widget->setPalette(palette);
    }
    QCOMPARE(both.clock->grab().toImage(), both.label->grab().toImage());
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::ClockLabelTest)
#include "clock_label_test.moc"
