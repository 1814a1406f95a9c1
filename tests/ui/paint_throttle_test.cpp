#include "ui/widgets/paint_throttle.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace velmora::ui {
namespace {

// Counts the paints of a label and remembers the text it last painted.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QLabel* label) : label_(label) { label->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++paints;
      painted = label_->text();
    }
    return false;
  }
  int paints = 0;
  QString painted;

 private:
  QLabel* label_;
};

}  // namespace

class PaintThrottleTest : public QObject {
  Q_OBJECT

 private slots:
  void paintsAtMostThirtyTimesASecondAndAlwaysTheLastState() {
    QWidget window;
    auto* label = new QLabel(QStringLiteral("0"), &window);
    window.resize(200, 50);
    new PaintThrottle(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    PaintCounter counter(label);
    QElapsedTimer clock;
    clock.start();
    int changes = 0;
    while (clock.elapsed() < 300) {
      label->setText(QString::number(++changes));
      QCoreApplication::processEvents();
    }
    const qint64 elapsed = clock.elapsed();
    QTRY_COMPARE(counter.painted, QString::number(changes));
    QVERIFY2(changes > 100, qPrintable(QString::number(changes)));
    // One paint per interval, plus the first at once and the last deferred.
    QVERIFY2(counter.paints <= elapsed / PaintThrottle::kMinIntervalMs + 3,
             qPrintable(QString::number(counter.paints)));
  }

  void manyFrameRequestsGiveOneFrame() {
    QWidget window;
    window.resize(200, 50);
    auto* throttle = new PaintThrottle(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(PaintThrottle::Of(&window), throttle);
    QTest::qWait(2 * PaintThrottle::kMinIntervalMs);  // the first paint is a frame old
    QSignalSpy frames(throttle, &PaintThrottle::frameDue);
    for (int i = 0; i < 5; ++i) throttle->RequestFrame();
    QTRY_COMPARE(frames.count(), 1);
    // No frame without a request or a change.
    QTest::qWait(3 * PaintThrottle::kMinIntervalMs);
    QCOMPARE(frames.count(), 1);
    throttle->RequestFrame();
    QTRY_COMPARE(frames.count(), 2);
  }

  void aWidgetWithoutThrottleFindsNone() {
    QWidget window;
    auto* child = new QLabel(&window);
    QCOMPARE(PaintThrottle::Of(child), nullptr);
    auto* throttle = new PaintThrottle(&window);
    QCOMPARE(PaintThrottle::Of(child), throttle);
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::PaintThrottleTest)
#include "paint_throttle_test.moc"
