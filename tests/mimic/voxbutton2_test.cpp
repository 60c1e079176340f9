#include "mimic/voxButton2.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/mimic/mimic_fixture.h"

namespace {

using namespace std::chrono_literals;

// Keys on the fixture's panel with a clock the test moves and a record of events.
class Keys : public MimicFixture {
 protected:
  void SetUp() override {
    MimicFixture::SetUp();
    mimic->LCD().OnColor = 0x0000FFD0;
    Load();
    ASSERT_TRUE(mimic->Buttons().Active());
    auto& keys = mimic->Buttons();
    keys.Now = [this] { return now; };
    keys.OnKeyDown = [this](TVoxLCDButtons*, int k) { events.push_back("down " + std::to_string(k)); };
    keys.OnKeyUp = [this](TVoxLCDButtons*, int k) { events.push_back("up " + std::to_string(k)); };
    keys.OnKeyPressed = [this](TVoxLCDButtons*, int k, int ms) {
      events.push_back("pressed " + std::to_string(k) + " " + std::to_string(ms));
    };
  }

  void Press(QPoint p) { QTest::mousePress(mimic.get(), Qt::LeftButton, {}, p); }
  void Release(QPoint p) { QTest::mouseRelease(mimic.get(), Qt::LeftButton, {}, p); }

  std::chrono::steady_clock::time_point now{10s};
  std::vector<std::string> events;
};

const QPoint kKey0{22, 12};
const QPoint kKey1{33, 15};
const QPoint kNoKey{15, 15};

TEST_F(Keys, ShortPressReportsDownUpAndPressedWithHoldTime) {
  Press(kKey1);
  EXPECT_EQ(mimic->Buttons().HeldKey(), 1);
  now += 150ms;
  Release(kKey1);
  EXPECT_EQ(events, (std::vector<std::string>{"down 1", "up 1", "pressed 1 150"}));
  EXPECT_EQ(mimic->Buttons().HeldKey(), -1);
}

TEST_F(Keys, PressHighlightsTheKeyAndReleaseRestoresEveryPixel) {
  const QImage before = mimic->Canvas().copy();
  Press(kKey0);
  EXPECT_EQ(Pixel(20, 10), before.pixel(20, 10) ^ 0x444444u);
  EXPECT_EQ(Pixel(27, 17), before.pixel(27, 17) ^ 0x444444u);
  EXPECT_EQ(Pixel(30, 10), before.pixel(30, 10)) << "another key is untouched";
  EXPECT_EQ(Pixel(19, 10), before.pixel(19, 10));
  Release(kKey0);
  EXPECT_EQ(mimic->Canvas(), before);
}

TEST_F(Keys, HighlightSurvivesLcdRepaintsOverTheKeyAndStillRestoresExactly) {
  // The LCD rectangle is the whole panel, so each repaint draws over the held key.
  mimic->LCD().SetSegmentsHex("C");
  mimic->PaintLCD();
  const QImage before = mimic->Canvas().copy();
  Press(kKey0);
  mimic->PaintLCD();
  mimic->PaintLCD();
  EXPECT_EQ(Pixel(24, 14), before.pixel(24, 14) ^ 0x444444u);
  Release(kKey0);
  EXPECT_EQ(mimic->Canvas(), before);
}

TEST_F(Keys, PressOnAnotherKeyReleasesTheHeldOneFirst) {
  const QImage before = mimic->Canvas().copy();
  Press(kKey0);
  now += 40ms;
  Press(kKey1);
  EXPECT_EQ(events, (std::vector<std::string>{"down 0", "up 0", "pressed 0 40", "down 1"}));
  EXPECT_EQ(Pixel(22, 12), before.pixel(22, 12));
  EXPECT_EQ(Pixel(33, 15), before.pixel(33, 15) ^ 0x444444u);
}

TEST_F(Keys, PressWhereNoKeyIsReleasesTheHeldKeyAndSelectsNothing) {
  const QImage before = mimic->Canvas().copy();
  Press(kKey0);
  now += 5ms;
  Press(kNoKey);
  EXPECT_EQ(events, (std::vector<std::string>{"down 0", "up 0", "pressed 0 5"}));
  EXPECT_EQ(mimic->Buttons().HeldKey(), -1);
  EXPECT_EQ(mimic->Canvas(), before);
}

TEST_F(Keys, ReleaseWithNoKeyHeldDoesNothing) {
  Press(kNoKey);
  Release(kNoKey);
  EXPECT_TRUE(events.empty());
}

TEST_F(Keys, PressOutsideTheScaledMapIsNoKey) {
  mimic->Buttons().MouseDown(kW + 3, 12);
  mimic->Buttons().MouseDown(-1, -1);
  EXPECT_TRUE(events.empty());
}

TEST_F(Keys, AutoReleaseAtTwoSecondsWithTheInjectedClock) {
  Press(kKey1);
  now += 1999ms;
  mimic->Buttons().CheckAutoRelease(2000);
  EXPECT_EQ(mimic->Buttons().HeldKey(), 1);
  now += 1ms;
  mimic->Buttons().CheckAutoRelease(2000);
  EXPECT_EQ(events, (std::vector<std::string>{"down 1", "up 1", "pressed 1 2000"}));
  Release(kKey1);
  EXPECT_EQ(events.size(), 3u) << "the mouse-up after an auto-release reports nothing";
}

TEST_F(Keys, AutoReleaseWithNoKeyHeldDoesNothing) {
  now += 1h;
  mimic->Buttons().CheckAutoRelease(2000);
  EXPECT_TRUE(events.empty());
}

TEST_F(Keys, ResizeDropsTheHeldKeyWithoutEvents) {
  Press(kKey0);
  mimic->resize(kW * 2, kH * 2);
  mimic->Reload();
  EXPECT_EQ(mimic->Buttons().HeldKey(), -1);
  EXPECT_EQ(events, (std::vector<std::string>{"down 0"}));
  // Keys are scaled to the new size: key 0 now lies at twice the coordinates.
  Press(kKey0 * 2);
  EXPECT_EQ(events.back(), "down 0");
}

TEST_F(Keys, AnErrorInTheKeyHandlerIsShownNotThrownThroughTheEventLoop) {
  mimic->Buttons().OnKeyPressed = [](TVoxLCDButtons*, int, int) { throw std::runtime_error("link failed"); };
  prompter.AnswerMessage(mrOk);
  Press(kKey0);
  Release(kKey0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.Messages().empty(); }, 5000));
  EXPECT_EQ(prompter.Messages()[0], "link failed");
}

}  // namespace
