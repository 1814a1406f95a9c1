#include "logfile/log_view.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

const Bytes kStop = ">>>>>>>>>> STOP <<<<<<<<<<";

TEST(FrozenView, IsTheLogThenOneEmptyLineAndStop) {
  const struct {
    std::vector<Bytes> log;
    std::vector<Bytes> entries;
    Bytes text;
  } rows[] = {
      {{}, {"", kStop}, "\r\n" + kStop},
      {{"one"}, {"one", "", kStop}, "one\r\n\r\n" + kStop},
      {{"a\r\nb\r", " [ 09:05:03:007 > ] x"},
       {"a\r\nb\r", " [ 09:05:03:007 > ] x", "", kStop},
       "a\r\nb\r\r\n [ 09:05:03:007 > ] x\r\n\r\n" + kStop},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FrozenViewEntries(row.log), row.entries);
    EXPECT_EQ(FrozenViewText(row.log), row.text);
  }
}

TEST(ColorCycle, StartsAtStepZeroAndSevenClicksComeBackToStepOne) {
  ColorCycle cycle;
  EXPECT_EQ(cycle.Step(), 0);
  const struct {
    int step;
    LogColors colors;
  } clicks[] = {
      {1, {0xFF00000B, 0xFF000008}}, {2, {0xFF00001E, 0xFF000008}}, {3, {0x00FFFF00, 0xFF000008}},
      {4, {0x00000000, 0x0000FF00}}, {5, {0x000000FF, 0x00FF0000}}, {0, {0xFF000005, 0xFF000008}},
      {1, {0xFF00000B, 0xFF000008}},
  };
  for (const auto& click : clicks) {
    EXPECT_EQ(cycle.BTPalitraClick(), click.colors) << "step " << click.step;
    EXPECT_EQ(cycle.Step(), click.step);
  }
}

TEST(ColorValueRgb, SystemColoursAreTheClassicWindowsOnesAndPlainOnesRedFirst) {
  const struct {
    std::uint32_t value;
    Rgb rgb;
  } rows[] = {
      {0xFF000005, {0xFF, 0xFF, 0xFF}}, {0xFF000008, {0x00, 0x00, 0x00}},
      {0xFF00000B, {0xF4, 0xF7, 0xFC}}, {0xFF00000F, {0xF0, 0xF0, 0xF0}},
      {0xFF000018, {0xFF, 0xFF, 0xE1}}, {0xFF00001E, {0xF0, 0xF0, 0xF0}},
      {0xFF000063, {0xF0, 0xF0, 0xF0}}, {0x00FFFF00, {0x00, 0xFF, 0xFF}},
      {0x000000FF, {0xFF, 0x00, 0x00}}, {0x00FF0000, {0x00, 0x00, 0xFF}},
      {0x00123456, {0x56, 0x34, 0x12}},
  };
  for (const auto& row : rows) {
    const Rgb rgb = ColorValueRgb(row.value);
    EXPECT_EQ(rgb, row.rgb) << std::hex << row.value << ": " << int{rgb.red} << " "
                            << int{rgb.green} << " " << int{rgb.blue};
  }
}

TEST(LogFontSize, ArrowsStayWithinTwoAndOneHundred) {
  const struct {
    std::int32_t points;
    bool up;
    std::int32_t result;
  } rows[] = {
      {100, true, 100}, {99, true, 100},  {2, false, 2}, {3, false, 2},
      {2, true, 3},     {100, false, 99}, {8, true, 9},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(StepLogFontSize(row.points, row.up), row.result)
        << row.points << (row.up ? " up" : " down");
  }
}

TEST(LogFontSize, PointsBecomePixelsAsAt96DotsPerInch) {
  const struct {
    int points;
    int pixels;
  } rows[] = {{2, 3}, {8, 11}, {9, 12}, {10, 13}, {11, 15}, {100, 133}};
  for (const auto& row : rows) EXPECT_EQ(PointsToPixels(row.points), row.pixels) << row.points;
}

}  // namespace
}  // namespace velmora
