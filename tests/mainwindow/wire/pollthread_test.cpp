#include "mainwindow/wire/pollthread.h"

#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

namespace {

constexpr int kWaitMs = 10000;

// Stands in for the GUI thread: records what the poll thread asks to send and,
// when told to, answers at once from the poll thread itself (the fastest reply
// there can be).
struct TFakeGui {
  std::mutex mutex;
  std::vector<std::string> sent;
  std::atomic<bool> answer{true};
  TPollStatusThread* poller = nullptr;

  std::function<void(const std::string&)> PostSend() {
    return [this](const std::string& command) {
      {
        std::lock_guard<std::mutex> lock(mutex);
        sent.push_back(command);
      }
      if (answer) poller->EndThreadWait();
    };
  }
  std::size_t Count() {
    std::lock_guard<std::mutex> lock(mutex);
    return sent.size();
  }
  std::vector<std::string> Sent() {
    std::lock_guard<std::mutex> lock(mutex);
    return sent;
  }
};

struct TPolling {
  TFakeGui gui;
  TPollStatusThread poller{gui.PostSend()};
  TPolling() {
    gui.poller = &poller;
    poller.SetLinkActive(true);
    poller.SetAddress(7);
  }
};

}  // namespace

TEST(TPollStatusThread, DisplayModeAsksForTheDisplayImage) {
  TPolling p;
  p.poller.SetPollMode(pmDisplay);
  p.poller.StartPollThread();
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.gui.Count() >= 3; }, kWaitMs));
  EXPECT_TRUE(p.poller.Running());
  p.poller.Stop();
  for (const auto& command : p.gui.Sent()) EXPECT_EQ(command, "FPL?;");
}

TEST(TPollStatusThread, LogModePollsTheWeightBehindTheAddressOnlyWhilePolledLoggingRuns) {
  TPolling p;
  p.poller.SetPollMode(pmLog);
  p.poller.StartPollThread();
  EXPECT_TRUE(p.poller.Running());
  p.poller.SetLogMode(lmPolled);
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.gui.Count() >= 20; }, kWaitMs));
  p.poller.SetLogMode(lmStreamed);
  const auto paused = p.gui.Count();
  p.poller.SetPollMode(pmLog);  // a wake-up that must not send anything
  p.poller.Stop();
  EXPECT_LE(p.gui.Count(), paused + 1);
  EXPECT_EQ(p.gui.Sent().front(), "S07;MSV?;");
}

TEST(TPollStatusThread, PausesForRequestsTransfersAndCalibrationAndResumes) {
  using Setter = void (TPollStatusThread::*)(bool);
  for (Setter pause : {&TPollStatusThread::SetRequestBusy, &TPollStatusThread::SetTransferBusy,
                       &TPollStatusThread::SetCalBusy}) {
    TPolling p;
    p.poller.SetPollMode(pmDisplay);
    (p.poller.*pause)(true);
    p.poller.StartPollThread();
    EXPECT_TRUE(p.poller.Running());
    EXPECT_EQ(p.gui.Count(), 0u);
    EXPECT_FALSE(p.poller.Outstanding());
    (p.poller.*pause)(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.gui.Count() >= 1; }, kWaitMs));
  }
}

TEST(TPollStatusThread, AnUnansweredPollTimesOutAndIsRepeated) {
  TPolling p;
  p.gui.answer = false;
  p.poller.SetReplyTimeoutTicks(2);
  p.poller.SetPollMode(pmDisplay);
  p.poller.StartPollThread();
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.gui.Count() >= 2; }, kWaitMs));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !p.poller.Outstanding(); }, kWaitMs));
}

TEST(TPollStatusThread, AModeThatDoesNotPollEndsTheRunAndAStartResumesIt) {
  TPolling p;
  p.poller.SetPollMode(pmDisplay);
  p.poller.StartPollThread();
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.gui.Count() >= 1; }, kWaitMs));
  p.poller.SetPollMode(pmTest);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !p.poller.Running(); }, kWaitMs));
  p.poller.SetPollMode(pmCalibration);
  const auto before = p.gui.Count();
  EXPECT_FALSE(p.poller.Running());
  p.poller.StartPollThread();
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.gui.Count() > before; }, kWaitMs));
}

TEST(TPollStatusThread, DoesNotRunWithoutALink) {
  TPolling p;
  p.poller.SetLinkActive(false);
  p.poller.SetPollMode(pmDisplay);
  p.poller.StartPollThread();
  EXPECT_FALSE(p.poller.Running());
  p.poller.Stop();
  EXPECT_EQ(p.gui.Count(), 0u);
}

TEST(TPollStatusThread, StopEndsAWaitAtOnceAndNothingIsSentAfterwards) {
  TPolling p;
  p.gui.answer = false;
  p.poller.SetReplyTimeoutTicks(100000);
  p.poller.SetPollMode(pmDisplay);
  p.poller.StartPollThread();
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.poller.Outstanding(); }, kWaitMs));
  p.poller.Stop();
  const auto count = p.gui.Count();
  p.poller.StartPollThread();
  EXPECT_EQ(p.gui.Count(), count);
}

TEST(TPollStatusThread, AReplyEndsTheOutstandingPollAtOnceAndTheNextPollStillFollows) {
  TPolling p;
  p.gui.answer = false;
  p.poller.SetPollMode(pmDisplay);
  p.poller.StartPollThread();
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.gui.Count() >= 1 && p.poller.Outstanding(); }, kWaitMs));
  // A request waiting for the poll to be answered must see it answered with the
  // reply, not once the poll thread next runs.
  p.poller.EndThreadWait();
  EXPECT_FALSE(p.poller.Outstanding());
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.gui.Count() >= 2; }, kWaitMs));
  p.poller.Stop();
}
