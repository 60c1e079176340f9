#include "dialogs/trafficsteps.h"

#include <gtest/gtest.h>

namespace {

using Outcome = TTrafficSteps::TOutcome;

// Runs ticks, recording on which tick each command went out.
struct TStepRun {
  TTrafficSteps steps;
  std::vector<std::pair<int, std::string>> sent;
  int tick = 0;
  Outcome TickOnce() {
    const Outcome o = steps.Tick([this](const std::string& c) { sent.emplace_back(tick, c); });
    ++tick;
    return o;
  }
  Outcome Until(int ticks) {
    Outcome o = Outcome::kRunning;
    for (int i = 0; i < ticks && o == Outcome::kRunning; ++i) o = TickOnce();
    return o;
  }
};

TEST(TrafficSteps, AnEmptyListEndsAfterTheStartDelay) {
  TStepRun r;
  r.steps.Start();
  EXPECT_EQ(r.TickOnce(), Outcome::kRunning);
  EXPECT_EQ(r.TickOnce(), Outcome::kRunning);
  EXPECT_EQ(r.TickOnce(), Outcome::kDone);
}

TEST(TrafficSteps, CommandsWithoutRepliesGoOutFiveTicksApart) {
  TStepRun r;
  r.steps.SetCommands({"A", "B", "C"}, {"", "", ""});
  r.steps.Start();
  EXPECT_EQ(r.Until(100), Outcome::kDone);
  EXPECT_EQ(r.sent, (std::vector<std::pair<int, std::string>>{{2, "A"}, {8, "B"}, {14, "C"}}));
  EXPECT_EQ(r.steps.Replies(), (std::vector<std::string>{"", "", ""}));
}

TEST(TrafficSteps, RepliesFillTheirSlotsAndARejectionResends) {
  TStepRun r;
  r.steps.SetCommands({"ENU?", "IAD?1"}, {"ENU", "IAD"});
  r.steps.Start();
  r.Until(3);
  r.steps.ReplyReceived("?");
  r.TickOnce();  // resent at once
  r.steps.ReplyReceived("2");
  r.TickOnce();
  r.steps.ReplyReceived("1,4000,0,1,0,0,0");
  EXPECT_EQ(r.TickOnce(), Outcome::kDone);
  EXPECT_EQ(r.sent.size(), 3u);
  EXPECT_EQ(r.steps.Replies(), (std::vector<std::string>{"ENU2", "IAD1,4000,0,1,0,0,0"}));
  EXPECT_EQ(r.steps.Progress(), 2);
}

TEST(TrafficSteps, SilenceGetsFourSendsThenGivesUpAndIgnoresLateReplies) {
  TStepRun r;
  r.steps.SetCommands({"ENU?"}, {"ENU"});
  r.steps.Start();
  EXPECT_EQ(r.Until(1000), Outcome::kGaveUp);
  ASSERT_EQ(r.sent.size(), 4u);
  EXPECT_EQ(r.sent[1].first - r.sent[0].first, 201);
  EXPECT_EQ(r.sent[3].first - r.sent[0].first, 603);
  r.steps.ReplyReceived("2");  // too late: nothing left to fill
  EXPECT_TRUE(r.steps.Replies().empty());
}

TEST(TrafficSteps, CancelStopsSendingAndCollecting) {
  TStepRun r;
  r.steps.SetCommands({"A", "B"}, {"A", "B"});
  r.steps.Start();
  r.Until(3);
  r.steps.Cancel();
  r.steps.ReplyReceived("1");
  EXPECT_EQ(r.TickOnce(), Outcome::kDone);
  EXPECT_EQ(r.sent.size(), 1u);
  EXPECT_TRUE(r.steps.Replies().empty());
}

}  // namespace
