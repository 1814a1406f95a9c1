#include "receive/packet_assembler.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace velmora {
namespace {

constexpr std::int32_t kLastMsOfWeek = 604799999;

PacketAssembler WithTimeRx(std::int32_t ms) {
  PacketAssembler assembler;
  assembler.SetTimeRx(ms);
  return assembler;
}

TEST(PacketCompletion, NeedsStrictlyMoreSilenceThanTheTimeOut) {
  PacketAssembler assembler = WithTimeRx(10);
  assembler.Append("AB");
  EXPECT_FALSE(assembler.Poll(1000, true));
  EXPECT_FALSE(assembler.Poll(1010, false));
  EXPECT_TRUE(assembler.Poll(1011, false));
  EXPECT_EQ(assembler.Packet(), "AB");
}

TEST(PacketCompletion, TimeOutZeroEndsAtTheFirstEmptyPollOneMillisecondLater) {
  PacketAssembler assembler = WithTimeRx(0);
  assembler.Append("A");
  EXPECT_FALSE(assembler.Poll(1000, true));
  EXPECT_FALSE(assembler.Poll(1000, false));
  EXPECT_TRUE(assembler.Poll(1001, false));
}

TEST(PacketCompletion, TimeOutZeroKeepsGatheringWhileBytesArrive) {
  PacketAssembler assembler = WithTimeRx(0);
  assembler.Append("A");
  EXPECT_FALSE(assembler.Poll(1000, true));
  assembler.Append("B");
  EXPECT_FALSE(assembler.Poll(1001, true));
  EXPECT_EQ(assembler.Packet(), "AB");
}

TEST(PacketCompletion, LongestTimeOutEndsOneHundredSecondsAfterTheLastBytes) {
  PacketAssembler assembler = WithTimeRx(100000);
  assembler.Append("A");
  EXPECT_FALSE(assembler.Poll(1000, true));
  EXPECT_FALSE(assembler.Poll(101000, false));
  EXPECT_TRUE(assembler.Poll(101001, false));
}

TEST(PacketCompletion, MoreThanFifteenHundredBytesEndTheLongestTimeOutAtOnce) {
  PacketAssembler assembler = WithTimeRx(100000);
  assembler.Append(std::string(1000, 'x'));
  EXPECT_FALSE(assembler.Poll(1000, true));
  assembler.Append(std::string(500, 'x'));
  EXPECT_FALSE(assembler.Poll(1001, true));
  assembler.Append("x");
  EXPECT_TRUE(assembler.Poll(1002, true));
  EXPECT_EQ(assembler.ReceiveLength(), 1501u);
}

TEST(PacketCompletion, FirstPollAfterStartUpIsAlreadyTimedOut) {
  PacketAssembler assembler = WithTimeRx(10000);
  EXPECT_TRUE(assembler.Poll(3 * 86400000, false));
  EXPECT_EQ(assembler.ReceiveLength(), 0u);
}

TEST(WeekWrap, PullsTheActivityDownForAFreshFullTimeOut) {
  PacketAssembler assembler = WithTimeRx(100);
  assembler.Append("A");
  EXPECT_FALSE(assembler.Poll(kLastMsOfWeek - 9, true));
  EXPECT_FALSE(assembler.Poll(50, false));
  EXPECT_EQ(assembler.LastRxActivity(), 50);
  EXPECT_FALSE(assembler.Poll(150, false));
  EXPECT_TRUE(assembler.Poll(151, false));
}

TEST(WeekWrap, BytesFoundAtTheWrapTakeTheNewTime) {
  PacketAssembler assembler = WithTimeRx(100);
  EXPECT_FALSE(assembler.Poll(kLastMsOfWeek, true));
  EXPECT_FALSE(assembler.Poll(5, true));
  EXPECT_EQ(assembler.LastRxActivity(), 5);
}

TEST(Buffer, TakesNoMoreThanItsFreeRoom) {
  PacketAssembler assembler;
  EXPECT_EQ(assembler.Append(std::string(1000, 'a')), 1000u);
  EXPECT_EQ(assembler.FreeSpace().size(), 1048u);
  EXPECT_EQ(assembler.Append(std::string(1500, 'b')), 1048u);
  EXPECT_EQ(assembler.ReceiveLength(), 2048u);
  EXPECT_EQ(assembler.Append("c"), 0u);
  EXPECT_EQ(assembler.Packet(), std::string(1000, 'a') + std::string(1048, 'b'));
}

}  // namespace
struct QuietEndRow {
  const char* name;
  std::int32_t timeRx;
  std::size_t bytes;
  std::int32_t lastActivity;
  std::int32_t now;
  std::int32_t expected;
};

class QuietEnd : public ::testing::TestWithParam<QuietEndRow> {};

TEST_P(QuietEnd, IsTheDelayAfterWhichTheNextEmptyPollEndsThePacket) {
  const QuietEndRow& row = GetParam();
  PacketAssembler assembler = WithTimeRx(row.timeRx);
  assembler.Append(std::string(row.bytes, 'x'));
  assembler.Poll(row.lastActivity, true);  // the bytes arrive
  const std::int32_t delay = assembler.MsUntilQuietEnd(row.now);
  EXPECT_EQ(delay, row.expected);
  // The delay agrees with the rule itself: an empty poll one millisecond
  // earlier keeps the packet, one at the delay ends it.
  if (delay > 0 && row.now >= row.lastActivity) {
    PacketAssembler earlier = assembler;
    EXPECT_FALSE(earlier.Poll(row.now + delay - 1, false));
  }
  if (row.now >= row.lastActivity) {
    EXPECT_TRUE(assembler.Poll(row.now + delay, false));
  }
}

INSTANTIATE_TEST_SUITE_P(
    PacketCompletion, QuietEnd,
    ::testing::Values(QuietEndRow{"RightAfterTheBytes", 10, 2, 1000, 1000, 11},
                      QuietEndRow{"PartOfTheQuietPassed", 10, 2, 1000, 1004, 7},
                      QuietEndRow{"DueNow", 10, 2, 1000, 1011, 0},
                      QuietEndRow{"LongOverdue", 10, 2, 1000, 5000, 0},
                      QuietEndRow{"TimeOutZero", 0, 1, 1000, 1000, 1},
                      QuietEndRow{"LongestTimeOut", 100000, 1, 1000, 1000, 100001},
                      QuietEndRow{"NegativeTimeOutEndsAtOnce", -5, 1, 1000, 1000, 0},
                      QuietEndRow{"MoreThanFifteenHundredBytes", 100000, 1501, 1000, 1000, 0},
                      QuietEndRow{"AcrossTheWeekWrapAPollComesFirst", 100, 1, kLastMsOfWeek - 9, 20,
                                  0}),
    [](const ::testing::TestParamInfo<QuietEndRow>& param) { return param.param.name; });

TEST(QuietEnd, NeverOverflowsForTheLargestStoredTimeOut) {
  PacketAssembler assembler = WithTimeRx(std::numeric_limits<std::int32_t>::max());
  assembler.Append("A");
  EXPECT_FALSE(assembler.Poll(kLastMsOfWeek, true));
  EXPECT_EQ(assembler.MsUntilQuietEnd(kLastMsOfWeek), std::numeric_limits<std::int32_t>::max());
}

}  // namespace velmora
