#include "mainwindow/requestengine.h"

#include <gtest/gtest.h>

#include <deque>

#include "protocol/database.h"
#include "protocol/database840.h"

namespace {

// A link and a clock in the test's hands: each pump step either delivers the
// next scripted reply or gives one timer tick.
struct TScriptedLink {
  TRequestEngine engine;
  bool active = true;
  bool pollOutstanding = false;
  std::vector<std::string> sent;
  std::deque<std::string> replies;  // delivered one per pump step after a send
  std::function<void()> duringPump;
  int ticks = 0;
  int timeouts = 0;
  std::vector<std::string> failures;

  TScriptedLink() {
    engine.LinkActive = [this] { return active; };
    engine.Send = [this](const std::string& command, bool) { sent.push_back(command); };
    engine.PollOutstanding = [this] { return pollOutstanding; };
    engine.ShowFailure = [this](const std::string& message) { failures.push_back(message); };
    engine.PumpOnce = [this] {
      if (duringPump) duringPump();
      if (!sent.empty() && !replies.empty()) {
        const std::string reply = replies.front();
        replies.pop_front();
        engine.Dispatch(reply);
        return;
      }
      ++ticks;
      timeouts += engine.Tick();
      ASSERT_LT(ticks, 100000) << "the wait never ended";
    };
  }
};

}  // namespace

TEST(TRequestEngine, HandlersDecideTheResult) {
  struct Case {
    const char* name;
    TReplyHandler handler;
    std::vector<std::string> replies;
    bool result;
    int timeouts;
  } cases[] = {
      {"integer accepted", IntegerReply, {"2"}, true, 0},
      {"integer after an unrelated reply", IntegerReply, {"x", "3"}, true, 0},
      {"integer answered '?' times out", IntegerReply, {"?"}, false, 1},
      {"ack '0'", AckReply, {"0"}, true, 0},
      {"ack '?' fails at once", AckReply, {"?"}, false, 0},
      {"ack waits past other replies", AckReply, {"5", "0"}, true, 0},
      {"clear-wait takes anything", ClearWaitReply, {"whatever"}, true, 0},
      {"integer out of range times out", IntegerReply, {"1000000"}, false, 1},
      {"calibration block takes any reply but '?'", CalDataReply, {"2,00FF"}, true, 0},
      {"calibration block '?' fails at once", CalDataReply, {"?"}, false, 0},
  };
  for (const auto& c : cases) {
    TScriptedLink link;
    link.replies.assign(c.replies.begin(), c.replies.end());
    EXPECT_EQ(link.engine.Request("ENU?;", false, 70, c.handler, "ENU"), c.result) << c.name;
    EXPECT_EQ(link.timeouts, c.timeouts) << c.name;
    EXPECT_EQ(link.sent, std::vector<std::string>{"ENU?;"}) << c.name;
    EXPECT_FALSE(link.engine.Busy()) << c.name;
  }
}

TEST(TRequestEngine, TimeOutCountsTicksOfTheTimer) {
  TScriptedLink link;
  EXPECT_FALSE(link.engine.Request("ENU?;", false, 70, IntegerReply, "ENU"));
  EXPECT_EQ(link.ticks, 70);
  EXPECT_EQ(link.timeouts, 1);
}

TEST(TRequestEngine, IntegerReplyParsesWithThePrefix) {
  TScriptedLink link;
  link.replies = {"2"};
  ASSERT_TRUE(link.engine.Request("ENU?;", false, 70, IntegerReply, "ENU"));
  EXPECT_EQ(link.engine.Context().replyValue, 2);
}

TEST(TRequestEngine, SetReplyRejectionShowsInvalidSettingAfterTheWaitEnds) {
  TScriptedLink link;
  link.replies = {"?"};
  bool busyWhenShown = true;
  link.engine.ShowFailure = [&](const std::string& message) {
    link.failures.push_back(message);
    busyWhenShown = link.engine.Busy();
  };
  EXPECT_FALSE(link.engine.Request("WMD1", false, 70, SetReply, ""));
  EXPECT_EQ(link.failures, std::vector<std::string>{"Invalid Setting"});
  EXPECT_FALSE(busyWhenShown);
}

TEST(TRequestEngine, ModelHandlersWriteTheWorkingSettings) {
  w830::Tdata7400 model;
  int refreshed = 0;
  TScriptedLink link;
  link.engine.Context().model = &model;
  link.engine.Context().settingsChanged = [&] { ++refreshed; };
  link.replies = {"1234"};
  ASSERT_TRUE(link.engine.Request("WFP?;", false, 70, WfpReply, "WFP"));
  EXPECT_EQ(model.GetWFP(), 1234);
  link.sent.clear();
  link.replies = {"11,5,100", "3,-20,-500"};  // point 11 does not exist
  ASSERT_TRUE(link.engine.Request("LIN?3;", false, 70, LinPointReply, "LIN"));
  EXPECT_EQ(model.LinPercent[2], -20);
  EXPECT_EQ(model.LinWeight[2], -500);
  EXPECT_EQ(refreshed, 1);
  link.sent.clear();
  link.replies = {"0,17"};
  ASSERT_TRUE(link.engine.Request("CAL?;", false, 70, CalStatusReply, "CAL"));
  EXPECT_EQ(link.engine.Context().calStatus, 17);
  link.sent.clear();
  link.replies = {" 4,0A0B "};
  ASSERT_TRUE(link.engine.Request("BCA?4;", false, 70, CalDataReply, ""));
  EXPECT_EQ(link.engine.Context().calData, " 4,0A0B ");
}

// The W840 names its first port 1; the model and the serial tabs count from 0.
TEST(TRequestEngine, TheW840sPortReplyIsOneAboveTheModelsPort) {
  w840::Tdata7400 model;
  TScriptedLink link;
  link.engine.Context().model = &model;
  link.replies = {"0", "3"};  // 0 names no port: the wait goes on
  ASSERT_TRUE(link.engine.Request("WFP?;", false, 70, w840::WfpReply, "WFP"));
  EXPECT_EQ(model.GetWFP(), 2);
  EXPECT_EQ(link.engine.Context().replyValue, 3);
}

TEST(TRequestEngine, NoLinkMeansFalseAtOnceAndNothingSent) {
  TScriptedLink link;
  link.active = false;
  EXPECT_FALSE(link.engine.Request("ENU?;", false, 70, IntegerReply, "ENU"));
  EXPECT_TRUE(link.sent.empty());
  EXPECT_EQ(link.ticks, 0);
}

TEST(TRequestEngine, ZeroTimeOutNeverExpiresAndEndsOnlyThroughAHandler) {
  TScriptedLink link;
  link.duringPump = [&] {
    if (link.ticks == 500) link.replies = {"0"};
  };
  EXPECT_FALSE(link.engine.Request("ZER", false, 0, AckReply, ""));
  EXPECT_EQ(link.timeouts, 0);
  EXPECT_EQ(link.ticks, 500);
}

TEST(TRequestEngine, ASecondRequestWhileOneWaitsIsRefused) {
  TScriptedLink link;
  bool nested = true;
  link.duringPump = [&] {
    if (link.ticks == 3) nested = link.engine.Request("ADR?;", false, 70, IntegerReply, "ADR");
    if (link.ticks == 5) link.replies = {"4"};
  };
  EXPECT_TRUE(link.engine.Request("ENU?;", false, 70, IntegerReply, "ENU"));
  EXPECT_FALSE(nested);
  EXPECT_EQ(link.sent, std::vector<std::string>{"ENU?;"});
  EXPECT_EQ(link.engine.Context().replyValue, 4);
}

TEST(TRequestEngine, AbortEndsTheWaitAsAFailure) {
  TScriptedLink link;
  link.duringPump = [&] {
    if (link.ticks == 10) link.engine.Abort();
  };
  EXPECT_FALSE(link.engine.Request("ENU?;", false, 70, IntegerReply, "ENU"));
  EXPECT_EQ(link.timeouts, 0);
  EXPECT_LT(link.ticks, 70);
}

TEST(TRequestEngine, WaitsForAnOutstandingPollBeforeSending) {
  TScriptedLink link;
  link.pollOutstanding = true;
  std::vector<std::string> sentWhileDraining;
  link.duringPump = [&] {
    if (link.ticks == 20) {
      sentWhileDraining = link.sent;
      // The poll's segment string arrives: it must not reach the handler.
      link.engine.Dispatch("22002200220022002200220000000000");
      link.pollOutstanding = false;
      link.replies = {"2"};
    }
  };
  EXPECT_TRUE(link.engine.Request("ENU?;", false, 70, IntegerReply, "ENU"));
  EXPECT_TRUE(sentWhileDraining.empty());
  EXPECT_EQ(link.engine.Context().replyValue, 2);
}

TEST(TRequestEngine, APollThatNeverEndsHoldsTheRequestOnlyForTheDrainLimit) {
  TScriptedLink link;
  link.pollOutstanding = true;
  link.engine.drainLimitTicks = 30;
  link.replies = {"9"};
  EXPECT_TRUE(link.engine.Request("ENU?;", false, 70, IntegerReply, "ENU"));
  EXPECT_EQ(link.ticks, 30);
}

TEST(TRequestEngine, DelayCountsTicksAndAbortCutsItShort) {
  TScriptedLink link;
  EXPECT_TRUE(link.engine.DelayTicks(100));
  EXPECT_EQ(link.ticks, 100);
  link.ticks = 0;
  link.duringPump = [&] {
    if (link.ticks == 40) link.engine.Abort();
  };
  EXPECT_FALSE(link.engine.DelayTicks(100));
  EXPECT_LT(link.ticks, 50);
}

TEST(TRequestEngine, WaitingIsFalseWhileDrainingSoThePollStillReachesTheLcd) {
  TScriptedLink link;
  link.pollOutstanding = true;
  bool waitingWhileDraining = true, busyWhileDraining = false;
  link.duringPump = [&] {
    if (!link.pollOutstanding) return;
    waitingWhileDraining = link.engine.Waiting();
    busyWhileDraining = link.engine.Busy();
    link.pollOutstanding = false;
    link.replies = {"1"};
  };
  EXPECT_TRUE(link.engine.Request("ENU?;", false, 70, IntegerReply, "ENU"));
  EXPECT_FALSE(waitingWhileDraining);
  EXPECT_TRUE(busyWhileDraining);
}
