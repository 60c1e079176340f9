// The window's 10 ms timer ticks only while something counts in ticks: between
// the W830's display polls it sleeps, and what it counts for still happens on time.
#include "mimic/voxMimicDisp.h"
#include "tests/mainwindow/fixture/viewer_fixture.h"

namespace {

TEST_F(TViewerTest, BetweenDisplayPollsTheTimerSleepsAndTheLcdStillBlanksWhenRepliesStop) {
  Connect();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= 3 && LcdShows(indicator.Display()); }, kWaitMs));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Ticking(); }, kWaitMs));
  indicator.SetFaults({.silent = true});
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdAll(false); }, kWaitMs));
  indicator.SetFaults({});
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(indicator.Display()) && !LcdAll(false); }, kWaitMs));
}

TEST_F(TViewerTest, AKeyHeldDownOnTheSleepingPanelIsReleasedAsALongPress) {
  Connect();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= 3 && !window->Ticking(); }, kWaitMs));
  TVoxMimicDisp& mimic = window->DisplayMimic();
  const QPoint key = FirstPixelOfKey(mimic.Buttons(), 0);
  ASSERT_GE(key.x(), 0);
  QTest::mousePress(&mimic, Qt::LeftButton, {}, key);
  EXPECT_TRUE(window->Ticking());
  ASSERT_TRUE(QTest::qWaitFor([&] { return WireHas("FPL1,1;"); }, kWaitMs));
  QTest::mouseRelease(&mimic, Qt::LeftButton, {}, key);
  EXPECT_FALSE(WireHas("FPL1;"));
}

}  // namespace
