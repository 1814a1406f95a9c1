// The housekeeping tick's step list and the log sink both paths write to.

#include "ui/housekeeping.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <algorithm>
#include <string>
#include <vector>

#include "app/hover_help.h"
#include "common/clock.h"
#include "ui/log_sink.h"
#include "ui/widgets/clock_label.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"

using namespace velmora;
using namespace velmora::ui;

namespace {

// A log file that notes each line and fails when told to.
class NotingLogFile : public LogFileWriter {
 public:
  bool WriteLogFile(const Bytes& line) override {
    lines.push_back(line);
    return works;
  }
  std::vector<Bytes> lines;
  bool works = true;
};

}  // namespace

// The controls and duties of the window's own steps.
struct StepWorld {
  LimitedEdit console;
  QListWidget dropDown;
  LogWindow log;
  ClockLabel clockLabel;
  ManualClock clock;
  std::vector<int> wakes;
  std::vector<std::string> shown;
  int newSeconds = 0;
  HoverHelp hover{
      [] { return ScreenPoint{}; },
      {.clearHelp = [] {}, .showTopic = [this](HelpTopic) { shown.push_back("topic"); }}};
  HousekeepingControls Controls() {
    return {&console,
            &dropDown,
            &log,
            {},
            &clockLabel,
            &clock,
            [this](int ms) { wakes.push_back(ms); },
            [this] { ++newSeconds; },
            &hover};
  }
  // The step of that name (its state is shared with the copy).
  HousekeepingStep Step(const std::string& name) {
    for (const HousekeepingStep& step : CustomFunctionsSteps(Controls()))
      if (step.name == name) return step;
    return {"none", [] { return false; }};
  }
};

class HousekeepingTest : public QObject {
  Q_OBJECT

 private slots:
  void theStepsRunConsoleWidthLogLinesClockThenTheHelpCountdowns() {
    StepWorld world;
    std::vector<std::string> names;
    for (const HousekeepingStep& step : CustomFunctionsSteps(world.Controls()))
      names.emplace_back(step.name);
    // Each step's position: a step added between them keeps this order.
    const auto at = [&](const char* name) {
      return std::find(names.begin(), names.end(), name) - names.begin();
    };
    QVERIFY(at("FollowConsoleWidth") == 0);
    QVERIFY(at("LimitLogLines") == 1);
    QVERIFY(at("ShowClock") == 2);
    QVERIFY(at("HelpCountdowns") == static_cast<std::ptrdiff_t>(names.size()) - 1);
  }

  void theClockStepShowsTwentyFourHourTimeAndWaitsForTheNextSecond() {
    StepWorld world;
    LocalTime t;
    t.hour = 23;
    t.minute = 5;
    t.second = 9;
    t.millisecond = 250;
    world.clock.Set(t);
    const HousekeepingStep clock = world.Step("ShowClock");
    QVERIFY(!clock.run());  // no work for the 10 ms tick
    QCOMPARE(world.clockLabel.text(), QStringLiteral("23:05:09"));
    QCOMPARE(world.wakes, std::vector<int>{750});
    world.clock.AdvanceMs(750);
    clock.run();
    QCOMPARE(world.clockLabel.text(), QStringLiteral("23:05:10"));
    QCOMPARE(world.wakes.back(), 1000);
  }

  // The port watch runs on the clock's wake-up: once for each new second
  // shown, not for the first time shown, nor for a tick within the second.
  void theOnceASecondDutyRunsWhenTheShownSecondChanges() {
    StepWorld world;
    LocalTime t;
    t.hour = 12;
    t.millisecond = 900;
    world.clock.Set(t);
    const HousekeepingStep clock = world.Step("ShowClock");
    clock.run();
    QCOMPARE(world.newSeconds, 0);
    world.clock.AdvanceMs(50);
    clock.run();
    QCOMPARE(world.newSeconds, 0);
    world.clock.AdvanceMs(50);
    clock.run();
    QCOMPARE(world.newSeconds, 1);
    world.clock.AdvanceMs(1000);
    clock.run();
    clock.run();
    QCOMPARE(world.newSeconds, 2);
  }

  void theHelpStepKeepsTheTickRunningWhileACountdownRuns() {
    StepWorld world;
    Housekeeping tick(CustomFunctionsSteps(world.Controls()));
    world.hover.MouseMoved(HoverRoleOf("BTConnect"), {0, 0});
    tick.Wake();
    for (int i = 0; i < 99; ++i) tick.CustomFunctionsTimer();
    QVERIFY(tick.Timer().isActive());
    QVERIFY(world.shown.empty());
    tick.CustomFunctionsTimer();
    QCOMPARE(world.shown.size(), std::size_t{1});
    QVERIFY(!tick.Timer().isActive());
  }

  void theClockWakeRunsATickAtOnceWhenTheTickRests() {
    int runs = 0;
    Housekeeping tick({{"count", [&] {
                          ++runs;
                          return false;
                        }}});
    tick.WakeIn(1);
    QTRY_COMPARE(runs, 1);
    QVERIFY(!tick.Timer().isActive());
  }

  void aTickRunsEveryStepInOrderAndRestsWhenNoneHasWork() {
    std::vector<std::string> ran;
    Housekeeping tick({{"first",
                        [&] {
                          ran.push_back("first");
                          return false;
                        }},
                       {"second", [&] {
                          ran.push_back("second");
                          return false;
                        }}});
    tick.Wake();
    QVERIFY(tick.Timer().isActive());
    tick.CustomFunctionsTimer();
    QCOMPARE(ran, (std::vector<std::string>{"first", "second"}));
    QVERIFY(!tick.Timer().isActive());
  }

  void aStepWithWorkLeftKeepsTheTickRunningUntilItIsDone() {
    int left = 2;
    int others = 0;
    Housekeeping tick({{"counting", [&] { return --left > 0; }}, {"idle", [&] {
                                                                    ++others;
                                                                    return false;
                                                                  }}});
    tick.Wake();
    tick.CustomFunctionsTimer();
    QVERIFY(tick.Timer().isActive());
    tick.CustomFunctionsTimer();
    QVERIFY(!tick.Timer().isActive());
    QCOMPARE(others, 2);  // a step with work does not cut the list short
  }

  void theSinkWritesTheLogTheCountersAndTheAttachedLogFile() {
    LogWindow log;
    QLabel counters, send, read, minGap, maxGap;
    LogSink sink({&log, &counters, &send, &read, &minGap, &maxGap});
    QVERIFY(sink.WriteLogFile("before"));  // no log file: nothing to fail
    NotingLogFile file;
    sink.SetLogFileWriter(&file);
    sink.AppendLogLine("line");
    QVERIFY(sink.WriteLogFile("line"));
    file.works = false;
    QVERIFY(!sink.WriteLogFile("lost"));
    sink.ShowByteCounters("TX: 1 RX: 2");
    sink.ShowSendCount("Send: 1");
    sink.ShowReadCount("Read: 2");
    sink.ShowGaps("MIN_T_W:  3", "MAX_T_W: 4");
    QCOMPARE(log.Entries(), QStringList{"line"});
    QCOMPARE(file.lines, (std::vector<Bytes>{"line", "lost"}));
    QCOMPARE(counters.text(), QStringLiteral("TX: 1 RX: 2"));
    QCOMPARE(send.text(), QStringLiteral("Send: 1"));
    QCOMPARE(read.text(), QStringLiteral("Read: 2"));
    QCOMPARE(minGap.text(), QStringLiteral("MIN_T_W:  3"));
    QCOMPARE(maxGap.text(), QStringLiteral("MAX_T_W: 4"));
    sink.SetLogFileWriter(nullptr);
    QVERIFY(sink.WriteLogFile("after"));
    QCOMPARE(file.lines.size(), std::size_t{2});
  }
};

QTEST_MAIN(HousekeepingTest)
#include "housekeeping_test.moc"
