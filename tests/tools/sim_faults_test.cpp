// Each scripted fault of the simulated indicator does what a test relies on.
#include <gtest/gtest.h>

#include "tools/sim/sim_indicator.h"

namespace {

using sim::FaultKind;
using sim::Model;
using sim::TSimIndicator;

class SimFaults : public ::testing::Test {
 protected:
  SimFaults() { indicator.SetClock([this] { return now; }); }
  double now = 0;
  TSimIndicator indicator{Model::W830, 1};
};

TEST_F(SimFaults, SilenceSwallowsRepliesButRecordsCommands) {
  indicator.AddFault({FaultKind::Silence, "", 0});
  EXPECT_EQ(indicator.Feed("ENU?;FPL?;"), "");
  EXPECT_EQ(indicator.Commands(), (std::vector<std::string>{"ENU?", "FPL?"}));
  indicator.ClearFaults();
  EXPECT_EQ(indicator.Feed("ENU?;"), "2\r\n");
}

TEST_F(SimFaults, RejectLimitedToOneCommand) {
  indicator.AddFault({FaultKind::Reject, "FPL?", 0});
  EXPECT_EQ(indicator.Feed("FPL?;"), "?\r\n");
  EXPECT_EQ(indicator.Feed("ENU?;"), "2\r\n");
}

TEST_F(SimFaults, DelayHoldsTheReplyAndThoseBehindIt) {
  indicator.AddFault({FaultKind::Delay, "ENU", 200});
  EXPECT_EQ(indicator.Feed("ENU?;ADR?;"), "");
  now = 0.199;
  EXPECT_EQ(indicator.TakeOutput(), "");
  now = 0.2;
  EXPECT_EQ(indicator.TakeOutput(), "2\r\n1\r\n");
}

TEST_F(SimFaults, RandomDelayStaysWithinItsLimit) {
  indicator.AddFault({FaultKind::RandomDelay, "", 50});
  std::string out = indicator.Feed("ENU?;");
  now = 0.05;
  out += indicator.TakeOutput();
  EXPECT_EQ(out, "2\r\n");
}

TEST_F(SimFaults, GarbageReplacesTheReplyWithOneJunkLine) {
  indicator.AddFault({FaultKind::Garbage, "", 0});
  const std::string out = indicator.Feed("ENU?;");
  ASSERT_EQ(out.size(), 18u);
  EXPECT_EQ(out.substr(16), "\r\n");
  EXPECT_EQ(out.substr(0, 16).find_first_of("\r\n\x02\x03"), std::string::npos);
}

TEST_F(SimFaults, OverlongIsOneMegabyteWithoutLineEnd) {
  indicator.AddFault({FaultKind::Overlong, "FPL?", 0});
  const std::string out = indicator.Feed("FPL?;");
  EXPECT_EQ(out.size(), 1u << 20);
  EXPECT_EQ(out.find_first_of("\r\n"), std::string::npos);
}

TEST_F(SimFaults, DropAfterAnswersTheCountedCommandsThenAsksForTheDrop) {
  indicator.AddFault({FaultKind::DropAfter, "", 2});
  EXPECT_EQ(indicator.Feed("ENU?;"), "2\r\n");
  EXPECT_FALSE(indicator.DropRequested(0));
  EXPECT_EQ(indicator.Feed("ADR?;"), "1\r\n");
  EXPECT_TRUE(indicator.DropRequested(0));
}

TEST_F(SimFaults, ClosePtyAfterAsksOnce) {
  indicator.AddFault({FaultKind::ClosePtyAfter, "STP", 1});
  indicator.Feed("ENU?;");
  EXPECT_FALSE(indicator.TakeClosePtyRequest());
  indicator.Feed("STP;");
  EXPECT_TRUE(indicator.TakeClosePtyRequest());
  EXPECT_FALSE(indicator.TakeClosePtyRequest());
}

TEST_F(SimFaults, OverlongInputIsDiscardedAndTheNextCommandAnswered) {
  EXPECT_EQ(indicator.Feed(std::string(10000, 'X')), "");
  EXPECT_EQ(indicator.Feed(";ENU?;"), "2\r\n");
}

}  // namespace
