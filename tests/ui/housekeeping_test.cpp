// The housekeeping tick's step list and the log sink both paths write to.

#include "ui/housekeeping.h"

#include <QLabel>
#include <QTest>
#include <string>
#include <vector>

#include "ui/log_sink.h"
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

class HousekeepingTest : public QObject {
  Q_OBJECT

 private slots:
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
