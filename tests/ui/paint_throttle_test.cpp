#include "ui/widgets/paint_throttle.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace velmora::ui {
namespace {

// Counts the paints of a label and remembers the text it last painted.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QLabel* label) : label_(label) {
    label->installEventFilter(this);
    since.start();
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++paints;
      painted = label_->text();
      paintedAtMs = since.elapsed();
    }
    return false;
  }
  int paints = 0;
  QString painted;
  QElapsedTimer since;  // from the counter's start
  qint64 paintedAtMs = -1;

 private:
  QLabel* label_;
};

// A shown window with a label, its paints throttled.
struct ThrottledLabel {
  QWidget window;
  QLabel* label = new QLabel(QStringLiteral("0"), &window);
  PaintThrottle* throttle = new PaintThrottle(&window);
  ThrottledLabel() {
    window.resize(200, 50);
    window.show();
  }
  // Shown, and a quiet spell since its first paint.
  bool ShownAndQuiet() {
    if (!QTest::qWaitForWindowExposed(&window)) return false;
    QTest::qWait(3 * PaintThrottle::kMinIntervalMs);
    return true;
  }
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

  // After a quiet spell the first change waits kGatherMs for those that
  // follow it: a send's line and the answer a few milliseconds later make
  // one paint, and a lone change is still painted well inside a frame.
  void changesRightAfterAQuietSpellShareOnePaint() {
    ThrottledLabel shown;
    QLabel* label = shown.label;
    PaintThrottle* throttle = shown.throttle;
    QVERIFY(shown.ShownAndQuiet());
    PaintCounter counter(label);
    QSignalSpy frames(throttle, &PaintThrottle::frameDue);
    counter.since.restart();
    label->setText(QStringLiteral("sent"));
    static_assert(PaintThrottle::kGatherMs > 8);
    qint64 answeredAtMs = -1;
    QTimer::singleShot(5, Qt::PreciseTimer, label, [&] {
      answeredAtMs = counter.since.elapsed();
      label->setText(QStringLiteral("answer"));
    });
    // An event loop of its own: QTest::qWait sleeps in steps of 10 ms.
    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [&] {
      if (counter.painted == QStringLiteral("answer") ||
          counter.since.elapsed() > 10 * PaintThrottle::kMinIntervalMs)
        loop.quit();
    });
    poll.start(1);
    loop.exec();
    QCOMPARE(counter.painted, QStringLiteral("answer"));
    if (answeredAtMs >= 8) QSKIP("the machine delayed the second change");
    const qint64 painted = counter.paintedAtMs;
    QCOMPARE(counter.paints, 1);
    // Not before the gathering time (a coarse timer may be 5 % early); how
    // soon after it depends on the machine's load.
    QVERIFY2(painted >= PaintThrottle::kGatherMs * 9 / 10, qPrintable(QString::number(painted)));
    QCOMPARE(frames.count(), 1);
    // A frame asked for alone comes after the same wait.
    QTest::qWait(3 * PaintThrottle::kMinIntervalMs);
    QElapsedTimer clock;
    qint64 frameAtMs = -1;
    connect(throttle, &PaintThrottle::frameDue, label, [&] { frameAtMs = clock.elapsed(); });
    clock.start();
    throttle->RequestFrame();
    QTRY_COMPARE(frames.count(), 2);
    QVERIFY2(frameAtMs >= PaintThrottle::kGatherMs * 9 / 10,
             qPrintable(QString::number(frameAtMs)));
  }

  // A change that comes alone (the clock's second) and a change after
  // which the line went quiet (the answer to a send) are painted without
  // the gathering wait; a quiet line with nothing waiting leaves the next
  // change to gather as before.
  void aLoneOrSettledChangeIsPaintedWithoutTheGatheringWait() {
    ThrottledLabel shown;
    QLabel* label = shown.label;
    PaintThrottle* throttle = shown.throttle;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.window));
    PaintCounter counter(label);
    const auto quietSpell = [&] {
      QTest::qWait(3 * PaintThrottle::kMinIntervalMs);
      counter.paints = 0;
    };

    quietSpell();
    throttle->ComesAlone();
    label->setText(QStringLiteral("second"));
    label->repaint();  // painted within the call
    QCOMPARE(counter.paints, 1);
    QCOMPARE(counter.painted, QStringLiteral("second"));

    quietSpell();
    label->setText(QStringLiteral("answer"));
    QCoreApplication::processEvents();  // held for company
    QCOMPARE(counter.paints, 0);
    throttle->Settled();  // painted within the call
    QCOMPARE(counter.paints, 1);
    QCOMPARE(counter.painted, QStringLiteral("answer"));

    quietSpell();
    throttle->Settled();  // nothing waits: no effect on what follows
    label->setText(QStringLiteral("sent"));
    QCoreApplication::processEvents();
    QCOMPARE(counter.paints, 0);
    QTRY_COMPARE(counter.painted, QStringLiteral("sent"));
  }

  // In a stream of packets a change that comes within a frame of the last
  // paint waits, past the frame time, for the next packet to settle the line
  // (a wake-up that comes anyway), and at the latest a frame after it came.
  void aChangeInAStreamWaitsForTheNextSettledLine() {
    ThrottledLabel shown;
    QLabel* label = shown.label;
    PaintThrottle* throttle = shown.throttle;
    QVERIFY(shown.ShownAndQuiet());
    PaintCounter counter(label);
    throttle->ComesAlone();
    label->setText(QStringLiteral("first"));
    label->repaint();
    QCOMPARE(counter.paints, 1);
    QElapsedTimer sincePaint;
    sincePaint.start();
    const auto runUntil = [&](qint64 ms) {
      while (sincePaint.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    };
    runUntil(15);
    label->setText(QStringLiteral("stream"));
    QCoreApplication::processEvents();
    const qint64 cameAt = sincePaint.elapsed();
    runUntil(PaintThrottle::kMinIntervalMs + 8);
    if (cameAt > 25 || sincePaint.elapsed() - cameAt > PaintThrottle::kMinIntervalMs - 3)
      QSKIP("the machine delayed the steps of this test");
    QCOMPARE(counter.paints, 1);  // the frame time has passed, the line is not settled
    throttle->Settled();
    QCOMPARE(counter.paints, 2);
    QCOMPARE(counter.painted, QStringLiteral("stream"));
    // Without a settled line it is painted all the same.
    runUntil(PaintThrottle::kMinIntervalMs + 20);
    label->setText(QStringLiteral("last"));
    QTRY_COMPARE(counter.painted, QStringLiteral("last"));
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
