#include "receive/read_statistics.h"

#include <gtest/gtest.h>

#include <limits>

namespace velmora {
namespace {

constexpr std::int32_t kNoMin = std::numeric_limits<std::int32_t>::max();

TEST(ReadStatistics, FirstPacketCountsButMeasuresNoGap) {
  Traffic traffic;
  EXPECT_FALSE(CountReadPacket(traffic, 5000));
  EXPECT_EQ(traffic.readPackets, 1);
  EXPECT_EQ(traffic.prevPacketTime, 0);
  EXPECT_EQ(traffic.lastPacketTime, 5000);
  EXPECT_EQ(traffic.minGap, kNoMin);
  EXPECT_EQ(traffic.maxGap, 0);
}

TEST(ReadStatistics, SecondPacketSetsMinAndMaxToTheSameGap) {
  Traffic traffic;
  CountReadPacket(traffic, 5000);
  EXPECT_TRUE(CountReadPacket(traffic, 5250));
  EXPECT_EQ(traffic.readPackets, 2);
  EXPECT_EQ(MinGapText(traffic, true), "MIN_T_W:  250");
  EXPECT_EQ(MaxGapText(traffic, true), "MAX_T_W: 250");
}

TEST(ReadStatistics, LaterGapsWidenTheRange) {
  Traffic traffic;
  CountReadPacket(traffic, 5000);
  CountReadPacket(traffic, 5250);
  CountReadPacket(traffic, 5350);
  CountReadPacket(traffic, 6350);
  EXPECT_EQ(traffic.minGap, 100);
  EXPECT_EQ(traffic.maxGap, 1000);
}

TEST(ReadStatistics, GapOfZeroIsNotMeasured) {
  Traffic traffic;
  CountReadPacket(traffic, 5000);
  EXPECT_FALSE(CountReadPacket(traffic, 5000));
  EXPECT_EQ(traffic.readPackets, 2);
  EXPECT_EQ(traffic.minGap, kNoMin);
  EXPECT_EQ(traffic.maxGap, 0);
}

TEST(ReadStatistics, GapAcrossTheWeekWrapIsNotMeasured) {
  Traffic traffic;
  CountReadPacket(traffic, 604799000);
  EXPECT_FALSE(CountReadPacket(traffic, 200));
  EXPECT_EQ(traffic.maxGap, 0);
}

TEST(ReadStatistics, ResetKeepsThePacketTimesSoTheNextGapIsMeasured) {
  Traffic traffic;
  CountReadPacket(traffic, 5000);
  CountReadPacket(traffic, 6000);
  ResetStatistics(traffic);
  EXPECT_EQ(traffic.readPackets, 0);
  EXPECT_EQ(traffic.lastPacketTime, 6000);
  EXPECT_TRUE(CountReadPacket(traffic, 6400));
  EXPECT_EQ(traffic.readPackets, 1);
  EXPECT_EQ(traffic.minGap, 400);
  EXPECT_EQ(traffic.maxGap, 400);
}

TEST(ReadStatistics, PacketCountWrapsAtTheTopOfThirtyTwoBits) {
  Traffic traffic;
  traffic.readPackets = std::numeric_limits<std::int32_t>::max();
  CountReadPacket(traffic, 5000);
  EXPECT_EQ(traffic.readPackets, std::numeric_limits<std::int32_t>::min());
}

}  // namespace
}  // namespace velmora
