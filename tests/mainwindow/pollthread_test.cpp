#include "mainwindow/pollthread.h"

#include <QTest>
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "mainwindow/pollmode.h"

namespace {

// The poll thread with a recording send; answerAtOnce replies from inside the send
// request, before the thread has begun to wait.
struct TPollFixture {
  std::mutex mutex;
  std::vector<std::string> commands;
  std::atomic<bool> answerAtOnce{false};
  TPollStatusThread thread{[this](const std::string& command) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      commands.push_back(command);
    }
    if (answerAtOnce) thread.EndThreadWait();
  }};

  std::vector<std::string> Commands() {
    std::lock_guard<std::mutex> lock(mutex);
    return commands;
  }
  std::size_t Count() { return Commands().size(); }
};

constexpr int kLimitMs = 20000;
// A reply time-out long enough that only a reply can end a wait within the limit.
constexpr int kForeverTicks = 1000000;

}  // namespace

TEST(TPollStatusThread, AReplyThatComesBeforeTheWaitBeginsIsNotLost) {
  TPollFixture f;
  f.answerAtOnce = true;
  f.thread.SetReplyTimeout(kForeverTicks);
  f.thread.SetPollMode(pmDisplay);
  f.thread.Start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return f.Count() >= 5; }, kLimitMs));
  for (const std::string& command : f.Commands()) EXPECT_EQ(command, "FPL?;");
}

TEST(TPollStatusThread, LogPollsCarryTheAddressAndFollowOnFromTheDisplayLoop) {
  TPollFixture f;
  f.answerAtOnce = true;
  f.thread.SetReplyTimeout(kForeverTicks);
  f.thread.SetAddress(5);
  f.thread.SetLogMode(lmPolled);
  f.thread.SetPollMode(pmDisplay);
  f.thread.Start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.Count() >= 1; }, kLimitMs));
  f.thread.SetPollMode(pmLog);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Commands().empty() && f.Commands().back() == "S05;MSV?;"; }, kLimitMs));
  EXPECT_TRUE(f.thread.Running());
}

TEST(TPollStatusThread, APauseHoldsThePollsUntilItEnds) {
  TPollFixture f;
  f.thread.SetReplyTimeout(kForeverTicks);
  f.thread.SetPollMode(pmDisplay);
  f.thread.Start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.thread.ThreadWaiting(); }, kLimitMs));
  f.thread.SetWaiting(true);
  f.thread.EndThreadWait();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !f.thread.ThreadWaiting(); }, kLimitMs));
  const std::size_t paused = f.Count();
  f.thread.SetWaiting(false);
  EXPECT_TRUE(QTest::qWaitFor([&] { return f.Count() > paused; }, kLimitMs));
}

TEST(TPollStatusThread, AModeWithoutPollingEndsTheLoopsAndStartRunsThemAgain) {
  TPollFixture f;
  f.answerAtOnce = true;
  f.thread.SetPollMode(pmDisplay);
  f.thread.Start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.Count() >= 1; }, kLimitMs));
  f.thread.SetPollMode(pmTest);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !f.thread.Running(); }, kLimitMs));
  const std::size_t before = f.Count();
  f.thread.SetPollMode(pmCalibration);
  f.thread.Start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return f.Count() > before; }, kLimitMs));
}

TEST(TPollStatusThread, StopEndsAWaitAtOnceAndNothingIsSentAfterwards) {
  TPollFixture f;
  f.thread.SetReplyTimeout(kForeverTicks);
  f.thread.SetPollMode(pmDisplay);
  f.thread.Start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.thread.ThreadWaiting(); }, kLimitMs));
  f.thread.Stop();
  const std::size_t sent = f.Count();
  f.thread.Start();
  EXPECT_FALSE(f.thread.Running());
  EXPECT_EQ(f.Count(), sent);
}
