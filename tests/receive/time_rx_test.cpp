#include "receive/time_rx.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace velmora {
namespace {

std::vector<std::int32_t> Grid(std::int32_t from, std::int32_t to, std::int32_t step) {
  std::vector<std::int32_t> values;
  if (step > 0) {
    for (std::int32_t v = from; v <= to; v += step) values.push_back(v);
  } else {
    for (std::int32_t v = from; v >= to; v += step) values.push_back(v);
  }
  return values;
}

void Extend(std::vector<std::int32_t>& into, const std::vector<std::int32_t>& more) {
  into.insert(into.end(), more.begin(), more.end());
}

std::vector<std::int32_t> ClickUntilStill(std::int32_t start, bool up) {
  std::vector<std::int32_t> seen{start};
  for (;;) {
    const std::int32_t next = StepTimeRx(seen.back(), up);
    if (next == seen.back()) return seen;
    seen.push_back(next);
  }
}

TEST(TimeRxArrows, UpFromZeroWalksEveryDecadeToTheClamp) {
  std::vector<std::int32_t> expected = Grid(0, 9, 1);
  Extend(expected, Grid(10, 95, 5));
  Extend(expected, Grid(100, 950, 50));
  Extend(expected, Grid(1000, 9500, 500));
  Extend(expected, Grid(10000, 100000, 5000));
  EXPECT_EQ(ClickUntilStill(0, true), expected);
}

TEST(TimeRxArrows, DownFromTheTopHalvesAtEachDecade) {
  std::vector<std::int32_t> expected{100000};
  Extend(expected, Grid(50000, 10000, -5000));
  Extend(expected, Grid(5000, 1000, -500));
  Extend(expected, Grid(500, 100, -50));
  Extend(expected, Grid(50, 10, -5));
  Extend(expected, Grid(5, 0, -1));
  EXPECT_EQ(ClickUntilStill(100000, false), expected);
}

struct StepRow {
  std::int32_t value;
  bool up;
  std::int32_t result;
};

class OffGridValue : public ::testing::TestWithParam<StepRow> {};

TEST_P(OffGridValue, StepsByTheRangeItIsIn) {
  EXPECT_EQ(StepTimeRx(GetParam().value, GetParam().up), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OffGridValue,
    ::testing::Values(StepRow{7, true, 8}, StepRow{12, true, 17}, StepRow{12, false, 7},
                      StepRow{123, false, 73}, StepRow{1234, true, 1734},
                      StepRow{99999, true, 100000}, StepRow{97000, true, 100000},
                      StepRow{123456, true, 100000}, StepRow{123456, false, 73456},
                      StepRow{-5, true, -4}, StepRow{-5, false, -5},
                      StepRow{std::numeric_limits<std::int32_t>::max(), true, 100000},
                      StepRow{std::numeric_limits<std::int32_t>::min(), false,
                              std::numeric_limits<std::int32_t>::min()}));

TEST(TimeRxCaption, IsTheLabelTextWithTheValue) {
  EXPECT_EQ(TimeRxCaption(0), "TimeRX: 0");
  EXPECT_EQ(TimeRxCaption(10000), "TimeRX: 10000");
}

}  // namespace
}  // namespace velmora
