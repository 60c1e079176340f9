// The Log page's chart and weight log file with a million samples:
// - the full redraw of the chart, 1000 x 600 pixels, the weight and eight channels,
//   beside Qt Charts' QLineSeries drawing the weight alone on the same data and size
//   (when Qt Charts is installed); each draw moves the time axis a little, so
//   neither can reuse the geometry of the last one;
// - one sample added to the log and the chart widget repainted;
// - saving and loading the weight log file.
// Targets: the redraw at most a tenth of Qt Charts' time, a one-sample update under
// 2 ms, load and save each under half a second.
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "mainwindow/logging/loginfo.h"
#include "mainwindow/logging/weightlogfile.h"
#include "platform/chart/chartmodel.h"
#include "platform/chart/chartpaint.h"
#include "platform/chart/chartwidget.h"
#include "platform/textlines.h"

#ifdef VIEWER_BENCH_QT_CHARTS
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#endif

namespace {

constexpr int kSamples = 1'000'000;
constexpr double kPeriod = 0.001;  // seconds between samples
const QSize kSize(1000, 600);

double WeightAt(int i) { return 50.0 * std::sin(i * 0.0005) + 5.0 * std::sin(i * 0.37); }

// The log as a ten-minute run at a thousand samples a second leaves it.
void FillLog(TLogTraces& traces) {
  TChartModel& chart = traces.Chart();
  const TChartModel::TUpdate update(chart);
  for (int i = 0; i < TLogTraces::kChannels; ++i) traces.Info(i).SetSource(i + 1);
  traces.SetWeightTitle();
  chart.ReserveData(kSamples);
  for (int i = 0; i < kSamples; ++i)
    chart.Append(i * kPeriod, WeightAt(i), static_cast<uint8_t>(i / 997), 0xFF);
  chart.SetRange(TAxisId::Left, -100, 100);
  for (int i = 0; i < TLogTraces::kChannels; ++i) chart.SetMultiplier(traces.Info(i).Series(), 200.0 / 30);
}

struct TLog {
  TLog() { FillLog(traces); }
  TChartModel chart;
  TLogTraces traces{chart};
};

TLog& SharedLog() {
  static TLog log;
  return log;
}

double AxisEnd(int64_t iteration) { return kSamples * kPeriod + (iteration & 1) * 0.001; }

void BM_ChartRedraw(benchmark::State& state) {
  TChartModel& chart = SharedLog().chart;
  QImage image(kSize, QImage::Format_RGB32);
  int64_t n = 0;
  for (auto _ : state) {
    chart.SetRange(TAxisId::Bottom, 0, AxisEnd(n++));
    QPainter painter(&image);
    PaintChart(painter, image.rect(), chart);
  }
}
BENCHMARK(BM_ChartRedraw)->Unit(benchmark::kMillisecond);

#ifdef VIEWER_BENCH_QT_CHARTS
void BM_QtChartsRedraw(benchmark::State& state) {
  auto* series = new QLineSeries;
  QList<QPointF> points;
  points.reserve(kSamples);
  for (int i = 0; i < kSamples; ++i) points.append(QPointF(i * kPeriod, WeightAt(i)));
  series->replace(points);
  auto* chart = new QChart;
  chart->addSeries(series);
  auto* x = new QValueAxis;
  auto* y = new QValueAxis;
  y->setRange(-100, 100);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  series->attachAxis(x);
  series->attachAxis(y);
  QChartView view(chart);
  view.resize(kSize);
  view.show();
  QImage image(kSize, QImage::Format_RGB32);
  int64_t n = 0;
  for (auto _ : state) {
    x->setRange(0, AxisEnd(n++));
    QPainter painter(&image);
    view.render(&painter);
  }
}
BENCHMARK(BM_QtChartsRedraw)->Unit(benchmark::kMillisecond);
#endif

void BM_AddSampleAndRepaint(benchmark::State& state) {
  TChart widget;
  widget.resize(kSize);
  TLogTraces traces(widget.Model());
  FillLog(traces);
  widget.Model().SetRange(TAxisId::Bottom, 0, kSamples * kPeriod * 1.01);
  widget.show();
  while (!widget.windowHandle() || !widget.windowHandle()->isExposed()) QCoreApplication::processEvents();
  widget.repaint();
  int i = kSamples;
  for (auto _ : state) {
    widget.Model().Append(i * kPeriod, WeightAt(i), static_cast<uint8_t>(i / 997), 0xFF);
    ++i;
    widget.repaint();
  }
}
BENCHMARK(BM_AddSampleAndRepaint)->Unit(benchmark::kMicrosecond);

void BM_SaveLogFile(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath("bench.log");
  for (auto _ : state) {
    std::vector<std::string> lines;
    SaveLog(SharedLog().traces, lines);
    WriteTextLines(path, lines);
  }
}
BENCHMARK(BM_SaveLogFile)->Unit(benchmark::kMillisecond);

void BM_LoadLogFile(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath("bench.log");
  std::vector<std::string> lines;
  SaveLog(SharedLog().traces, lines);
  WriteTextLines(path, lines);
  TChartModel chart;
  TLogTraces traces(chart);
  for (auto _ : state) LoadLog(traces, ReadTextLines(path));
  if (chart.Data().Size() != static_cast<std::size_t>(kSamples)) state.SkipWithError("the log did not load whole");
}
BENCHMARK(BM_LoadLogFile)->Unit(benchmark::kMillisecond);

}  // namespace
