#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

#include "mainwindow/logging/loginfo.h"
#include "mainwindow/logging/weightlogfile.h"
#include "platform/chart/chartmodel.h"
#include "platform/textlines.h"

namespace {

using Lines = std::vector<std::string>;

class WeightLogFile : public ::testing::Test {
 protected:
  Lines Saved() const {
    Lines lines;
    SaveLog(traces, lines);
    return lines;
  }
  const TSampleColumns& Data() const { return chart.Data(); }

  TChartModel chart;
  TLogTraces traces{chart};
};

TEST_F(WeightLogFile, AnEmptyChartSavesTheTitleAndTheSources) {
  EXPECT_EQ(Saved(), (Lines{"", "0,0,0,0,0,0,0,0,"}));
  chart.SetTitle("Run 7\nsecond line");
  traces.Info(1).SetSource(4);
  EXPECT_EQ(Saved(), (Lines{"Run 7", "0,4,0,0,0,0,0,0,"}));
}

TEST_F(WeightLogFile, EachSampleLineHoldsTimeWeightAndTheChannelsWithASource) {
  traces.Info(0).SetSource(1);
  traces.Info(2).SetSource(5);
  chart.Append(2.5, 10, 0x01, 0x05);
  chart.Append(3.125, -0.004, 0x00, 0x05);
  chart.Append(4, 1e-9, 0x00, 0x01);                 // channel 3 has no value in this sample
  chart.Append(5, TSampleColumns::NoWeight(), 1, 1);  // no weight: no line
  EXPECT_EQ(Saved(), (Lines{"", "1,0,5,0,0,0,0,0,", "2.50,10.00,1,,0,,,,,", "3.12,0.00,0,,0,,,,,",
                            "4.00,0.00,0,,,,,,,"}));
}

TEST_F(WeightLogFile, ATwoLineFileGivesTitleAndSourcesAndNoPoints) {
  LoadLog(traces, {"Test rig", "1,2,0,0,0,0,0,10,"});
  EXPECT_EQ(chart.Title(), "Test rig");
  EXPECT_EQ(traces.Info(1).Source(), 2);
  EXPECT_EQ(traces.Info(7).Source(), 10);
  EXPECT_EQ(chart.Series(0).title, "Weight");
  EXPECT_EQ(Data().Size(), 0u);
}

TEST_F(WeightLogFile, AnEmptyFileReplacesTheLastLogWithAnEmptyOne) {
  LoadLog(traces, {"Test rig", "1,2,0,0,0,0,0,10,", "1.00,2.00,1,1,,,,,,0"});
  traces.Chart().SetSeriesTitle(0, false, "SeriesWeight");
  LoadLog(traces, {});
  EXPECT_EQ(chart.Title(), "");
  for (int i = 0; i < TLogTraces::kChannels; ++i) {
    EXPECT_EQ(traces.Info(i).Source(), 0) << i;
    EXPECT_FALSE(chart.Series(traces.Info(i).Series()).showInLegend) << i;
  }
  EXPECT_EQ(chart.Series(0).title, "Weight");
  EXPECT_TRUE(chart.Series(0).showInLegend);
  EXPECT_EQ(Data().Size(), 0u);
}

TEST_F(WeightLogFile, ASampleLineGivesTheWeightAndTheChannelsItHolds) {
  LoadLog(traces, {"", "1,1,1,1,1,1,1,1,", "3.50,2.25,1,,0,,,,,"});
  ASSERT_EQ(Data().Size(), 1u);
  EXPECT_EQ(Data().Time(0), 3.5);
  EXPECT_EQ(Data().Weight(0), 2.25);
  EXPECT_TRUE(traces.Info(0).IsHigh(0));
  EXPECT_TRUE(Data().HasChannel(0, 2));
  EXPECT_FALSE(traces.Info(2).IsHigh(0));
  for (int i : {1, 3, 4, 5, 6, 7}) EXPECT_FALSE(Data().HasChannel(0, i)) << i;
}

TEST_F(WeightLogFile, AFileWithBadLinesLoadsWhatItCan) {
  LoadLog(traces, {"", "1,x,3,11,-1,0,0",
                   "abc,5,1",                       // no time: skipped
                   "",                               // nothing at all
                   "1.00,,1",                        // a channel without a weight
                   "2.00,1 0,0",                     // a weight that is no number
                   "3.00,-4.50,7,1",                 // a channel state that is neither 0 nor 1
                   "99999999999999999999999.99,1",   // far too many digits: no overflow
                   "4.00,5.00,1,0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1"});
  EXPECT_EQ(traces.Info(0).Source(), 1);
  for (int i = 1; i < 8; ++i) EXPECT_EQ(traces.Info(i).Source(), i == 2 ? 3 : 0) << i;
  ASSERT_EQ(Data().Size(), 5u);
  EXPECT_TRUE(std::isnan(Data().Weight(0)));
  EXPECT_TRUE(traces.Info(0).IsHigh(0));
  EXPECT_TRUE(std::isnan(Data().Weight(1)));
  EXPECT_FALSE(Data().HasChannel(2, 0));
  EXPECT_EQ(Data().Weight(2), -4.5);
  EXPECT_TRUE(std::isfinite(Data().Time(3)));
  EXPECT_EQ(Data().Weight(4), 5);
  EXPECT_TRUE(Data().HasChannel(4, 2));
  // What loaded saves as the writer writes, and loads back to the same lines.
  const Lines once = Saved();
  LoadLog(traces, once);
  EXPECT_EQ(Saved(), once);
}

TEST_F(WeightLogFile, SaveLoadAndSaveAgainGiveTheSameBytes) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  chart.SetTitle(QString::fromLatin1("Kalibrier\xfc" "fung 3"));
  for (int i = 0; i < 8; ++i) traces.Info(i).SetSource(i + 1);
  for (int n = 0; n < 500; ++n)
    chart.Append(n * 0.02, std::sin(n / 10.0) * 1234.5678, static_cast<uint8_t>(n * 37), 0xFF);
  const QString first = dir.filePath("first.log"), second = dir.filePath("second.log");
  WriteTextLines(first, Saved());
  TChartModel otherChart;
  TLogTraces other(otherChart);
  LoadLog(other, ReadTextLines(first));
  Lines again;
  SaveLog(other, again);
  WriteTextLines(second, again);
  QFile a(first), b(second);
  ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
  const QByteArray bytes = a.readAll();
  EXPECT_EQ(bytes, b.readAll());
  EXPECT_TRUE(bytes.startsWith("Kalibrier\xfc" "fung 3\r\n1,2,3,4,5,6,7,8,\r\n0.00,0.00,"));
  EXPECT_EQ(otherChart.Data().Size(), 500u);
}

TEST(TextLines, AnyLineEndSplitsAndAFileThatCannotBeWrittenOrReadThrows) {
  EXPECT_EQ(SplitTextLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitTextLines("a\r\n\r\n"), (Lines{"a", ""}));
  EXPECT_TRUE(SplitTextLines("").empty());
  QTemporaryDir dir;
  const QString missing = dir.filePath("no/such/folder/x.log");
  EXPECT_THROW(WriteTextLines(missing, {"x"}), std::runtime_error);
  EXPECT_THROW(ReadTextLines(missing), std::runtime_error);
}

}  // namespace
