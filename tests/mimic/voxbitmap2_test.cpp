#include "mimic/voxbitmap2.h"

#include <gtest/gtest.h>

#include "mimic/mimicerror.h"
#include "tests/mimic/vb2_files.h"
#include "tests/support/temp_exe_dir.h"

namespace {

// A source whose cells name their own position: cell (x, y) = x * 10 + y.
TVoxBitmap NumberedSource(int width, int height) {
  TVoxBitmap map;
  map.SetSize(width, height, 1000);
  for (int x = 0; x < width; ++x)
    for (int y = 0; y < height; ++y) map.SetCell(x, y, x * 10 + y);
  return map;
}

TEST(VoxBitmap, FreshMapIsEmptyWithFiveHundredIndices) {
  TVoxBitmap map;
  EXPECT_EQ(map.Width, 0);
  EXPECT_EQ(map.Height, 0);
  EXPECT_EQ(map.IndexCount, 500);
  EXPECT_TRUE(map.FileName.isEmpty());
}

TEST(VoxBitmap, LoadsColumnMajorCells) {
  TTempExeDir dir;
  // 3 columns of 2 rows: column 0 = {0, 1}, column 1 = {2, 3}, column 2 = {4, 5}.
  const QString path = dir.Write("m.VB2", vb2::File(3, 2, 6, {0, 1, 2, 3, 4, 5}));
  TVoxBitmap map;
  map.LoadFromFile(path);
  EXPECT_EQ(map.FileName, path);
  EXPECT_EQ(map.Width, 3);
  EXPECT_EQ(map.Height, 2);
  EXPECT_EQ(map.IndexCount, 6);
  EXPECT_EQ(map.Index(0, 1), 1);
  EXPECT_EQ(map.Index(1, 0), 2);
  EXPECT_EQ(map.Index(2, 1), 5);
}

TEST(VoxBitmap, BytesAfterTheLastColumnAreIgnored) {
  QByteArray bytes = vb2::File(1, 2, 4, {3, 2});
  bytes.append("trailing junk");
  TVoxBitmap map;
  map.LoadFromBytes(bytes.constData(), static_cast<std::size_t>(bytes.size()), "m");
  EXPECT_EQ(map.Index(0, 0), 3);
  EXPECT_EQ(map.Index(0, 1), 2);
}

TEST(VoxBitmap, ShortFileLeavesTheRestOfTheCellsZero) {
  QByteArray bytes = vb2::File(2, 2, 9, {7, 8, 9});
  bytes.chop(1);  // the third cell is cut half-way
  TVoxBitmap map;
  map.LoadFromBytes(bytes.constData(), static_cast<std::size_t>(bytes.size()), "m");
  EXPECT_EQ(map.Index(0, 0), 7);
  EXPECT_EQ(map.Index(0, 1), 8);
  EXPECT_EQ(map.Index(1, 0), 0);
  EXPECT_EQ(map.Index(1, 1), 0);
}

TEST(VoxBitmap, CellAboveTheIndexCountMeansNoIndex) {
  const QByteArray bytes = vb2::File(2, 1, 4, {4, 60000});
  TVoxBitmap map;
  map.LoadFromBytes(bytes.constData(), static_cast<std::size_t>(bytes.size()), "m");
  EXPECT_EQ(map.Index(0, 0), 4);
  EXPECT_EQ(map.Index(1, 0), 4);
}

TEST(VoxBitmap, IndexOutsideTheMapMeansNoIndex) {
  const TVoxBitmap map = NumberedSource(3, 2);
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {100000, 5}})
    EXPECT_EQ(map.Index(x, y), map.IndexCount) << x << "," << y;
}

struct BadHeader {
  const char* what;
  std::int32_t width, height, indexCount;
  const char* expected;
};
void PrintTo(const BadHeader& c, std::ostream* os) { *os << c.what; }

class VoxBitmapRefuses : public ::testing::TestWithParam<BadHeader> {};

TEST_P(VoxBitmapRefuses, ImpossibleHeaderNamingTheFile) {
  const BadHeader& c = GetParam();
  TTempExeDir dir;
  const QString path = dir.Write("bad.VB2", vb2::File(c.width, c.height, c.indexCount, {1, 2, 3, 4}));
  TVoxBitmap map;
  try {
    map.LoadFromFile(path);
    FAIL() << c.what << " was accepted";
  } catch (const EMimicError& e) {
    EXPECT_TRUE(e.Text().contains(path)) << e.Text().toStdString();
    EXPECT_TRUE(e.Text().contains(QString::fromLatin1(c.expected))) << e.Text().toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, VoxBitmapRefuses,
    ::testing::Values(BadHeader{"zero width", 0, 2, 4, "size 0 x 2 is out of range"},
                      BadHeader{"negative height", 2, -1, 4, "size 2 x -1 is out of range"},
                      BadHeader{"huge area", 65536, 65536, 4, "size 65536 x 65536 is out of range"},
                      BadHeader{"area just over the cap", 4097, 4096, 4, "out of range"},
                      BadHeader{"negative index count", 2, 2, -5, "index count -5 is out of range"},
                      BadHeader{"index count beyond 16 bits", 2, 2, 70000, "index count 70000"}));

TEST(VoxBitmap, AMapAtTheSizeCapLoadsWithTheCellsItLacksAtZero) {
  const QByteArray bytes = vb2::File(4096, 4096, 4, {3, 9, 1});
  TVoxBitmap map;
  map.LoadFromBytes(bytes.constData(), static_cast<std::size_t>(bytes.size()), "m");
  ASSERT_EQ(map.Cells().size(), static_cast<std::size_t>(TVoxBitmap::kMaxCells));
  EXPECT_EQ(map.Index(0, 0), 3);
  EXPECT_EQ(map.Index(0, 1), 4) << "above the index count";
  EXPECT_EQ(map.Index(0, 2), 1);
  EXPECT_EQ(map.Index(0, 3), 0);
  EXPECT_EQ(map.Index(4095, 4095), 0);
}

TEST(VoxBitmap, HeaderCutShortOnAFreshMapIsRefused) {
  const QByteArray bytes = vb2::File(5, 5, 4, {}).left(6);
  TVoxBitmap map;
  EXPECT_THROW(map.LoadFromBytes(bytes.constData(), static_cast<std::size_t>(bytes.size()), "m"), EMimicError);
}

TEST(VoxBitmap, MissingFileRaisesTheOpenErrorNamingIt) {
  TTempExeDir dir;
  TVoxBitmap map;
  try {
    map.LoadFromFile(dir.Path("absent.VB2"));
    FAIL();
  } catch (const EMimicError& e) {
    EXPECT_TRUE(e.Text().startsWith("Cannot open file \"" + dir.Path("absent.VB2") + "\"")) << e.Text().toStdString();
  }
}

TEST(VoxBitmapScaling, TwoByTwoToFourByThree) {
  const TVoxBitmap source = NumberedSource(2, 2);
  TVoxBitmap target;
  target.AssignScaled(source, 4, 3);
  const int expectedColumn[4] = {0, 0, 0, 1};
  const int expectedRow[3] = {0, 0, 1};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(target.Index(i, j), expectedColumn[i] * 10 + expectedRow[j]) << i << "," << j;
  EXPECT_EQ(target.IndexCount, 1000);
}

TEST(VoxBitmapScaling, SameSizeIsAnExactCopyWithTheSourceName) {
  TVoxBitmap source = NumberedSource(5, 4);
  source.FileName = "panel.VB2";
  TVoxBitmap target;
  target.AssignScaled(source, 5, 4);
  EXPECT_EQ(target.Cells(), source.Cells());
  EXPECT_EQ(target.FileName, "panel.VB2");
}

TEST(VoxBitmapScaling, FirstAndLastRowsAndColumnsMapExactly) {
  const TVoxBitmap source = NumberedSource(7, 9);
  TVoxBitmap target;
  target.AssignScaled(source, 23, 5);
  EXPECT_EQ(target.Index(0, 0), 0);
  EXPECT_EQ(target.Index(22, 0), 60);
  EXPECT_EQ(target.Index(0, 4), 8);
  EXPECT_EQ(target.Index(22, 4), 68);
}

TEST(VoxBitmapScaling, OnePixelTargetTakesTheFirstCell) {
  const TVoxBitmap source = NumberedSource(4, 4);
  TVoxBitmap target;
  target.AssignScaled(source, 1, 1);
  ASSERT_EQ(target.Width, 1);
  EXPECT_EQ(target.Index(0, 0), 0);
  target.AssignScaled(source, 3, 1);
  EXPECT_EQ(target.Index(2, 0), 30);
}

TEST(VoxBitmapScaling, TargetTallerThanThreeThousandRows) {
  const TVoxBitmap source = NumberedSource(2, 3);
  TVoxBitmap target;
  target.AssignScaled(source, 2, 5001);
  EXPECT_EQ(target.Index(1, 0), 10);
  EXPECT_EQ(target.Index(1, 2499), 10);
  EXPECT_EQ(target.Index(1, 2500), 11);
  EXPECT_EQ(target.Index(1, 5000), 12);
}

TEST(VoxBitmapScaling, EmptySourceOrTargetHasNoIndexAnywhere) {
  TVoxBitmap empty;
  TVoxBitmap target;
  target.AssignScaled(empty, 3, 2);
  EXPECT_EQ(target.Index(1, 1), 500);
  target.AssignScaled(NumberedSource(2, 2), 0, 7);
  EXPECT_EQ(target.Width, 0);
  EXPECT_EQ(target.Index(0, 0), 1000);
}

}  // namespace
