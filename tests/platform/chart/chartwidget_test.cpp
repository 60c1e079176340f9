#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

#include "platform/chart/chartpaint.h"
#include "platform/chart/chartwidget.h"

namespace {

// A widget that has drawn its chart once and then gets samples one at a time draws
// only their strip; the picture must be the one a full redraw gives.
class ChartWidget : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    chart.resize(600, 400);
    TChartModel& model = chart.Model();
    model.AddSeries({TChartSeries::Line, -1, "Weight", Qt::red, true});
    TChartSeries stairs{TChartSeries::Stairs, 0, "I/O 1", Qt::blue, true};
    stairs.lowLevel = 1;
    stairs.highLevel = 2;
    model.AddSeries(stairs);
    model.SetRange(TAxisId::Left, -10, 10);
    model.SetRange(TAxisId::Bottom, 0, 10);
  }
  void Add(int i, int count) {
    const double step = 10.0 / count;
    chart.Model().Append(i * step, 8 * std::sin(i * 0.05) + (i % 7), static_cast<uint8_t>((i / 13) & 1), 1);
  }
  QImage FullRedraw() {
    QImage image(chart.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(chart.font());
    PaintChart(painter, image.rect(), chart.Model());
    return image;
  }

  TChart chart;
};

TEST_P(ChartWidget, NewSamplesDrawnAloneGiveTheFullPicture) {
  const int count = GetParam();
  for (int i = 0; i < count / 2; ++i) Add(i, count);
  chart.Grab();
  for (int i = count / 2; i < count; i += std::max(1, count / 300)) {
    for (int j = i; j < std::min(count, i + std::max(1, count / 300)); ++j) Add(j, count);
    chart.Grab();
  }
  const QImage drawn = chart.Grab();
  const QImage full = FullRedraw();
  int differ = 0;
  for (int y = 0; y < full.height(); ++y)
    for (int x = 0; x < full.width(); ++x) differ += drawn.pixel(x, y) != full.pixel(x, y);
  EXPECT_EQ(differ, 0);
}

// Samples drawn as they are, and many to a pixel column.
INSTANTIATE_TEST_SUITE_P(Samples, ChartWidget, ::testing::Values(200, 100'000));

TEST(ChartWidgetCursors, ADrawingForgetsTheCursorsAndTellsTheOwner) {
  TChart chart;
  chart.resize(300, 200);
  int drawn = 0;
  chart.OnAfterDraw = [&] { ++drawn; };
  const QImage plain = chart.Grab();
  const QPoint inside = chart.Model().PlotRect().center();
  chart.Model().SetCursor(0, {inside.x(), inside.y(), 1, 1});
  EXPECT_NE(chart.Grab(), plain);  // drawn over the picture, which stays
  EXPECT_EQ(drawn, 1);
  chart.Model().Append(1, 1, 0, 0);
  chart.Grab();
  EXPECT_EQ(drawn, 2);
  EXPECT_FALSE(chart.Model().Cursor(0).Drawn());
}

}  // namespace
