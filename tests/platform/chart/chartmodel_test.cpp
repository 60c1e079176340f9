#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "platform/chart/chartmodel.h"
#include "platform/chart/chartpaint.h"

namespace {

TEST(NiceStep, RoundsTheSpanToOneTwoOrFiveTimesAPowerOfTen) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double span, step;
  } cases[] = {
      {100, 10}, {50, 5},  {30, 2},     {15, 1},    {1, 0.1},  {7, 0.5},   {0.35, 0.02}, {10, 1},
      {1000, 100}, {12345, 1000}, {0, 1}, {-5, 1}, {inf, 1}, {-inf, 1}, {std::nan(""), 1},
  };
  for (const auto& c : cases) EXPECT_NEAR(NiceStep(c.span), c.step, c.step * 1e-12) << c.span;
  // The smallest and largest finite spans still end.
  EXPECT_GT(NiceStep(std::numeric_limits<double>::denorm_min()), 0.0);
  EXPECT_GT(NiceStep(std::numeric_limits<double>::max()), 0.0);
}

TEST(FormatChartValue, GroupsThousandsAndKeepsAtMostThreeDecimals) {
  const struct {
    double value;
    char decimal;
    const char* text;
  } cases[] = {
      {1234.5, '.', "1,234.5"}, {1234.5, ',', "1.234,5"},  {-12.3456, '.', "-12.346"},
      {0.0004, '.', "0"},       {-0.0004, '.', "0"},       {1e6, '.', "1,000,000"},
      {0.125, '.', "0.125"},    {-999999.99, '.', "-999,999.99"}, {100, '.', "100"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatChartValue(c.value, QLatin1Char(c.decimal)), QString::fromLatin1(c.text)) << c.value;
  // Beyond 64-bit thousandths the value is shown whole; no number is no text.
  EXPECT_TRUE(FormatChartValue(1e300, QLatin1Char('.')).startsWith(QStringLiteral("1,000")));
  EXPECT_TRUE(FormatChartValue(std::nan(""), QLatin1Char('.')).isEmpty());
}

TEST(SampleColumns, RangeSummariesAgreeWithAPlainScan) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> weight(-500, 500);
  TSampleColumns data;
  for (int i = 0; i < 5000; ++i) {
    const bool noWeight = random() % 50 == 0;
    data.Append(i * 0.1, noWeight ? TSampleColumns::NoWeight() : weight(random),
                static_cast<uint8_t>(random()), static_cast<uint8_t>(random() | 0x01));
  }
  for (int trial = 0; trial < 2000; ++trial) {
    std::size_t a = random() % 5001, b = random() % 5001;
    if (a > b) std::swap(a, b);
    TValueRange expected;
    TBitsRange bits;
    for (std::size_t i = a; i < b; ++i) {
      expected = TValueRange::Merge(expected, TValueRange::Of(data.Weight(i)));
      for (int k = 0; k < 8; ++k) {
        if (!data.HasChannel(i, k)) continue;
        (data.ChannelHigh(i, k) ? bits.high : bits.low) |= static_cast<uint8_t>(1u << k);
      }
    }
    const TValueRange got = data.Weights(a, b);
    ASSERT_EQ(got.Empty(), expected.Empty()) << a << ".." << b;
    if (!got.Empty()) {
      ASSERT_EQ(got.min, expected.min) << a << ".." << b;
      ASSERT_EQ(got.max, expected.max) << a << ".." << b;
    }
    const TBitsRange gotBits = data.Channels(a, b);
    ASSERT_EQ(gotBits.high, bits.high) << a << ".." << b;
    ASSERT_EQ(gotBits.low, bits.low) << a << ".." << b;
  }
  EXPECT_TRUE(data.TimesOrdered());
  data.SetTime(10, 100.0);
  EXPECT_FALSE(data.TimesOrdered());
  data.SetTime(10, 10 * 0.1);
  EXPECT_TRUE(data.TimesOrdered());
}

TEST(ChartMapping, AnAxisOfNoSpanNeverDividesByZero) {
  TChartAxis bottom{5, 5, 0, {}};
  TChartAxis left{-1, 1, 0, {}};
  const TChartMapping map(QRectF(10, 20, 100, 50), bottom, left);
  EXPECT_TRUE(std::isfinite(map.X(7)));
  EXPECT_TRUE(std::isfinite(map.Time(60)));
  EXPECT_DOUBLE_EQ(map.Y(-1), 70);
  EXPECT_DOUBLE_EQ(map.Y(1), 20);
  EXPECT_DOUBLE_EQ(map.Value(45), 0);
  const TChartMapping empty(QRectF(), bottom, left);
  EXPECT_TRUE(std::isfinite(empty.Value(3)));
}

TEST(ChartZoom, UndoRestoresTheAxesOfBeforeTheFirstZoom) {
  TChartModel model;
  model.SetRange(TAxisId::Bottom, 0, 100);
  model.SetRange(TAxisId::Left, -10, 10);
  model.UndoZoom();  // nothing to undo
  EXPECT_FALSE(model.Zoomed());
  EXPECT_EQ(model.Bottom().max, 100);
  model.Zoom(10, 20, 0, 5);
  model.Zoom(12, 14, 1, 2);
  EXPECT_TRUE(model.Zoomed());
  EXPECT_EQ(model.Bottom().min, 12);
  model.UndoZoom();
  EXPECT_FALSE(model.Zoomed());
  EXPECT_EQ(model.Bottom().min, 0);
  EXPECT_EQ(model.Bottom().max, 100);
  EXPECT_EQ(model.Left().min, -10);
  EXPECT_EQ(model.Left().max, 10);
}

TEST(ChartModel, LeftValuesTakeInTheChannelTracesAtTheirLevels) {
  TChartModel model;
  model.AddSeries({});
  TChartSeries stairs;
  stairs.kind = TChartSeries::Stairs;
  stairs.channel = 2;
  stairs.lowLevel = 11.5;
  stairs.highLevel = 12.5;
  stairs.multiplier = 2;
  model.AddSeries(stairs);
  double bottom = 0, top = 0;
  EXPECT_FALSE(model.LeftValues(bottom, top));
  model.Append(0, 3, 0, 0);
  model.Append(1, -4, 0x04, 0x04);  // channel 2 high
  ASSERT_TRUE(model.LeftValues(bottom, top));
  EXPECT_EQ(bottom, -4);
  EXPECT_EQ(top, 25);
  model.Append(2, 1, 0, 0x04);  // and low
  ASSERT_TRUE(model.LeftValues(bottom, top));
  EXPECT_EQ(top, 25);
  EXPECT_DOUBLE_EQ(model.ChannelValue(1, 2), 23);
}

TEST(AxisTicks, FollowTheIncrementUnlessTheLabelsWouldCrowd) {
  TChartAxis axis{0, 100, 10, {}};
  const auto ticks = AxisTicks(axis, 1000, 40);
  ASSERT_EQ(ticks.size(), 11u);
  EXPECT_EQ(ticks[3], 30);
  EXPECT_LE(AxisTicks(axis, 200, 40).size(), 6u);  // 10 would crowd: every 20 or more
  axis.increment = 0;
  axis.min = -0.35;
  axis.max = 0.35;
  for (double t : AxisTicks(axis, 400, 40)) EXPECT_TRUE(t >= -0.35 && t <= 0.35);
  EXPECT_TRUE(AxisTicks({5, 5, 0, {}}, 400, 40).empty());
  // Labels that would crowd move on to the next round step, never to a doubled one.
  const struct {
    double min, max, increment, pixels;
    double step;
  } crowded[] = {
      {0, 2000, 1, 800, 100},     // a long log's span with the step of a short one
      {0, 2000, 0, 800, 100},
      {0, 100, 10, 160, 50},
      {0, 1, 0.1, 120, 0.5},
      {-3000, 3000, 1, 400, 1000},
      {0, 0.003, 0.0001, 100, 0.002},
  };
  for (const auto& c : crowded) {
    const auto t = AxisTicks({c.min, c.max, c.increment, {}}, c.pixels, 40);
    ASSERT_GE(t.size(), 2u) << c.max;
    EXPECT_NEAR(t[1] - t[0], c.step, c.step * 1e-9) << c.max << " over " << c.pixels;
  }
  EXPECT_TRUE(AxisTicks({0, std::numeric_limits<double>::infinity(), 0, {}}, 400, 40).empty());
  EXPECT_TRUE(AxisTicks({0, 1e300, 1e-300, {}}, 400, 40).size() <= 1001u);
}

}  // namespace
