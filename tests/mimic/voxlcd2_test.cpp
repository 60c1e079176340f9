#include "mimic/voxlcd2.h"

#include <gtest/gtest.h>

#include <vector>

#include "mimic/mimicerror.h"
#include "tests/mimic/vb2_files.h"
#include "tests/support/temp_exe_dir.h"

namespace {

std::vector<int> Segments(const TVoxLCD& lcd, int first, int count) {
  std::vector<int> out;
  for (int i = first; i < first + count; ++i) out.push_back(lcd.States()[static_cast<std::size_t>(i)]);
  return out;
}

// An LCD map of `width` x 1 pixels whose cell x is segment x, `segments` in all;
// pixels at or past `segments` are no segment.
QString WriteStripMap(const TTempExeDir& dir, int width, int segments) {
  std::vector<std::uint16_t> cells;
  for (int x = 0; x < width; ++x) cells.push_back(static_cast<std::uint16_t>(std::min(x, segments)));
  return dir.Write("strip.VB2", vb2::File(width, 1, segments, cells));
}

TEST(VoxLCDStates, FreshLcdHasFiveHundredSegmentsAllOn) {
  TVoxLCD lcd;
  EXPECT_EQ(lcd.SegmentCount(), 500);
  ASSERT_EQ(lcd.States().size(), 500u);
  EXPECT_EQ(Segments(lcd, 0, 4), (std::vector<int>{1, 1, 1, 1}));
  EXPECT_EQ(lcd.OnColor, 0x0000FFFFu);
  EXPECT_EQ(lcd.OffColor, clNone);
}

struct HexCase {
  const char* text;
  std::vector<int> first8;
};
void PrintTo(const HexCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class VoxLCDHex : public ::testing::TestWithParam<HexCase> {};

TEST_P(VoxLCDHex, DigitCarriesFourSegmentsMostSignificantFirst) {
  TVoxLCD lcd;
  lcd.SetSegmentsHex("00");
  lcd.SetSegmentsHex(GetParam().text);
  EXPECT_EQ(Segments(lcd, 0, 8), GetParam().first8);
}

INSTANTIATE_TEST_SUITE_P(Digits, VoxLCDHex,
                         ::testing::Values(HexCase{"8", {1, 0, 0, 0, 0, 0, 0, 0}},
                                           HexCase{"F", {1, 1, 1, 1, 0, 0, 0, 0}},
                                           HexCase{"f", {1, 1, 1, 1, 0, 0, 0, 0}},
                                           HexCase{"g", {0, 0, 0, 0, 0, 0, 0, 0}},
                                           HexCase{"5a", {0, 1, 0, 1, 1, 0, 1, 0}},
                                           HexCase{"1C", {0, 0, 0, 1, 1, 1, 0, 0}},
                                           HexCase{" 9", {0, 0, 0, 0, 1, 0, 0, 1}}));

TEST(VoxLCDStates, ShortStringLeavesLaterSegmentsAlone) {
  TVoxLCD lcd;
  lcd.SetSegmentsHex("000");
  EXPECT_EQ(Segments(lcd, 0, 12), std::vector<int>(12, 0));
  EXPECT_EQ(Segments(lcd, 12, 4), (std::vector<int>{1, 1, 1, 1}));
}

TEST(VoxLCDStates, SegmentsBeyondTheMapAreIgnored) {
  TTempExeDir dir;
  TVoxLCD lcd;
  lcd.LoadMap(10, 1, WriteStripMap(dir, 10, 10));
  ASSERT_EQ(lcd.SegmentCount(), 10);
  ASSERT_EQ(lcd.States().size(), 11u);
  lcd.SetSegmentsHex("000");
  lcd.SetSegmentsHex("FFF");
  EXPECT_EQ(Segments(lcd, 0, 10), std::vector<int>(10, 1));
  lcd.SetSegment(10, 1);
  lcd.SetSegment(-1, 1);
  lcd.SetSegment(11, 1);
  EXPECT_EQ(lcd.States().size(), 11u);
}

TEST(VoxLCDStates, LoadMapKeepsStatesAndAddsOffOnes) {
  TTempExeDir dir;
  TVoxLCD lcd;
  lcd.SetSegmentsHex("A");
  lcd.LoadMap(4, 1, WriteStripMap(dir, 4, 600));
  ASSERT_EQ(lcd.States().size(), 601u);
  EXPECT_EQ(Segments(lcd, 0, 4), (std::vector<int>{1, 0, 1, 0}));
  EXPECT_EQ(lcd.States()[499], 1);
  EXPECT_EQ(lcd.States()[500], 0);
  EXPECT_EQ(lcd.States()[599], 0);
}

TEST(VoxLCDStates, FailedLoadKeepsTheOldMap) {
  TTempExeDir dir;
  TVoxLCD lcd;
  lcd.LoadMap(8, 1, WriteStripMap(dir, 8, 8));
  EXPECT_THROW(lcd.LoadMap(8, 1, dir.Path("missing.VB2")), EMimicError);
  EXPECT_EQ(lcd.SegmentCount(), 8);
  EXPECT_EQ(lcd.Map.FileName, dir.Path("strip.VB2"));
}

TEST(VoxLCDDraw, NewSizeReReadsAndRescalesTheMapSameSizeDoesNot) {
  TTempExeDir dir;
  TVoxLCD lcd;
  lcd.OnColor = 0x00FFFFFF;
  lcd.LoadMap(8, 1, WriteStripMap(dir, 8, 8));
  QImage canvas(16, 2, QImage::Format_RGB32);
  canvas.fill(Qt::black);
  lcd.CaptureBackground(0, 0, canvas, 1, 8);
  lcd.Draw(0, 0, canvas, 1, 8);
  lcd.Draw(0, 0, canvas, 1, 8);
  EXPECT_EQ(lcd.MapLoads(), 1);
  lcd.Draw(0, 0, canvas, 2, 16);
  EXPECT_EQ(lcd.MapLoads(), 2);
  EXPECT_EQ(lcd.Map.Width, 16);
  EXPECT_EQ(lcd.Map.Height, 2);
  // Every segment is still lit from creation, so the whole rescaled strip is.
  EXPECT_EQ(canvas.pixel(0, 1), qRgb(0xFF, 0xFF, 0xFF));
  EXPECT_EQ(canvas.pixel(15, 1), qRgb(0xFF, 0xFF, 0xFF));
}

TEST(VoxLCDDraw, DrawsOnlyInsideTheCanvas) {
  TTempExeDir dir;
  TVoxLCD lcd;
  lcd.LoadMap(8, 1, WriteStripMap(dir, 8, 8));
  QImage canvas(4, 1, QImage::Format_RGB32);
  canvas.fill(Qt::black);
  lcd.CaptureBackground(0, 0, canvas, 1, 8);
  lcd.Draw(2, 0, canvas, 1, 8);
  lcd.Draw(-6, 0, canvas, 1, 8);
  EXPECT_EQ(canvas.pixel(0, 0), qRgb(0xFF, 0xFF, 0x00)) << "the default lit colour is $0000FFFF";
}

}  // namespace
