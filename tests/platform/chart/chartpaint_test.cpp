#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "platform/chart/chartmodel.h"
#include "platform/chart/chartpaint.h"

namespace {

// A chart of a flat weight with channel 0 as stairs, drawn into a picture.
class ChartPicture : public ::testing::Test {
 protected:
  void SetUp() override {
    model.AddSeries({TChartSeries::Line, -1, "Weight", Qt::red, true});
    TChartSeries stairs{TChartSeries::Stairs, 0, "Motion", Qt::blue, true};
    stairs.lowLevel = 1;
    stairs.highLevel = 2;
    model.AddSeries(stairs);
    model.SetRange(TAxisId::Left, -10, 10);
  }

  QImage Draw() {
    QImage image(600, 400, QImage::Format_RGB32);
    QPainter painter(&image);
    plot = PaintChart(painter, image.rect(), model);
    return image;
  }

  // Whether any pixel of the column range [x0, x1] and row range [y0, y1] has the colour.
  static bool Has(const QImage& image, QColor colour, int x0, int x1, int y0, int y1) {
    for (int y = std::max(y0, 0); y <= std::min(y1, image.height() - 1); ++y)
      for (int x = std::max(x0, 0); x <= std::min(x1, image.width() - 1); ++x)
        if (image.pixelColor(x, y) == colour) return true;
    return false;
  }

  TChartModel model;
  QRect plot;
};

TEST_F(ChartPicture, OneSpikeAmongAMillionSamplesStillShows) {
  const int n = 1'000'000;
  model.ReserveData(n);
  for (int i = 0; i < n; ++i) {
    model.Append(i * 0.001, i == 654'321 ? 9.0 : 0.0, i == 321'987 ? 1 : 0, 1);
  }
  model.SetRange(TAxisId::Bottom, 0, n * 0.001);
  const QImage image = Draw();
  const TChartMapping map(QRectF(plot), model.Bottom(), model.Left());
  const int x = static_cast<int>(map.X(654.321));
  const int xc = static_cast<int>(map.X(321.987));
  // The weight's spike reaches 9 and the channel's one high sample its level 2.
  EXPECT_TRUE(Has(image, Qt::red, x - 1, x + 1, static_cast<int>(map.Y(9)) - 1, static_cast<int>(map.Y(9)) + 1));
  EXPECT_TRUE(Has(image, Qt::blue, xc - 1, xc + 1, static_cast<int>(map.Y(2)) - 1, static_cast<int>(map.Y(2)) + 1));
  // Elsewhere the weight stays at 0 and the channel low.
  EXPECT_FALSE(Has(image, Qt::red, plot.left() + 2, x - 3, plot.top() + 2, static_cast<int>(map.Y(0)) - 3));
  EXPECT_FALSE(Has(image, Qt::blue, xc + 3, plot.right() - 2, plot.top() + 2, static_cast<int>(map.Y(2)) + 2));
}

TEST_F(ChartPicture, AZoomedInChartDrawsItsFewSamplesAsLinesToTheEdges) {
  for (int i = 0; i <= 10; ++i) model.Append(i, i % 2 ? 5.0 : -5.0, static_cast<uint8_t>(i % 2), 1);
  model.SetRange(TAxisId::Bottom, 4.5, 5.5);  // no sample at either edge
  const QImage image = Draw();
  const TChartMapping map(QRectF(plot), model.Bottom(), model.Left());
  // The line from (4, -5) to (5, 5) crosses the left edge at 0.
  EXPECT_TRUE(Has(image, Qt::red, plot.left() + 1, plot.left() + 3, static_cast<int>(map.Y(0)) - 3,
                  static_cast<int>(map.Y(0)) + 3));
  // The channel stays high from 5 to 6, through the right edge.
  EXPECT_TRUE(Has(image, Qt::blue, plot.right() - 3, plot.right() - 1, static_cast<int>(map.Y(2)) - 1,
                  static_cast<int>(map.Y(2)) + 1));
}

TEST_F(ChartPicture, AnEmptyChartOrAnAxisOfNoSpanStillDraws) {
  model.SetRange(TAxisId::Bottom, 3, 3);
  model.SetRange(TAxisId::Left, 0, 0);
  model.Append(3, 0, 0, 0);
  const QImage image = Draw();
  EXPECT_TRUE(plot.isValid());
  model.ClearData();
  Draw();
}

}  // namespace
