#include "mainwindow/wire/timerpoller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The window's side in the test's hands: what goes on the wire, and the link.
struct TWire : TPoller::THost {
  bool active = true;
  bool clear = true;  // no other command's reply owed
  std::vector<std::string> sent;
  bool LinkActive() const override { return active; }
  bool MaySend(const std::string&) const override { return clear; }
  void SendCommand(const std::string& command) override { sent.push_back(command); }
};

class TimerPoller : public ::testing::Test {
 protected:
  TimerPoller() { SetState([](TPollState& s) { s.pollMode = pmDisplay; }); }
  template <class F>
  void SetState(F change) {
    change(state);
    poller.SetState(state);
  }
  // Ticks, each answered at once when the indicator answers.
  void Run(int ticks, bool answer) {
    for (int i = 0; i < ticks; ++i) {
      const std::size_t before = wire.sent.size();
      poller.Tick();
      if (answer && wire.sent.size() > before) poller.ReplyArrived();
    }
  }

  TWire wire;
  TPollState state{.linkActive = true, .address = 99, .replyTimeoutTicks = 7};
  w840::TTimerPoller poller{wire};
};

TEST_F(TimerPoller, EveryTenthDisplayPollAsksForTheStatus) {
  Run(20, true);
  std::vector<std::string> want(9, "FPL?;");
  want.push_back("S99;ESR?;");
  want.insert(want.end(), 9, "FPL?;");
  want.push_back("S99;ESR?;");
  EXPECT_EQ(wire.sent, want);
}

TEST_F(TimerPoller, OnePollIsOutstandingUntilItsReplyOrItsTimeOut) {
  Run(1, false);
  EXPECT_TRUE(poller.Outstanding());
  Run(6, false);
  EXPECT_EQ(wire.sent.size(), 1u);
  Run(1, false);  // the seventh tick after the send lets the next poll go
  EXPECT_EQ(wire.sent.size(), 2u);
  poller.ReplyArrived();
  EXPECT_FALSE(poller.Outstanding());
  Run(1, false);
  EXPECT_EQ(wire.sent.size(), 3u);
}

TEST_F(TimerPoller, AKeyCommandsReplyIsAwaitedBeforeTheNextPoll) {
  poller.KeySent();
  Run(6, false);
  EXPECT_TRUE(wire.sent.empty());
  poller.ReplyArrived();
  Run(1, false);
  EXPECT_EQ(wire.sent, std::vector<std::string>{"FPL?;"});
}

TEST_F(TimerPoller, WhatStopsThePolls) {
  const struct {
    const char* name;
    void (*change)(TPollState&, TWire&);
    bool polls;
  } cases[] = {
      {"display", [](TPollState&, TWire&) {}, true},
      {"calibration page", [](TPollState& s, TWire&) { s.pollMode = pmCalibration; }, true},
      {"calibration step", [](TPollState& s, TWire&) { s.calBusy = true; }, false},
      {"transfer", [](TPollState& s, TWire&) { s.transferBusy = true; }, false},
      {"request", [](TPollState& s, TWire&) { s.requestBusy = true; }, false},
      {"link down", [](TPollState&, TWire& w) { w.active = false; }, false},
      {"test page", [](TPollState& s, TWire&) { s.pollMode = pmTest; }, false},
      {"log page without polled logging", [](TPollState& s, TWire&) { s.pollMode = pmLog; }, false},
  };
  for (const auto& c : cases) {
    TWire wire;
    w840::TTimerPoller poller(wire);
    TPollState state{.pollMode = pmDisplay, .linkActive = true, .replyTimeoutTicks = 7};
    c.change(state, wire);
    poller.SetState(state);
    poller.Tick();
    EXPECT_EQ(!wire.sent.empty(), c.polls) << c.name;
  }
}

TEST_F(TimerPoller, PolledLoggingAsksForTheWeightBehindTheAddress) {
  SetState([](TPollState& s) {
    s.pollMode = pmLog;
    s.logMode = lmPolled;
    s.address = 7;
  });
  Run(3, true);
  EXPECT_EQ(wire.sent, std::vector<std::string>(3, "S07;MSV?;"));
}

TEST_F(TimerPoller, ANewLinkStartsTheCountAfresh) {
  Run(5, true);
  poller.KeySent();
  poller.Reset();
  EXPECT_FALSE(poller.Outstanding());
  Run(10, true);
  EXPECT_EQ(wire.sent[5 + 8], "FPL?;");
  EXPECT_EQ(wire.sent[5 + 9], "S99;ESR?;");
  poller.Stop();
  Run(1, true);
  EXPECT_EQ(wire.sent.size(), 15u);
  EXPECT_FALSE(poller.Running());
}

}  // namespace

// While another command's reply is owed no poll goes out, and the one held back
// keeps its place in the count: the tenth poll is still the status query.
TEST_F(TimerPoller, APollWaitsWhileAnotherCommandsReplyIsOwed) {
  wire.clear = false;
  Run(50, true);
  EXPECT_TRUE(wire.sent.empty());
  wire.clear = true;
  Run(10, true);
  ASSERT_EQ(wire.sent.size(), 10u);
  EXPECT_EQ(wire.sent[8], "FPL?;");
  EXPECT_EQ(wire.sent[9], "S99;ESR?;");
}
