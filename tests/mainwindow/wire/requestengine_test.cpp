#include "mainwindow/wire/requestengine.h"

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
  bool linkClear = true;  // no earlier reply owed
  std::uint64_t entry = 0;
  std::vector<std::string> sent;
  std::deque<std::string> replies;  // delivered one per pump step after a send
  std::function<void()> duringPump;
  int ticks = 0;
  int timeouts = 0;
  std::vector<std::string> failures;
  int notResponding = 0;
  std::vector<std::uint64_t> givenUp;

  TScriptedLink() {
    engine.LinkActive = [this] { return active; };
    engine.Send = [this](const std::string& command, bool, int) {
      sent.push_back(command);
      return ++entry;
    };
    engine.LinkClear = [this] { return linkClear; };
    engine.GiveUp = [this](std::uint64_t e) { givenUp.push_back(e); };
    engine.ShowFailure = [this](const std::string& message) { failures.push_back(message); };
    engine.ShowNotResponding = [this] { ++notResponding; };
    engine.PumpOnce = [this] {
      if (duringPump) duringPump();
      if (!sent.empty() && !replies.empty()) {
        const std::string reply = replies.front();
        replies.pop_front();
        engine.Dispatch(entry, reply);
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
    int notResponding;
    const char* prefix = "ENU";
  } cases[] = {
      {"integer accepted", IntegerReply, {"2"}, true, 0, 0},
      {"integer after an unrelated reply", IntegerReply, {"x", "3"}, true, 0, 0},
      // The "?" was the answer: no other is coming, so the wait ends at once.
      {"integer answered '?' is unanswered", IntegerReply, {"?"}, false, 0, 1},
      {"ack '0'", AckReply, {"0"}, true, 0, 0},
      {"ack '?' fails at once", AckReply, {"?"}, false, 0, 0},
      {"ack waits past other replies", AckReply, {"5", "0"}, true, 0, 0},
      {"clear-wait takes anything", ClearWaitReply, {"whatever"}, true, 0, 0},
      {"integer out of range times out", IntegerReply, {"1000000"}, false, 1, 1},
      {"calibration block with its number", CalDataReply, {"2,00FF"}, true, 0, 0, "2,"},
      {"calibration block of another number is not its reply", CalDataReply, {"3,00FF"}, false, 1, 1, "2,"},
      {"calibration block '?' fails at once", CalDataReply, {"?"}, false, 0, 0, "2,"},
  };
  for (const auto& c : cases) {
    TScriptedLink link;
    link.replies.assign(c.replies.begin(), c.replies.end());
    EXPECT_EQ(link.engine.Request("ENU?;", false, 70, c.handler, c.prefix), c.result) << c.name;
    EXPECT_EQ(link.timeouts, c.timeouts) << c.name;
    EXPECT_EQ(link.notResponding, c.notResponding) << c.name;
    EXPECT_EQ(link.givenUp, std::vector<std::uint64_t>{1}) << c.name;
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

// The box opens while the Request still holds the link: nothing else goes out
// while the technician reads it.
TEST(TRequestEngine, SetReplyRejectionShowsInvalidSettingBeforeTheRequestLetsGo) {
  TScriptedLink link;
  link.replies = {"?"};
  bool busyWhenShown = false;
  link.engine.ShowFailure = [&](const std::string& message) {
    link.failures.push_back(message);
    busyWhenShown = link.engine.Busy();
  };
  EXPECT_FALSE(link.engine.Request("WMD1", false, 70, SetReply, ""));
  EXPECT_EQ(link.failures, std::vector<std::string>{"Invalid Setting"});
  EXPECT_TRUE(busyWhenShown);
  EXPECT_FALSE(link.engine.Busy());
  EXPECT_FALSE(link.engine.Unanswered());  // a refusal is an answer
}

// A time-out shows "Instrument Not Responding" once, before the Request returns;
// the rest of the action sends nothing and shows no second box, until the
// technician acts again.
TEST(TRequestEngine, AnUnansweredRequestShowsOneBoxAndSilencesTheRestOfTheAction) {
  TScriptedLink link;
  bool busyWhenShown = false;
  link.engine.ShowNotResponding = [&] {
    ++link.notResponding;
    busyWhenShown = link.engine.Busy();
  };
  EXPECT_FALSE(link.engine.Request("ENU?;", false, 70, IntegerReply, "ENU"));
  EXPECT_EQ(link.notResponding, 1);
  EXPECT_TRUE(busyWhenShown);
  EXPECT_TRUE(link.engine.Unanswered());
  EXPECT_FALSE(link.engine.Request("COF11;", false, 70, SetReply, ""));
  EXPECT_EQ(link.sent, std::vector<std::string>{"ENU?;"});
  EXPECT_EQ(link.notResponding, 1);
  link.engine.NewAction();
  link.replies = {"0"};
  EXPECT_TRUE(link.engine.Request("COF11;", false, 70, SetReply, ""));
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

TEST(TRequestEngine, SendsOnlyOnceNoEarlierReplyIsOwed) {
  TScriptedLink link;
  link.linkClear = false;
  std::vector<std::string> sentWhileOwed;
  bool busyWhileOwed = false;
  link.duringPump = [&] {
    if (link.ticks == 20 && !link.linkClear) {
      sentWhileOwed = link.sent;
      busyWhileOwed = link.engine.Busy();
      // A reply owed to an earlier command is not this Request's.
      EXPECT_FALSE(link.engine.Dispatch(link.entry, "2"));
      link.linkClear = true;
      link.replies = {"3"};
    }
  };
  EXPECT_TRUE(link.engine.Request("ENU?;", false, 70, IntegerReply, "ENU"));
  EXPECT_TRUE(sentWhileOwed.empty());
  EXPECT_TRUE(busyWhileOwed);
  EXPECT_EQ(link.engine.Context().replyValue, 3);
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
