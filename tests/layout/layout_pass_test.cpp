#include "layout/layout_pass.h"

#include <gtest/gtest.h>

#include <ostream>
#include <utility>
#include <vector>

namespace velmora {

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

}  // namespace
}  // namespace velmora
