#include "layout/layout_pass.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <utility>
#include <vector>

namespace velmora {

void PrintTo(const VerticalLayout& v, std::ostream* os) {
  *os << "{top " << v.logTop << ", log height " << v.logHeight << ", LogPanel " << v.logPanelTop
      << ", MainPanel " << v.mainPanelTop << "}";
}

void PrintTo(const Span& span, std::ostream* os) {
  *os << "{left " << span.left << ", width " << span.width << "}";
}

namespace {

Span ButtonAt(const HorizontalLayout& layout, int number) {
  return layout.buttons[static_cast<std::size_t>(number - 1)];
}

TEST(ColumnStep, CutsTheSeventhTowardZero) {
  const std::vector<std::pair<int, int>> rows = {{0, 0},   {6, 0},    {7, 1},    {70, 10}, {-6, 0},
                                                 {-7, -1}, {-10, -1}, {-13, -1}, {-14, -2}};
  for (const auto& [delta, step] : rows) EXPECT_EQ(ColumnStep(delta), step) << delta;
}

TEST(DesignLayout, PlacesTheMacroGridInSixColumnsOfEight) {
  const HorizontalLayout& d = DesignLayout();
  EXPECT_EQ(ButtonAt(d, 1), (Span{8, 89}));
  EXPECT_EQ(ButtonAt(d, 8), (Span{8, 89}));
  EXPECT_EQ(ButtonAt(d, 9), (Span{96, 89}));
  EXPECT_EQ(ButtonAt(d, 40), (Span{360, 89}));
  EXPECT_EQ(ButtonAt(d, 41), (Span{448, 201}));
  EXPECT_EQ(ButtonAt(d, 48), (Span{448, 201}));
  EXPECT_EQ(d.edits, d.buttons);
  for (const Span& line : d.helpLines) EXPECT_EQ(line, (Span{668, 261}));
}

TEST(LayoutPassAtDesignWidth, KeepsEveryDesignValueButTheDerivedOnes) {
  const HorizontalLayout& d = DesignLayout();
  const HorizontalLayout out = LayoutPass({.widthDelta = 0});
  for (std::size_t i = 0; i < kPlacedCount; ++i) {
    const auto control = static_cast<Placed>(i);
    if (control == Placed::OldCmdList || control == Placed::StaticText1) continue;
    EXPECT_EQ(out[control], d[control]) << "control " << i;
  }
  EXPECT_EQ(out[Placed::OldCmdList], (Span{4, 929}));
  EXPECT_EQ(out[Placed::StaticText1], (Span{8, 649}));
  EXPECT_EQ(out.buttons, d.buttons);
  EXPECT_EQ(out.edits, d.edits);
  EXPECT_EQ(out.helpLines, d.helpLines);
}

TEST(LayoutPassSeventyWider, MovesTheRightHandControlsAndStretchesTheRest) {
  const HorizontalLayout out = LayoutPass({.widthDelta = 70});
  const std::vector<std::pair<Placed, int>> lefts = {
      {Placed::Srift, 654},      {Placed::SriftText, 674},      {Placed::BTLog, 706},
      {Placed::StartLog, 766},   {Placed::StartStop, 826},      {Placed::BTPalitra, 886},
      {Placed::BtInfo, 946},     {Placed::AddStrCmd, 738},      {Placed::Str1, 706},
      {Placed::Str2, 986},       {Placed::LPlus, 722},          {Placed::EditAllCmd, 372},
      {Placed::SaveF, 458},      {Placed::DelList, 458},        {Placed::OldCommandsBT, 550},
      {Placed::ListDec, 550},    {Placed::ButtonReadFile, 634}, {Placed::ListInc, 634},
      {Placed::RBName, 738},     {Placed::RbData, 738},         {Placed::SendStart, 738},
      {Placed::ButtonSend, 870}, {Placed::LBTail, 738},         {Placed::StaticText3, 738},
      {Placed::PStats, 801}};
  for (const auto& [control, left] : lefts) {
    EXPECT_EQ(out[control].left, left) << static_cast<int>(control);
  }
  const std::vector<std::pair<Placed, int>> widths = {
      {Placed::FiltrLog, 127},    {Placed::MainStrCmd, 711},    {Placed::STLog, 711},
      {Placed::CBLists, 359},     {Placed::STListName, 359},    {Placed::ListNameEDT, 359},
      {Placed::Panel1, 1007},     {Placed::LogPanel, 1007},     {Placed::MainPanel, 1007},
      {Placed::MainWindow, 1007}, {Placed::SecondWindow, 1007}, {Placed::StaticText3, 261}};
  for (const auto& [control, width] : widths) {
    EXPECT_EQ(out[control].width, width) << static_cast<int>(control);
  }
  for (const Span& line : out.helpLines) EXPECT_EQ(line, (Span{738, 261}));
  EXPECT_EQ(out[Placed::OldCmdList], (Span{4, 999}));
}

TEST(LayoutPassSeventyWider, ShiftsMacroColumnsByOneStepEach) {
  const HorizontalLayout out = LayoutPass({.widthDelta = 70});
  EXPECT_EQ(ButtonAt(out, 1), (Span{8, 99}));
  EXPECT_EQ(ButtonAt(out, 9), (Span{106, 99}));
  EXPECT_EQ(ButtonAt(out, 17), (Span{204, 99}));
  EXPECT_EQ(ButtonAt(out, 25), (Span{302, 99}));
  EXPECT_EQ(ButtonAt(out, 33), (Span{400, 99}));
  EXPECT_EQ(ButtonAt(out, 41), (Span{498, 221}));
  EXPECT_EQ(out.edits, out.buttons);
  EXPECT_EQ(out[Placed::StaticText1], (Span{8, 719}));
}

TEST(LayoutPassTenNarrower, ShrinksTheColumnsByAStepCutTowardZero) {
  const HorizontalLayout out = LayoutPass({.widthDelta = -10});
  EXPECT_EQ(ButtonAt(out, 1), (Span{8, 88}));
  EXPECT_EQ(ButtonAt(out, 33), (Span{356, 88}));
  EXPECT_EQ(ButtonAt(out, 48), (Span{443, 199}));
  EXPECT_EQ(out[Placed::MainStrCmd].width, 631);
  EXPECT_EQ(out[Placed::AddStrCmd].left, 658);
  EXPECT_EQ(out[Placed::OldCmdList], (Span{4, 919}));
}

TEST(LayoutPassMuchNarrower, LetsWidthsFallBelowZero) {
  const HorizontalLayout out = LayoutPass({.widthDelta = -700});
  EXPECT_EQ(ButtonAt(out, 1), (Span{8, -11}));
  EXPECT_EQ(ButtonAt(out, 41), (Span{-52, 1}));
  EXPECT_EQ(out[Placed::MainStrCmd].width, -59);
  EXPECT_EQ(out[Placed::FiltrLog].width, -643);
  EXPECT_EQ(out[Placed::BtInfo].left, 176);
}

TEST(LayoutPassFileView, GivesTheListNameTheFileViewWidth) {
  EXPECT_EQ(LayoutPass({.widthDelta = 0, .filePanelShown = true})[Placed::STListName],
            (Span{8, 552}));
  EXPECT_EQ(LayoutPass({.widthDelta = 70, .filePanelShown = true})[Placed::STListName],
            (Span{8, 622}));
  EXPECT_EQ(LayoutPass({.widthDelta = 70, .filePanelShown = false})[Placed::STListName],
            (Span{8, 359}));
}

TEST(LayoutPassHistoryDropDown, TakesTheConsoleWidthFromBeforeThePass) {
  const HorizontalLayout out = LayoutPass({.widthDelta = 70, .consoleWidthBefore = 680});
  EXPECT_EQ(out[Placed::FastOldCmd], (Span{8, 680}));
  EXPECT_EQ(out[Placed::MainStrCmd], (Span{8, 711}));
}

TEST(VerticalPass, GivesTheExtraHeightToTheLogAndKeepsThePanelsAtTheBottom) {
  EXPECT_EQ(VerticalPass(749), (VerticalLayout{28, 373, 405, 450}));
  EXPECT_EQ(VerticalPass(849), (VerticalLayout{28, 473, 505, 550}));
  EXPECT_EQ(VerticalPass(700), (VerticalLayout{28, 324, 356, 401}));
}

TEST(VerticalPass, DesignLeavesTheOnePixelGapAboveTheCommandArea) {
  EXPECT_EQ(DesignVerticalLayout(), (VerticalLayout{28, 373, 404, 450}));
}

using ControlRows = std::vector<std::pair<Placed, Span>>;

void ExpectControls(const HorizontalLayout& layout, const ControlRows& rows) {
  for (const auto& [control, span] : rows) {
    EXPECT_EQ(layout[control], span) << "control " << static_cast<int>(control);
  }
}

TEST(WindowLayoutState, RunsNoPassUntilTheSizeFirstChanges) {
  WindowLayoutState state;
  EXPECT_EQ(state.Resized(kDesignClientWidth, kDesignClientHeight, 641), std::nullopt);
  EXPECT_FALSE(state.PassHasRun());
  EXPECT_EQ(state.SetFilePanelShown(true), (Span{8, 552}));
  EXPECT_EQ(state.SetFilePanelShown(false), (Span{8, 289}));
  EXPECT_FALSE(state.PassHasRun());
  ASSERT_TRUE(state.Resized(kDesignClientWidth + 1, kDesignClientHeight, 641).has_value());
  EXPECT_TRUE(state.PassHasRun());
  EXPECT_EQ(state.Resized(kDesignClientWidth + 1, kDesignClientHeight, 642), std::nullopt)
      << "the same size again is no change";
}

TEST(WindowLayoutState, LaysOutEachNewSizeControlByControl) {
  WindowLayoutState state;
  // Seventy pixels wider: PStats stays against LogPanel's right edge.
  std::optional<WindowLayout> out = state.Resized(kDesignClientWidth + 70, 749, 641);
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(out->horizontal[Placed::PStats], (Span{801, 203}));
  EXPECT_EQ(out->horizontal[Placed::LogPanel].width - out->horizontal[Placed::PStats].Right(), 3);
  EXPECT_EQ(ButtonAt(out->horizontal, 41), (Span{498, 221}));
  EXPECT_EQ(out->vertical, (VerticalLayout{28, 373, 405, 450}));
  const int consoleAt70 = out->horizontal[Placed::MainStrCmd].width;

  // Ten pixels narrower than at design: every control of the table.
  out = state.Resized(kDesignClientWidth - 10, 749, consoleAt70);
  ASSERT_TRUE(out.has_value());
  const ControlRows narrower = {
      {Placed::Panel1, {4, 927}},         {Placed::LogPanel, {4, 927}},
      {Placed::MainPanel, {4, 927}},      {Placed::MainWindow, {4, 927}},
      {Placed::SecondWindow, {4, 927}},   {Placed::STLog, {8, 631}},
      {Placed::FiltrLog, {521, 47}},      {Placed::MainStrCmd, {8, 631}},
      {Placed::STListName, {8, 279}},     {Placed::ListNameEDT, {8, 279}},
      {Placed::CBLists, {8, 279}},        {Placed::StaticText3, {658, 261}},
      {Placed::SriftText, {594, 29}},     {Placed::SendStart, {658, 129}},
      {Placed::LPlus, {642, 14}},         {Placed::SaveF, {378, 89}},
      {Placed::Str1, {626, 12}},          {Placed::Str2, {906, 12}},
      {Placed::Srift, {574, 17}},         {Placed::StartStop, {746, 57}},
      {Placed::StartLog, {686, 57}},      {Placed::BTLog, {626, 57}},
      {Placed::AddStrCmd, {658, 261}},    {Placed::BTPalitra, {806, 57}},
      {Placed::ListInc, {554, 81}},       {Placed::ListDec, {470, 81}},
      {Placed::DelList, {378, 89}},       {Placed::EditAllCmd, {292, 83}},
      {Placed::OldCommandsBT, {470, 81}}, {Placed::ButtonReadFile, {554, 81}},
      {Placed::ButtonSend, {790, 129}},   {Placed::RBName, {658, 130}},
      {Placed::RbData, {658, 130}},       {Placed::BtInfo, {866, 57}},
      {Placed::FastOldCmd, {8, 641}},     {Placed::OldCmdList, {4, 919}},
      {Placed::LBTail, {658, 261}},       {Placed::StaticText1, {8, 642}},
      {Placed::PStats, {721, 203}}};
  ControlRows withDropDown = narrower;
  for (auto& [control, span] : withDropDown) {
    if (control == Placed::FastOldCmd) span.width = 711;  // the console's width before
  }
  ExpectControls(out->horizontal, withDropDown);
  for (int i = 1; i <= 40; ++i) EXPECT_EQ(ButtonAt(out->horizontal, i).width, 88) << i;
  for (const Span& line : out->horizontal.helpLines) EXPECT_EQ(line, (Span{658, 261}));
  const HorizontalLayout atMinus10 = out->horizontal;

  // A hundred pixels higher: nothing moves sideways, the log takes the height.
  out = state.Resized(kDesignClientWidth - 10, 849, 631);
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(out->vertical, (VerticalLayout{28, 473, 505, 550}));
  for (std::size_t i = 0; i < kPlacedCount; ++i) {
    if (static_cast<Placed>(i) == Placed::FastOldCmd) continue;
    EXPECT_EQ(out->horizontal.placed[i], atMinus10.placed[i]) << "control " << i;
  }
  EXPECT_EQ(out->horizontal.buttons, atMinus10.buttons);

  // Back to the design size: the design geometry but for the derived values,
  // and LogPanel one pixel lower, touching MainPanel.
  out = state.Resized(kDesignClientWidth, kDesignClientHeight, 631);
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(out->vertical, (VerticalLayout{28, 373, 405, 450}));
  EXPECT_EQ(out->vertical.logPanelTop, DesignVerticalLayout().logPanelTop + 1);
  const HorizontalLayout& d = DesignLayout();
  for (std::size_t i = 0; i < kPlacedCount; ++i) {
    const auto control = static_cast<Placed>(i);
    if (control == Placed::OldCmdList || control == Placed::StaticText1 ||
        control == Placed::FastOldCmd) {
      continue;
    }
    EXPECT_EQ(out->horizontal[control], d[control]) << "control " << i;
  }
  EXPECT_EQ(out->horizontal[Placed::OldCmdList], (Span{4, 929}));
  EXPECT_EQ(out->horizontal[Placed::StaticText1], (Span{8, 649}));
  EXPECT_EQ(out->horizontal.buttons, d.buttons);
}

TEST(WindowLayoutState, AWindowTwoHundredPixelsWideClampsNegativeSizesToZero) {
  WindowLayoutState state;
  EXPECT_EQ(state.SetFilePanelShown(true), (Span{8, 552}));
  std::optional<WindowLayout> out = state.Resized(200, 749, 641);
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(state.WidthDelta(), -743);
  EXPECT_EQ(ColumnStep(state.WidthDelta()), -106);
  const ControlRows tiny = {
      {Placed::Panel1, {4, 194}},          {Placed::LogPanel, {4, 194}},
      {Placed::MainPanel, {4, 194}},       {Placed::MainWindow, {4, 194}},
      {Placed::SecondWindow, {4, 194}},    {Placed::STLog, {8, 0}},
      {Placed::FiltrLog, {521, 0}},        {Placed::MainStrCmd, {8, 0}},
      {Placed::STListName, {8, 0}},        {Placed::ListNameEDT, {8, 0}},
      {Placed::CBLists, {8, 0}},           {Placed::StaticText3, {-75, 261}},
      {Placed::SriftText, {-139, 29}},     {Placed::SendStart, {-75, 129}},
      {Placed::LPlus, {-91, 14}},          {Placed::SaveF, {-355, 89}},
      {Placed::Str1, {-107, 12}},          {Placed::Str2, {173, 12}},
      {Placed::Srift, {-159, 17}},         {Placed::StartStop, {13, 57}},
      {Placed::StartLog, {-47, 57}},       {Placed::BTLog, {-107, 57}},
      {Placed::AddStrCmd, {-75, 261}},     {Placed::BTPalitra, {73, 57}},
      {Placed::ListInc, {-179, 81}},       {Placed::ListDec, {-263, 81}},
      {Placed::DelList, {-355, 89}},       {Placed::EditAllCmd, {-441, 83}},
      {Placed::OldCommandsBT, {-263, 81}}, {Placed::ButtonReadFile, {-179, 81}},
      {Placed::ButtonSend, {57, 129}},     {Placed::RBName, {-75, 130}},
      {Placed::RbData, {-75, 130}},        {Placed::BtInfo, {133, 57}},
      {Placed::FastOldCmd, {8, 641}},      {Placed::OldCmdList, {4, 186}},
      {Placed::LBTail, {-75, 261}},        {Placed::StaticText1, {8, 0}},
      {Placed::PStats, {-12, 203}}};
  ExpectControls(out->horizontal, tiny);
  EXPECT_EQ(ButtonAt(out->horizontal, 1), (Span{8, 0}));
  EXPECT_EQ(ButtonAt(out->horizontal, 9), (Span{-10, 0}));
  EXPECT_EQ(ButtonAt(out->horizontal, 33), (Span{-64, 0}));
  EXPECT_EQ(ButtonAt(out->horizontal, 48), (Span{-82, 0}));
  EXPECT_EQ(out->horizontal.edits, out->horizontal.buttons);
  for (const Span& line : out->horizontal.helpLines) EXPECT_EQ(line, (Span{-75, 261}));

  // So low that the log has no room: its height stops at 0.
  out = state.Resized(200, 300, 0);
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(out->vertical, (VerticalLayout{28, 0, -44, 1}));
}

TEST(WindowLayoutState, TheListNameFollowsTheFileViewAtTheCurrentWidth) {
  WindowLayoutState state;
  ASSERT_TRUE(state.Resized(kDesignClientWidth + 70, 749, 641).has_value());
  EXPECT_EQ(state.SetFilePanelShown(true), (Span{8, 622}));
  EXPECT_EQ(state.SetFilePanelShown(false), (Span{8, 359})) << "leaving the file view restores it";
  state.SetFilePanelShown(true);
  std::optional<WindowLayout> out = state.Resized(kDesignClientWidth + 140, 749, 711);
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(out->horizontal[Placed::STListName], (Span{8, 692}));
  EXPECT_EQ(out->horizontal[Placed::CBLists], (Span{8, 429}));
  EXPECT_EQ(state.SetFilePanelShown(false), (Span{8, 429}));
  EXPECT_EQ(ListNameSpan(-743, false), (Span{8, 0}));
}

}  // namespace
}  // namespace velmora
