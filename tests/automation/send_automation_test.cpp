// The sequencing of the send modes on a fake window, a hand-set clock and a
// 1 ms TimerPeriod simulated tick by tick.

#include "automation/send_automation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {
namespace {

using Events = std::vector<std::string>;
// What the fake window notes for the all-sent notice.
const std::string kAllSentNotice = "notice";

// The window as the sequencer sees it. Every SendPortData call is noted
// ("send <text>", or "dropped <text>" while the send guard is held), with the
// simulated time when `stamp` is on.
class FakeWindow : public AutomationHost {
 public:
  explicit FakeWindow(const std::int64_t& elapsed) : elapsed_(elapsed) {}

  SendMode ChosenMode() override { return mode; }
  bool FilePanelShown() override { return filePanel; }
  std::size_t FileLineCount() override { return file.size(); }
  Bytes FileLine(std::size_t index) override { return file.at(index); }
  Bytes ConsoleLine() override { return console; }
  Bytes PeriodText() override { return period; }
  bool CiklSendChecked() override { return cikl; }
  bool PortOpen() override { return portOpen; }
  std::uint32_t BytesWaiting() override { return waiting; }
  void SendPortData(const Bytes& command) override {
    Note((sendBusy ? "dropped " : "send ") + command);
  }
  void ShowAllSent() override { Note(kAllSentNotice); }

  void LoadFile(std::vector<Bytes> lines) {
    filePanel = true;
    file = std::move(lines);
  }

  SendMode mode = SendMode::Manual;
  bool filePanel = false;
  std::vector<Bytes> file;
  Bytes console = "con";
  Bytes period = "1000";
  bool cikl = false;
  bool portOpen = true;
  std::uint32_t waiting = 0;
  bool sendBusy = false;
  bool stamp = false;
  Events events;

 private:
  void Note(const std::string& event) {
    events.push_back(stamp ? "@" + std::to_string(elapsed_) + " " + event : event);
  }
  const std::int64_t& elapsed_;
};

class SendAutomationTest : public ::testing::Test {
 protected:
  SendAutomationTest() { clock.Set({2026, 12, 8, 2, 10, 0, 0, 0}); }

  void Choose(SendMode mode) {
    window.mode = mode;
    automation.ModeClicked(mode, false);
  }
  void SendStart() { automation.StartSendCommands(window); }
  void Answer() { automation.AfterAnswer(window); }
  void Tick() { automation.TimerPeriodTimer(window); }

  // TimerPeriod at 1 ms: a tick every millisecond while it is enabled.
  void RunTicking(int ms) {
    for (int i = 0; i < ms; ++i) {
      clock.AdvanceMs(1);
      ++elapsed;
      if (automation.TimerPeriodEnabled()) Tick();
    }
  }

  // TimerPeriod as the window runs it: armed for NextTickDelay, parked when
  // that says nothing is due. Call Wake() after whatever the window wakes
  // the timer on.
  void Wake() {
    const std::optional<int> delay = automation.NextTickDelay(window);
    dueAt = delay ? std::optional<std::int64_t>(elapsed + *delay) : std::nullopt;
  }
  void RunParked(int ms) {
    for (int i = 0; i < ms; ++i) {
      clock.AdvanceMs(1);
      ++elapsed;
      int ticksNow = 0;
      while (dueAt && *dueAt <= elapsed && ticksNow++ < 3) {
        ++parkedTicks;
        Tick();
        Wake();
      }
    }
  }

  ManualClock clock;
  std::int64_t elapsed = 0;
  FakeWindow window{elapsed};
  SendAutomation automation{clock};
  std::optional<std::int64_t> dueAt;
  int parkedTicks = 0;
};

// The edge cases of the send modes with a file of three lines, driven by
// SendStart clicks ('S') and received packets ('A').
struct ScriptRow {
  const char* what;
  SendMode mode;
  bool cikl;
  const char* script;
  Events events;
};

class FileRunScript : public SendAutomationTest, public ::testing::WithParamInterface<ScriptRow> {};

TEST_P(FileRunScript, SendsTheLinesAndTheNoticeInOrder) {
  const ScriptRow& row = GetParam();
  window.LoadFile({"l1", "l2", "l3"});
  automation.FileModeEntered();
  Choose(row.mode);
  window.cikl = row.cikl;
  for (const char* step = row.script; *step; ++step) {
    if (*step == 'S') SendStart();
    if (*step == 'A') Answer();
  }
  EXPECT_EQ(window.events, row.events);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FileRunScript,
    ::testing::Values(
        ScriptRow{"ManualClicksWalkTheFileThenNoticeThenStartOver",
                  SendMode::Manual,
                  false,
                  "SSSSS",
                  {"send l1", "send l2", "send l3", kAllSentNotice, "send l1"}},
        ScriptRow{"ManualIgnoresCiklSend",
                  SendMode::Manual,
                  true,
                  "SSSS",
                  {"send l1", "send l2", "send l3", kAllSentNotice}},
        ScriptRow{"ManualAnswersSendNothing", SendMode::Manual, false, "SAA", {"send l1"}},
        ScriptRow{"AfterAnswerWithoutCiklPausesForOnePacket",
                  SendMode::AfterAnswer,
                  false,
                  "SAAAA",
                  {"send l1", "send l2", "send l3", kAllSentNotice, "send l1"}},
        ScriptRow{"AfterAnswerWithCiklSendsLineOneAtOnce",
                  SendMode::AfterAnswer,
                  true,
                  "SAAAA",
                  {"send l1", "send l2", "send l3", "send l1", "send l2"}},
        ScriptRow{"AfterAnswerSendStartAtTheEndGivesTheNotice",
                  SendMode::AfterAnswer,
                  true,
                  "SSSS",
                  {"send l1", "send l2", "send l3", kAllSentNotice}},
        ScriptRow{"OnSelectSendStartDoesNothing", SendMode::OnSelect, false, "SSA", {}},
        ScriptRow{"PeriodSendStartOnlyEnablesTheTimer", SendMode::Period, false, "SSA", {}}),
    [](const auto& row) { return std::string(row.param.what); });

TEST_F(SendAutomationTest, AnEmptyLineUsesUpItsStep) {
  window.LoadFile({"l1", "", "l3"});
  SendStart();
  SendStart();
  SendStart();
  EXPECT_EQ(window.events, (Events{"send l1", "send ", "send l3"}));
  EXPECT_EQ(automation.FileCmdIndex(), 3u);
}

TEST_F(SendAutomationTest, AfterAnswerWithoutAFileResendsTheConsoleLine) {
  Choose(SendMode::AfterAnswer);
  window.console = "ping";
  Answer();
  Answer();
  EXPECT_EQ(window.events, (Events{"send ping", "send ping"}));
}

TEST_F(SendAutomationTest, AfterAnswerWaitsWhileMoreBytesAreWaiting) {
  Choose(SendMode::AfterAnswer);
  window.waiting = 3;
  Answer();
  EXPECT_TRUE(window.events.empty()) << "the second part of the answer is already waiting";
  window.waiting = 0;
  Answer();
  EXPECT_EQ(window.events, Events{"send con"});
}

TEST_F(SendAutomationTest, OnceTimerPeriodHasTickedTheAfterAnswerEndIsSilent) {
  Choose(SendMode::Period);
  RunTicking(1);
  ASSERT_TRUE(automation.PeriodTicked());
  window.events.clear();
  window.LoadFile({"l1", "l2", "l3"});
  automation.FileModeEntered();
  Choose(SendMode::AfterAnswer);
  SendStart();
  Answer();
  Answer();
  Answer();
  Answer();
  EXPECT_EQ(window.events, (Events{"send l1", "send l2", "send l3", "send l1"}));
}

TEST_F(SendAutomationTest, StartSendCommandsNoticeIsShownEvenAfterTicks) {
  window.period = "";
  Choose(SendMode::Period);
  RunTicking(1);
  window.LoadFile({});
  Choose(SendMode::Manual);
  SendStart();
  EXPECT_EQ(window.events, Events{kAllSentNotice});
}

TEST_F(SendAutomationTest, ABusySendIsDroppedAndTheIndexStillAdvances) {
  window.LoadFile({"l1", "l2", "l3"});
  window.sendBusy = true;
  SendStart();
  window.sendBusy = false;
  SendStart();
  EXPECT_EQ(window.events, (Events{"dropped l1", "send l2"}));
  EXPECT_EQ(automation.FileCmdIndex(), 2u);
}

TEST_F(SendAutomationTest, SendStartAdvancesEvenWhileThePortIsClosed) {
  // SendPortData reports the closed port; the file walks on.
  window.LoadFile({"l1", "l2"});
  window.portOpen = false;
  SendStart();
  EXPECT_EQ(window.events, Events{"send l1"});
  EXPECT_EQ(automation.FileCmdIndex(), 1u);
}

TEST_F(SendAutomationTest, AFileThatFailedToOpenSendsNothingAndGivesTheNotice) {
  window.LoadFile({});
  automation.FileModeEntered();
  SendStart();
  Choose(SendMode::AfterAnswer);
  window.cikl = true;
  Answer();
  EXPECT_EQ(window.events, Events{kAllSentNotice});
}

TEST_F(SendAutomationTest, ModesNeverTouchTheIndexNorStopTheTimer) {
  window.LoadFile({"l1", "l2", "l3"});
  SendStart();
  Choose(SendMode::Period);
  for (SendMode mode : {SendMode::Manual, SendMode::AfterAnswer, SendMode::OnSelect}) {
    Choose(mode);
    EXPECT_EQ(automation.FileCmdIndex(), 1u);
    EXPECT_TRUE(automation.TimerPeriodEnabled());
  }
  automation.FileModeEntered();
  EXPECT_EQ(automation.FileCmdIndex(), 0u) << "a new file starts at line 0";
}

TEST_F(SendAutomationTest, SendOnConnectTakesTheFileInFileModeElseTheConsole) {
  automation.CheckSendDataAftConnect(window);
  window.LoadFile({"l1"});
  automation.CheckSendDataAftConnect(window);
  automation.CheckSendDataAftConnect(window);
  EXPECT_EQ(window.events, (Events{"send con", "send l1", kAllSentNotice}));
}

struct ModeRow {
  SendMode mode;
  bool historyShown;
  ModeControls controls;
};

class ModeTable : public ::testing::TestWithParam<ModeRow> {};

TEST_P(ModeTable, GivesTheEnabledStatesOfTheThreeControls) {
  const ModeRow row = GetParam();
  ManualClock clock;
  SendAutomation automation(clock);
  const ModeControls got = automation.ModeClicked(row.mode, row.historyShown);
  EXPECT_EQ(got.oldCmdList, row.controls.oldCmdList);
  EXPECT_EQ(got.sendStart, row.controls.sendStart);
  EXPECT_EQ(got.ciklSend, row.controls.ciklSend);
  EXPECT_EQ(got.enablesTimerPeriod, row.controls.enablesTimerPeriod);
  EXPECT_EQ(automation.TimerPeriodEnabled(), row.controls.enablesTimerPeriod);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ModeTable,
    ::testing::Values(ModeRow{SendMode::Manual, false, {true, true, false, false}},
                      ModeRow{SendMode::Manual, true, {true, true, false, false}},
                      ModeRow{SendMode::AfterAnswer, false, {true, true, true, false}},
                      ModeRow{SendMode::AfterAnswer, true, {false, true, true, false}},
                      ModeRow{SendMode::OnSelect, false, {true, false, false, false}},
                      ModeRow{SendMode::OnSelect, true, {true, false, false, false}},
                      ModeRow{SendMode::Period, false, {true, true, true, true}},
                      ModeRow{SendMode::Period, true, {false, true, true, true}}));

// Periodic sending with the 1 ms timer, times in ms from the start.
struct PeriodRow {
  const char* what;
  bool file;
  bool cikl;
  const char* period;
  int runMs;
  Events events;
};

class PeriodicRun : public SendAutomationTest, public ::testing::WithParamInterface<PeriodRow> {};

TEST_P(PeriodicRun, SendsWhenThePeriodHasPassed) {
  const PeriodRow& row = GetParam();
  window.stamp = true;
  window.period = row.period;
  window.cikl = row.cikl;
  if (row.file) window.LoadFile({"l1", "l2", "l3"});
  window.mode = SendMode::Period;
  if (row.file) {
    SendStart();
  } else {
    Choose(SendMode::Period);
  }
  RunTicking(row.runMs);
  EXPECT_EQ(window.events, row.events);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PeriodicRun,
    ::testing::Values(
        PeriodRow{"FileWithoutCiklEndsWithTheNotice",
                  true,
                  false,
                  "1000",
                  6000,
                  {"@1 send l1", "@1002 send l2", "@2003 send l3", "@3004 " + kAllSentNotice}},
        PeriodRow{
            "FileWithCiklRestsOnePeriodThenStartsOver",
            true,
            true,
            "1000",
            5006,
            {"@1 send l1", "@1002 send l2", "@2003 send l3", "@4005 send l1", "@5006 send l2"}},
        PeriodRow{"ConsoleLineForEver",
                  false,
                  false,
                  "500",
                  1504,
                  {"@1 send con", "@502 send con", "@1003 send con", "@1504 send con"}},
        PeriodRow{"EmptyPeriodSendsNothing", false, false, "", 3000, {}},
        PeriodRow{"ZeroSendsOnEveryMillisecond",
                  false,
                  false,
                  "0",
                  3,
                  {"@1 send con", "@2 send con", "@3 send con"}},
        PeriodRow{"NegativeSendsNothing", false, false, "-5", 3000, {}},
        PeriodRow{"SignedSendsNothing", false, false, "+5", 3000, {}},
        PeriodRow{"LettersSendNothing", false, false, "12a", 3000, {}},
        PeriodRow{"BeyondInt32SendsNothing", false, false, "2147483648", 3000, {}},
        PeriodRow{"LeadingZerosCount",
                  false,
                  false,
                  "0010",
                  23,
                  {"@1 send con", "@12 send con", "@23 send con"}}),
    [](const auto& row) { return std::string(row.param.what); });

TEST_F(SendAutomationTest, PeriodZeroSendsOncePerClockStep) {
  window.period = "0";
  Choose(SendMode::Period);
  Tick();
  Tick();
  Tick();
  EXPECT_EQ(window.events, Events{"send con"}) << "the clock has not advanced";
}

TEST_F(SendAutomationTest, AClosedPortSendsNothingAndKeepsTheLastSend) {
  window.LoadFile({"l1", "l2", "l3"});
  window.mode = SendMode::Period;
  window.stamp = true;
  SendStart();
  RunTicking(1);
  const std::int32_t last = automation.LastPeriodSend();
  window.portOpen = false;
  RunTicking(5000);
  EXPECT_EQ(automation.LastPeriodSend(), last);
  EXPECT_EQ(automation.FileCmdIndex(), 1u);
  window.portOpen = true;
  RunTicking(1);
  EXPECT_EQ(window.events, (Events{"@1 send l1", "@5002 send l2"}));
}

TEST_F(SendAutomationTest, CrossesMidnightWithTheExactPeriod) {
  clock.Set({2026, 12, 8, 2, 23, 59, 59, 0});
  window.stamp = true;
  Choose(SendMode::Period);
  RunTicking(3004);
  EXPECT_EQ(window.events,
            (Events{"@1 send con", "@1002 send con", "@2003 send con", "@3004 send con"}));
  EXPECT_LT(automation.LastPeriodSend(), 86'400'000);
}

TEST_F(SendAutomationTest, AClockSetBackGivesOneEarlySendThenThePeriod) {
  window.stamp = true;
  Choose(SendMode::Period);
  RunTicking(1);
  clock.AdvanceMs(-3'600'000);
  RunTicking(1002);
  EXPECT_EQ(window.events, (Events{"@1 send con", "@2 send con", "@1003 send con"}));
}

TEST_F(SendAutomationTest, OutsidePeriodModeATickOnlyMarksPeriodTicked) {
  window.LoadFile({"l1"});
  Choose(SendMode::Period);
  Choose(SendMode::AfterAnswer);
  RunTicking(3000);
  EXPECT_TRUE(window.events.empty());
  EXPECT_TRUE(automation.PeriodTicked());
  EXPECT_TRUE(automation.TimerPeriodEnabled()) << "the timer keeps running";
}

TEST_F(SendAutomationTest, TheNoticeOfAPeriodicRunClearsPeriodTicked) {
  window.LoadFile({"l1"});
  window.mode = SendMode::Period;
  SendStart();
  RunTicking(1002);
  EXPECT_EQ(window.events, (Events{"send l1", kAllSentNotice}));
  EXPECT_FALSE(automation.PeriodTicked());
  EXPECT_FALSE(automation.TimerPeriodEnabled());
}

TEST_F(SendAutomationTest, CyclicReenableOnlyWhenNotEnabledAlready) {
  struct Row {
    bool cikl;
    SendMode mode;
    bool enabledBefore;
    bool enables;
  };
  const Row rows[] = {
      {true, SendMode::Period, false, true},   {true, SendMode::Period, true, false},
      {false, SendMode::Period, false, false}, {true, SendMode::AfterAnswer, false, false},
      {true, SendMode::Manual, false, false},  {true, SendMode::OnSelect, false, false},
  };
  for (const Row& row : rows) {
    SendAutomation fresh(clock);
    if (row.enabledBefore) fresh.EnableTimerPeriod();
    EXPECT_EQ(fresh.CyclicReenable(row.cikl, row.mode), row.enables);
    EXPECT_EQ(fresh.TimerPeriodEnabled(), row.enables || row.enabledBefore);
  }
}

TEST_F(SendAutomationTest, CheckingCiklAfterAnEndedRunStartsTheFileWithinOnePeriod) {
  window.LoadFile({"l1"});
  window.mode = SendMode::Period;
  window.stamp = true;
  SendStart();
  RunTicking(3000);
  ASSERT_FALSE(automation.TimerPeriodEnabled());
  window.cikl = true;
  ASSERT_TRUE(automation.CyclicReenable(window.cikl, window.mode));
  RunTicking(1001);
  EXPECT_EQ(window.events, (Events{"@1 send l1", "@1002 " + kAllSentNotice, "@3001 send l1"}));
}

// The parked timer gives the very sends of the 1 ms one, with few ticks.
TEST_F(SendAutomationTest, AParkedTimerSendsAtTheSameMomentsWithFewTicks) {
  window.stamp = true;
  window.LoadFile({"l1", "l2", "l3"});
  window.cikl = true;
  window.mode = SendMode::Period;
  SendStart();
  Wake();
  RunParked(10'000);
  EXPECT_EQ(window.events,
            (Events{"@1 send l1", "@1002 send l2", "@2003 send l3", "@4005 send l1",
                    "@5006 send l2", "@6007 send l3", "@8009 send l1", "@9010 send l2"}));
  // One tick a period, plus re-arms after at most a second.
  EXPECT_LE(parkedTicks, 25);
}

TEST_F(SendAutomationTest, NextTickDelayParksWhenNothingIsDue) {
  EXPECT_EQ(automation.NextTickDelay(window), std::nullopt) << "disabled";
  Choose(SendMode::Period);
  Choose(SendMode::Manual);
  EXPECT_EQ(automation.NextTickDelay(window), 1) << "the first tick sets PeriodTicked";
  Tick();
  EXPECT_EQ(automation.NextTickDelay(window), std::nullopt) << "outside the periodic mode";
  Choose(SendMode::Period);
  window.portOpen = false;
  EXPECT_EQ(automation.NextTickDelay(window), std::nullopt) << "a port open wakes it";
  window.portOpen = true;
  window.period = "";
  EXPECT_EQ(automation.NextTickDelay(window), std::nullopt) << "an edit of PeriodTX wakes it";
  window.period = "300";
  EXPECT_EQ(automation.NextTickDelay(window), 0) << "the period passed long ago";
  Tick();
  EXPECT_EQ(automation.NextTickDelay(window), 301);
  clock.AdvanceMs(100);
  EXPECT_EQ(automation.NextTickDelay(window), 201) << "a tick too early re-arms for the rest";
  window.period = "60000";
  EXPECT_EQ(automation.NextTickDelay(window), 1000) << "never sleeps longer than a second";
}

}  // namespace
}  // namespace velmora
