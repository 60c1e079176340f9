#include "mainwindow/requestengine.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A request engine on a fake link: what is sent is recorded, and the test says
// what comes back; ticks are driven by the test, not by a clock.
struct TEngineFixture {
  TRequestEngine engine;
  bool active = true;
  bool pollOutstanding = false;
  std::vector<std::string> sent;
  std::vector<bool> waitingChanges;
  int timeouts = 0;
  std::function<void(const std::string&)> onSend;

  TEngineFixture() {
    engine.LinkActive = [this] { return active; };
    engine.Send = [this](const std::string& command, bool) {
      sent.push_back(command);
      if (onSend) onSend(command);
    };
    engine.PollOutstanding = [this] { return pollOutstanding; };
    engine.OnTimeout = [this] { ++timeouts; };
    engine.OnWaitingChanged = [this](bool waiting) { waitingChanges.push_back(waiting); };
  }
  // Each later reply is posted, as the link delivers them.
  void AnswerWith(std::vector<std::string> replies) {
    onSend = [this, replies](const std::string&) {
      for (const std::string& reply : replies) QTimer::singleShot(0, [this, reply] { engine.Reply(reply); });
    };
  }
  // Ticks fed while the request waits, one per event loop pass.
  void TickWhileWaiting(QTimer& ticker) {
    QObject::connect(&ticker, &QTimer::timeout, [this] { engine.Tick(); });
    ticker.start(0);
  }
};

TReplyHandler IntegerHandler(int& value) {
  return [&value](const std::string& reply, const std::string& prefix) {
    const std::string line = prefix + reply;
    if (line.rfind("ENU", 0) != 0 || line.size() == 3 || line.find_first_not_of("0123456789", 3) != std::string::npos)
      return TReplyVerdict::KeepWaiting;
    value = std::stoi(line.substr(3));
    return TReplyVerdict::Accept;
  };
}

TReplyHandler AckHandler() {
  return [](const std::string& reply, const std::string&) {
    if (reply == "0") return TReplyVerdict::Accept;
    return reply == "?" ? TReplyVerdict::Reject : TReplyVerdict::KeepWaiting;
  };
}

}  // namespace

TEST(TRequestEngine, AnAcceptedReplyEndsTheRequestWithSuccess) {
  TEngineFixture f;
  int value = 0;
  f.AnswerWith({"FPL00FF", "2"});
  EXPECT_TRUE(f.engine.Request("S99;ENU?;", false, 70, IntegerHandler(value), "ENU"));
  EXPECT_EQ(value, 2);
  EXPECT_EQ(f.sent, (std::vector<std::string>{"S99;ENU?;"}));
  EXPECT_EQ(f.waitingChanges, (std::vector<bool>{true, false}));
  EXPECT_FALSE(f.engine.Waiting());
}

TEST(TRequestEngine, AcknowledgementsAcceptZeroAndRejectAQuestionMarkAtOnce) {
  const std::pair<const char*, bool> cases[] = {{"0", true}, {"?", false}};
  for (const auto& [reply, result] : cases) {
    TEngineFixture f;
    f.AnswerWith({reply});
    EXPECT_EQ(f.engine.Request("TDD1", false, 70, AckHandler(), ""), result) << reply;
    EXPECT_EQ(f.timeouts, 0) << reply;
  }
}

TEST(TRequestEngine, AReplyNoHandlerAcceptsEndsInTheTimeOut) {
  TEngineFixture f;
  int value = 0;
  f.AnswerWith({"?"});
  QTimer ticker;
  f.TickWhileWaiting(ticker);
  EXPECT_FALSE(f.engine.Request("S99;ENU?;", false, 70, IntegerHandler(value), "ENU"));
  EXPECT_EQ(f.timeouts, 1);
}

TEST(TRequestEngine, TheCountdownOnlyRunsWhileTheLinkIsActive) {
  TEngineFixture f;
  f.onSend = [&f](const std::string&) {
    f.active = false;
    for (int i = 0; i < 5; ++i) f.engine.Tick();
    f.active = true;
    for (int i = 0; i < 3; ++i) f.engine.Tick();
  };
  QTimer::singleShot(0, [&f] { f.engine.Reply("0"); });
  EXPECT_TRUE(f.engine.Request("TDD1", false, 5, AckHandler(), ""));
}

TEST(TRequestEngine, ARequestOnAnInactiveLinkFailsAndSendsNothing) {
  TEngineFixture f;
  f.active = false;
  EXPECT_FALSE(f.engine.Request("TDD1", false, 70, AckHandler(), ""));
  EXPECT_TRUE(f.sent.empty());
  EXPECT_TRUE(f.waitingChanges.empty());
}

TEST(TRequestEngine, AZeroTimeOutNeverExpiresAndEndsOnlyThroughAHandlerAsAFailure) {
  TEngineFixture f;
  f.onSend = [&f](const std::string&) {
    for (int i = 0; i < 1000; ++i) f.engine.Tick();
    QTimer::singleShot(0, [&f] { f.engine.Reply("0"); });
  };
  EXPECT_FALSE(f.engine.Request("TDD1", false, 0, AckHandler(), ""));
  EXPECT_EQ(f.timeouts, 0);
}

TEST(TRequestEngine, ASecondRequestWhileOneWaitsIsRefused) {
  TEngineFixture f;
  bool inner = true;
  f.onSend = [&f, &inner](const std::string& command) {
    if (command != "first") return;
    QTimer::singleShot(0, [&f, &inner] {
      inner = f.engine.Request("second", false, 70, AckHandler(), "");
      f.engine.Reply("0");
    });
  };
  EXPECT_TRUE(f.engine.Request("first", false, 70, AckHandler(), ""));
  EXPECT_FALSE(inner);
  EXPECT_EQ(f.sent, (std::vector<std::string>{"first"}));
}

TEST(TRequestEngine, AbortEndsTheWaitAsAFailure) {
  TEngineFixture f;
  f.onSend = [&f](const std::string&) { QTimer::singleShot(0, [&f] { f.engine.Abort(); }); };
  EXPECT_FALSE(f.engine.Request("TDD1", false, 0, AckHandler(), ""));
  EXPECT_FALSE(f.engine.Waiting());
}

TEST(TRequestEngine, AnOutstandingDisplayPollIsAnsweredBeforeTheRequestSends) {
  TEngineFixture f;
  f.pollOutstanding = true;
  std::vector<std::string> order;
  QTimer::singleShot(0, [&] {
    order.push_back("poll answered");
    f.pollOutstanding = false;
  });
  f.onSend = [&](const std::string& command) {
    order.push_back(command);
    QTimer::singleShot(0, [&f] { f.engine.Reply("0"); });
  };
  EXPECT_TRUE(f.engine.Request("TDD1", false, 70, AckHandler(), ""));
  EXPECT_EQ(order, (std::vector<std::string>{"poll answered", "TDD1"}));
}

TEST(TRequestEngine, APollThatNeverReturnsHoldsTheRequestOnlyForItsTimeOut) {
  TEngineFixture f;
  f.pollOutstanding = true;
  QTimer ticker;
  f.TickWhileWaiting(ticker);
  f.onSend = [&f](const std::string&) { QTimer::singleShot(0, [&f] { f.engine.Reply("0"); }); };
  EXPECT_TRUE(f.engine.Request("TDD1", false, 20, AckHandler(), ""));
  EXPECT_EQ(f.sent, (std::vector<std::string>{"TDD1"}));
}

TEST(TRequestEngine, DelayTicksWaitsForTheGivenTicks) {
  TEngineFixture f;
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    ++ticks;
    f.engine.Tick();
  });
  ticker.start(0);
  f.engine.DelayTicks(25);
  EXPECT_EQ(ticks, 25);
}

TEST(TRequestEngine, TheTickCountWrapsOnceASecond) {
  TEngineFixture f;
  for (int i = 0; i < TRequestEngine::kTicksPerSecond - 1; ++i) f.engine.Tick();
  EXPECT_EQ(f.engine.TickCount(), TRequestEngine::kTicksPerSecond - 1);
  f.engine.Tick();
  EXPECT_EQ(f.engine.TickCount(), 0);
}
