#include "app/hover_help.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/cp1251.h"

namespace velmora {

void PrintTo(const ScreenPoint& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

namespace {

// The help panel and the mouse as the hover help sees them.
class HoverHelpTest : public ::testing::Test {
 protected:
  HoverHelpTest()
      : help_([this] { return Cursor(); },
              {.clearHelp = [this] { ++clears_; },
               .showTopic = [this](HelpTopic topic) { shown_.push_back(topic); }}) {}

  ScreenPoint Cursor() {
    ++cursorQueries_;
    return cursor_;
  }
  void MoveOver(std::string_view control, ScreenPoint at) {
    cursor_ = at;
    help_.MouseMoved(HoverRoleOf(control), at);
  }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) help_.Tick();
  }

  ScreenPoint cursor_{500, 300};
  int clears_ = 0;
  int cursorQueries_ = 0;
  std::vector<HelpTopic> shown_;
  HoverHelp help_;
};

using Topics = std::vector<HelpTopic>;

TEST_F(HoverHelpTest, RestingOnAControlShowsItsTopicAtTheHundredthTick) {
  MoveOver("BTRescan", {100, 10});
  EXPECT_EQ(clears_, 1);
  EXPECT_EQ(help_.Countdown(HelpTopic::Rescan), 100);
  Ticks(99);
  EXPECT_EQ(shown_, Topics{});
  EXPECT_EQ(help_.Countdown(HelpTopic::Rescan), 1);
  Ticks(1);
  EXPECT_EQ(shown_, Topics{HelpTopic::Rescan});
  EXPECT_EQ(help_.Countdown(HelpTopic::Rescan), 0);
  Ticks(200);
  EXPECT_EQ(shown_, Topics{HelpTopic::Rescan}) << "a countdown fires once";
}

TEST_F(HoverHelpTest, AOnePixelMoveEmptiesThePanelAndRestartsTheCountdown) {
  MoveOver("BTRescan", {100, 10});
  Ticks(60);
  MoveOver("BTRescan", {101, 10});
  EXPECT_EQ(clears_, 2);
  EXPECT_EQ(help_.Countdown(HelpTopic::Rescan), 100);
  Ticks(99);
  EXPECT_EQ(shown_, Topics{}) << "159 ticks after the first move, 99 after the last";
  Ticks(1);
  EXPECT_EQ(shown_, Topics{HelpTopic::Rescan});
}

TEST_F(HoverHelpTest, AOnePixelMoveAwayBeforeTheEndShowsNothing) {
  MoveOver("BTRescan", {100, 10});
  Ticks(50);
  cursor_ = {100, 11};  // off the control, onto an area without a role
  help_.MouseMoved(HoverRoleOf("ComPort"), cursor_);
  Ticks(50);
  EXPECT_EQ(shown_, Topics{});
  EXPECT_EQ(clears_, 1);
}

TEST_F(HoverHelpTest, MovingOntoAnotherTopicControlShowsOnlyTheLastOne) {
  MoveOver("BTConnect", {20, 10});
  Ticks(30);
  MoveOver("BTRescan", {90, 10});
  EXPECT_EQ(help_.Countdown(HelpTopic::Connect), 70) << "leaving does not stop the countdown";
  Ticks(70);
  EXPECT_EQ(shown_, Topics{}) << "BTConnect's anchor differs from where the mouse rests";
  EXPECT_TRUE(help_.HasWork());
  Ticks(30);
  EXPECT_EQ(shown_, Topics{HelpTopic::Rescan});
  EXPECT_FALSE(help_.HasWork());
}

TEST_F(HoverHelpTest, TheAnchorIsTakenAtTheFirstTickNotAtTheMove) {
  MoveOver("BTConnect", {20, 10});
  EXPECT_EQ(help_.Anchor(HelpTopic::Connect), (ScreenPoint{0, 0})) << "no anchor yet";
  cursor_ = {400, 200};  // left the control before the first tick and rests outside
  Ticks(1);
  EXPECT_EQ(help_.Anchor(HelpTopic::Connect), (ScreenPoint{400, 200}));
  EXPECT_EQ(help_.Countdown(HelpTopic::Connect), 99);
  Ticks(99);
  EXPECT_EQ(shown_, Topics{HelpTopic::Connect});
}

TEST_F(HoverHelpTest, TheConsoleLineAndTheTailTakeTheAnchorAtOnce) {
  for (const auto& [control, topic] :
       {std::pair{"MainStrCmd", HelpTopic::Consol}, std::pair{"AddStrCmd", HelpTopic::AddConsol}}) {
    MoveOver(control, {321, 654});
    EXPECT_EQ(help_.Anchor(topic), (ScreenPoint{321, 654})) << control;
    EXPECT_EQ(help_.Anchor(HelpTopic::Connect), (ScreenPoint{0, 0})) << control;
  }
}

TEST_F(HoverHelpTest, AsksForTheCursorOnlyAtTheStartAndTheEndOfACountdown) {
  MoveOver("FiltrLog", {600, 12});
  EXPECT_EQ(cursorQueries_, 0);
  Ticks(1);
  EXPECT_EQ(cursorQueries_, 1);
  Ticks(98);
  EXPECT_EQ(cursorQueries_, 1);
  Ticks(1);
  EXPECT_EQ(cursorQueries_, 2);
  Ticks(100);
  EXPECT_EQ(cursorQueries_, 2) << "resting costs no query";
  MoveOver("MainStrCmd", {100, 470});
  EXPECT_EQ(cursorQueries_, 2) << "the console line's anchor comes with the move";
  EXPECT_EQ(help_.Anchor(HelpTopic::Consol), (ScreenPoint{100, 470}));
}

TEST_F(HoverHelpTest, CountdownsEndingOnTheSameTickShareOneCursorQuery) {
  MoveOver("RBManual", {50, 420});
  MoveOver("RBSel", {50, 440});
  Ticks(1);
  EXPECT_EQ(cursorQueries_, 1);
  EXPECT_EQ(help_.Anchor(HelpTopic::ModeManual), (ScreenPoint{50, 440}));
  Ticks(99);
  EXPECT_EQ(cursorQueries_, 2);
  EXPECT_EQ(shown_, (Topics{HelpTopic::ModeManual, HelpTopic::ModeSel}))
      << "both anchors are where the mouse rests; topic 6 writes last and wins";
}

TEST_F(HoverHelpTest, ZeroingTheCountdownsStopsEveryPendingTopic) {
  EXPECT_FALSE(help_.HasWork());
  MoveOver("RBPeriod", {10, 10});
  Ticks(40);
  MoveOver("CiklSend", {10, 10});
  EXPECT_TRUE(help_.HasWork());
  help_.ZeroCountdowns();
  EXPECT_FALSE(help_.HasWork());
  Ticks(150);
  EXPECT_EQ(shown_, Topics{});
  EXPECT_EQ(cursorQueries_, 1) << "idle countdowns ask nothing";
}

// Every control's effect: moved over, then resting for a hundred ticks.
struct RoleRow {
  const char* control;
  int clears;                      // after the move
  std::optional<HelpTopic> topic;  // shown after the rest
  const char* title;               // the title the panel then shows
};

TEST(HoverHelpRoles, EachControlClearsStartsItsTopicOrLeavesThePanel) {
  const std::vector<RoleRow> rows = {
      {"BTConnect", 1, HelpTopic::Connect, "Создание соединения"},
      {"BTRescan", 1, HelpTopic::Rescan, "Сканирование доступных COM-портов"},
      {"AutoConnect", 1, HelpTopic::AutoConnect, "Автосоединение с COM-портом"},
      {"TimeOutAns", 1, HelpTopic::TimeRX, "Время накопления принимаемых данных"},
      {"FiltrLog", 1, HelpTopic::Filtr, "Фильрация сообщений лога"},
      {"RBManual", 1, HelpTopic::ModeManual, "Отправка команд вручную"},
      {"RBSel", 1, HelpTopic::ModeSel, "Отправка команд при выборе"},
      {"RBAfterAns", 1, HelpTopic::ModeAfterAns, "Отправка команды после ответа"},
      {"RBPeriod", 1, HelpTopic::ModePeriod, "Периодическая отправка команд"},
      {"SendAsReconn", 1, HelpTopic::ForConnect, "Отправка команд после соединения"},
      {"MainStrCmd", 1, HelpTopic::Consol, "Консольная строка"},
      {"AddStrCmd", 1, HelpTopic::AddConsol, "Хвост пакета"},
      {"CiklSend", 1, HelpTopic::CiklSend, "Циклическая отправка"},
      {"MainWindow", 1, std::nullopt, ""},
      {"SecondWindow", 1, std::nullopt, ""},
      {"Panel1", 1, std::nullopt, ""},
      {"LogPanel", 1, std::nullopt, ""},
      {"MainPanel", 1, std::nullopt, ""},
      {"EditAllCmd", 1, std::nullopt, ""},
      {"DelList", 1, std::nullopt, ""},
      {"OldCommandsBT", 1, std::nullopt, ""},
      {"ListInc", 1, std::nullopt, ""},
      {"ListDec", 1, std::nullopt, ""},
      {"ButtonReadFile", 1, std::nullopt, ""},
      {"SendStart", 1, std::nullopt, ""},
      {"ButtonSend", 1, std::nullopt, ""},
      // Everything else leaves the panel alone.
      {"ComPort", 0, std::nullopt, ""},
      {"BaudRate", 0, std::nullopt, ""},
      {"ComBits", 0, std::nullopt, ""},
      {"ComStopBits", 0, std::nullopt, ""},
      {"TimeOutRx", 0, std::nullopt, ""},
      {"Srift", 0, std::nullopt, ""},
      {"SriftText", 0, std::nullopt, ""},
      {"BTLog", 0, std::nullopt, ""},
      {"StartLog", 0, std::nullopt, ""},
      {"StartStop", 0, std::nullopt, ""},
      {"BTPalitra", 0, std::nullopt, ""},
      {"BtInfo", 0, std::nullopt, ""},
      {"STH1", 0, std::nullopt, ""},
      {"STH12", 0, std::nullopt, ""},
      {"TextTime", 0, std::nullopt, ""},
      {"VisTime", 0, std::nullopt, ""},
      {"RBASCII", 0, std::nullopt, ""},
      {"RBHEX", 0, std::nullopt, ""},
      {"PeriodTX", 0, std::nullopt, ""},
      {"OutMode", 0, std::nullopt, ""},
      {"InputMode", 0, std::nullopt, ""},
      {"PStats", 0, std::nullopt, ""},
      {"LSend", 0, std::nullopt, ""},
      {"BTClrStat", 0, std::nullopt, ""},
      {"CBLists", 0, std::nullopt, ""},
      {"SaveF", 0, std::nullopt, ""},
      {"RBName", 0, std::nullopt, ""},
      {"OldCmdList", 0, std::nullopt, ""},
      {"FastOldCmd", 0, std::nullopt, ""},
      {"LBTail", 0, std::nullopt, ""},
      {"STLog", 0, std::nullopt, ""},
      {"Button1", 0, std::nullopt, ""},
      {"Edit48", 0, std::nullopt, ""},
  };
  for (const RoleRow& row : rows) {
    int clears = 0;
    HelpPanelText panel;
    panel.fill("old");
    HoverHelp help(
        [] {
          return ScreenPoint{7, 7};
        },
        {.clearHelp =
             [&] {
               ++clears;
               panel.fill({});
             },
         .showTopic = [&](HelpTopic topic) { panel = HelpTopicText(topic); }});
    help.MouseMoved(HoverRoleOf(row.control), {7, 7});
    EXPECT_EQ(clears, row.clears) << row.control;
    EXPECT_EQ(help.HasWork(), row.topic.has_value()) << row.control;
    for (int i = 0; i < 100; ++i) help.Tick();
    if (row.topic) {
      EXPECT_EQ(HoverRoleOf(row.control), (HoverRole{HoverEffect::Topic, *row.topic}));
      EXPECT_EQ(panel, HelpTopicText(*row.topic)) << row.control;
      EXPECT_EQ(Cp1251ToUtf8(panel[0]), row.title) << row.control;
    } else {
      EXPECT_EQ(panel[0], row.clears == 0 ? "old" : "") << row.control;
    }
  }
}

TEST(HoverHelpRoles, ADisabledControlCountsAsTheFreeAreaOfItsPanel) {
  struct Row {
    const char* control;
    bool enabled;
    const char* parent;
    HoverRole role;
  };
  const HoverRole clear{HoverEffect::Clear, HelpTopic::Connect};
  const std::vector<Row> rows = {
      {"BTRescan", true, "Panel1", {HoverEffect::Topic, HelpTopic::Rescan}},
      {"BTRescan", false, "Panel1", clear},
      {"ListDec", false, "MainPanel", clear},
      {"ComPort", false, "Panel1", clear},
      {"CiklSend", false, "InputMode", {}},
      {"PeriodTX", false, "InputMode", {}},
      {"BTClrStat", false, "PStats", {}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(HoverRoleOfMove(row.control, row.enabled, row.parent), row.role) << row.control;
  }
}

}  // namespace
}  // namespace velmora
