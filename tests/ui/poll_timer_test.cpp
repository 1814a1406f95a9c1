#include "ui/poll_timer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <chrono>

namespace velmora::ui {
namespace {

using std::chrono::microseconds;

// Runs the event loop for `ms` and returns the ticks seen in it.
int TicksWithin(PollTimer& timer, int ms) {
  QSignalSpy ticks(&timer, &PollTimer::timeout);
  QTest::qWait(ms);
  return static_cast<int>(ticks.count());
}

}  // namespace

class PollTimerTest : public QObject {
  Q_OBJECT

 private slots:
  // The single tick comes once, not before its delay, and then the timer
  // rests; a delay of 0 or less ticks at the event loop's next pass.
  void aSingleTickComesOnceAfterItsDelay_data() {
    QTest::addColumn<int>("us");
    QTest::newRow("2.5 ms") << 2500;
    QTest::newRow("1 s and a bit") << 1000300;
    QTest::newRow("0") << 0;
    QTest::newRow("negative") << -5;
  }
  void aSingleTickComesOnceAfterItsDelay() {
    QFETCH(int, us);
    PollTimer timer;
    QSignalSpy ticks(&timer, &PollTimer::timeout);
    QElapsedTimer since;
    since.start();
    timer.StartOnce(microseconds(us));
    QVERIFY(timer.IsActive());
    QVERIFY(!timer.TicksEveryMillisecond());
    QVERIFY(ticks.wait(5000));
    QVERIFY(since.nsecsElapsed() >= std::int64_t{us} * 1000);
    QVERIFY(!timer.IsActive());
    QCOMPARE(TicksWithin(timer, 30), 0);
    QCOMPARE(ticks.count(), 1);
  }

  // A stop takes back a tick whose time has come but that the event loop
  // has not yet delivered.
  void aStopTakesBackATickNotYetDelivered() {
    PollTimer timer;
    timer.StartOnce(microseconds(1));
    QElapsedTimer busy;
    busy.start();
    while (busy.elapsed() < 3) {
    }
    timer.Stop();
    QVERIFY(!timer.IsActive());
    QCOMPARE(TicksWithin(timer, 30), 0);
  }

  // Starting again replaces the pending tick; switching between the two
  // kinds leaves only the new one.
  void aNewStartReplacesThePendingTick() {
    PollTimer timer;
    timer.StartOnce(microseconds(1000000));
    timer.StartOnce(microseconds(2000));
    QSignalSpy ticks(&timer, &PollTimer::timeout);
    QVERIFY(ticks.wait(5000));
    QCOMPARE(TicksWithin(timer, 30), 0);

    timer.StartOnce(microseconds(1000));
    timer.StartEveryMillisecond();
    QVERIFY(timer.TicksEveryMillisecond());
    QVERIFY(TicksWithin(timer, 100) >= 5);
    timer.StartOnce(microseconds(3000));
    QVERIFY(!timer.TicksEveryMillisecond());
    QCOMPARE(TicksWithin(timer, 100), 1);
    timer.StartEveryMillisecond();
    timer.Stop();
    QVERIFY(!timer.IsActive());
    QCOMPARE(TicksWithin(timer, 30), 0);
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::PollTimerTest)
#include "poll_timer_test.moc"
