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

// A new weight in many digits at once: the box around the changed segments is
// drawn as one rectangle, every changed pixel in it; a few changes stay apart.
TEST(VoxLCDDraw, ManyChangedSegmentsAreDrawnAsTheBoxAroundThem) {
  TTempExeDir dir;
  TVoxLCD lcd;
  lcd.OnColor = 0x00FFFFFF;
  lcd.LoadMap(64, 1, WriteStripMap(dir, 64, 64));
  QImage canvas(64, 1, QImage::Format_RGB32);
  canvas.fill(Qt::black);
  lcd.CaptureBackground(0, 0, canvas, 1, 64);
  lcd.SetSegmentsHex(std::string(16, '0'));
  lcd.Draw(0, 0, canvas, 1, 64);
  lcd.SetSegmentsHex(std::string(16, 'A'));  // every other segment lit: 32 rectangles
  EXPECT_EQ(lcd.Draw(0, 0, canvas, 1, 64), QRegion(0, 0, 63, 1));
  for (int x = 0; x < 64; ++x) EXPECT_EQ(canvas.pixel(x, 0), x % 2 ? qRgb(0, 0, 0) : qRgb(0xFF, 0xFF, 0xFF)) << x;
  lcd.SetSegmentsHex(std::string(15, 'A') + "B");  // and segment 63
  EXPECT_EQ(lcd.Draw(0, 0, canvas, 1, 64), QRegion(63, 0, 1, 1));
  EXPECT_EQ(canvas.pixel(63, 0), qRgb(0xFF, 0xFF, 0xFF));
}

// An LCD of 8 x 2 pixels whose column x is segment x, drawn at (1, 1) of a canvas
// whose every pixel differs, so that a pixel left stale or taken from the wrong
// place shows.
class VoxLCDChanges : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::uint16_t> cells;
    for (int x = 0; x < 8; ++x) cells.insert(cells.end(), 2, static_cast<std::uint16_t>(x));
    mapFile = dir.Write("grid.VB2", vb2::File(8, 2, 8, cells));
    for (int y = 0; y < canvas.height(); ++y)
      for (int x = 0; x < canvas.width(); ++x) canvas.setPixel(x, y, qRgb(x * 20, y * 60, 0x40 + x + y));
    Prepare(lcd, canvas);
  }

  void Prepare(TVoxLCD& l, const QImage& under) {
    l.OnColor = 0x00FFFFFF;
    l.LoadMap(8, 2, mapFile);
    l.CaptureBackground(1, 1, under, 2, 8);
  }

  // What an LCD that never drew before makes of the same states on the same picture.
  QImage Fresh(const std::string& segments, TColor off) {
    QImage picture = background;
    TVoxLCD fresh;
    Prepare(fresh, picture);
    fresh.OffColor = off;
    fresh.SetSegmentsHex(segments);
    fresh.Draw(1, 1, picture, 2, 8);
    return picture;
  }

  TTempExeDir dir;
  QString mapFile;
  QImage canvas{10, 4, QImage::Format_RGB32};
  QImage background;
  TVoxLCD lcd;
};

TEST_F(VoxLCDChanges, RedrawsOnlyTheSegmentsThatChangedAndShowsWhatAFullDrawShows) {
  background = canvas.copy();
  struct Step {
    const char* segments;
    TColor off;
    QRegion drawn;  // in canvas pixels
  };
  const Step steps[] = {
      {"00", clNone, QRect(1, 1, 8, 2)},      // the first draw copies the whole LCD
      {"00", clNone, QRegion()},              // nothing changed: nothing is drawn
      {"10", clNone, QRect(4, 1, 1, 2)},      // segment 3 lit
      {"30", clNone, QRect(3, 1, 1, 2)},      // segment 2 lit, 3 stays
      {"81", clNone,                          // segments 0 and 7 lit, 2 and 3 off: theirs only
       QRegion(1, 1, 1, 2) | QRegion(3, 1, 2, 2) | QRegion(8, 1, 1, 2)},
      {"81", 0x00FF0000, QRect(1, 1, 8, 2)},  // a new off colour redraws every segment
      {"80", 0x00FF0000, QRect(8, 1, 1, 2)},  // segment 7 off, in the off colour
      {"80", clNone, QRect(1, 1, 8, 2)},      // no off colour: the background again
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.segments);
    lcd.OffColor = step.off;
    lcd.SetSegmentsHex(step.segments);
    EXPECT_EQ(lcd.Draw(1, 1, canvas, 2, 8), step.drawn);
    EXPECT_EQ(canvas, Fresh(step.segments, step.off));
  }
}

TEST_F(VoxLCDChanges, AnyoneElsesWriteIntoTheCanvasIsDrawnOverWhole) {
  background = canvas.copy();
  lcd.SetSegmentsHex("F0");
  lcd.Draw(1, 1, canvas, 2, 8);
  canvas.setPixel(2, 1, qRgb(1, 2, 3));
  EXPECT_EQ(lcd.Draw(1, 1, canvas, 2, 8), QRegion(1, 1, 8, 2));
  EXPECT_EQ(canvas, Fresh("F0", clNone));
  // Drawn somewhere else, the whole LCD goes there.
  EXPECT_EQ(lcd.Draw(0, 0, canvas, 2, 8), QRegion(0, 0, 8, 2));
}

}  // namespace
