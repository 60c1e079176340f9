// The Display page as a technician sees it, connected to the simulated indicator:
// the weight on the panel, and a key held down; the W840's Display and Settings
// pages. With VIEWER_SNAPSHOT_DIR set the pictures are written there as PNG files.
#include <QImage>

#include "mimic/voxMimicDisp.h"
#include "tests/mainwindow/fixture/viewer_fixture.h"
#include "tools/panel/segments.h"

namespace {

TEST_F(TViewerTest, TheDisplayPageShowsTheWeightAndAHeldKey) {
  indicator.SetWeight(12.5);
  indicator.Feed("IAD1,4000,1;");
  Connect();
  const std::string weight = indicator.Display();
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(weight); }, kWaitMs));
  QTest::qWait(50);
  const QImage shown = window->grab().toImage();
  KeepPicture(shown, "W830_830-display.png");

  auto& keys = window->DisplayMimic().Buttons();
  const QPoint zeroKey = FirstPixelOfKey(keys, 0);
  ASSERT_GE(zeroKey.x(), 0);
  keys.MouseDown(zeroKey.x(), zeroKey.y());
  window->DisplayMimic().repaint();
  const QImage held = window->grab().toImage();
  KeepPicture(held, "W830_830-key-held.png");
  EXPECT_NE(held, shown);
  keys.MouseUp();
  ASSERT_TRUE(QTest::qWaitFor([&] { return WireHas("FPL1;"); }, kWaitMs));
}

TEST_F(TW840ViewerTest, TheW840ShowsTheWeightInItsLcdWindowAndItsSettingsPage) {
  indicator.SetWeight(12.5);
  indicator.Feed("IAD1,4000,1;");
  indicator.Feed("IDN\"Bay 4\";");
  Connect();
  const std::string weight = indicator.Display();
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(weight); }, kWaitMs));
  QTest::qWait(50);
  KeepPicture(window->grab().toImage(), "W840Viewer-display.png");

  ReadSettings();
  ShowPage("TSSettings");
  KeepPicture(window->grab().toImage(), "W840Viewer-settings.png");
}

}  // namespace
