// SerialLink on the in-memory port: the order in which it drives the handle.

#include "serial/serial_link.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_serial_port.h"

namespace velmora {
namespace {

using Calls = std::vector<std::string>;

class SerialLinkOnFake : public ::testing::Test {
 protected:
  // Declared first: the link's constructor sets it through the factory.
  testing::FakeSerialPort* port = nullptr;
  SerialLink link{[this] {
                    auto created = std::make_unique<testing::FakeSerialPort>();
                    port = created.get();
                    return created;
                  },
                  [](int) {}};
};

TEST_F(SerialLinkOnFake, ClosingPurgesBothQueuesOnceAndOnlyThenCloses) {
  ASSERT_EQ(link.OpenPort({"ttyV0", 9600, 8, 0}), OpenResult::Opened);
  port->Feed("unread");
  port->calls.clear();

  link.ClosePort();

  EXPECT_EQ(port->calls, (Calls{"purge", "close"}));
  EXPECT_EQ(port->purgeCount, 1);
  EXPECT_TRUE(port->incoming.empty()) << "the purge must reach the open handle";
  EXPECT_FALSE(link.PortOpen());
  EXPECT_FALSE(port->IsValid());
}

TEST_F(SerialLinkOnFake, ClosingAClosedLinkTouchesNothing) {
  link.ClosePort();
  EXPECT_TRUE(port->calls.empty());
}

TEST_F(SerialLinkOnFake, ReconnectingClosesTheOldHandleBeforeOpeningAgain) {
  ASSERT_EQ(link.OpenPort({"ttyV0", 9600, 8, 0}), OpenResult::Opened);
  port->calls.clear();
  ASSERT_EQ(link.OpenPort({"ttyV1", 19200, 8, 0}), OpenResult::Opened);
  EXPECT_EQ(port->calls, (Calls{"apply", "close", "open", "apply"}));
  EXPECT_EQ(port->openedName, "ttyV1");
}

}  // namespace
}  // namespace velmora
