#pragma once
// The line chart without its widget: two value axes, the series drawn from one set
// of sample columns, zoom with undo, the two measuring cursors and the mapping
// between values and pixels of the last drawn plot rectangle. Every change goes
// through a method, so that the widget knows when its cached picture is stale.
#include <QColor>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/chart/samplecolumns.h"

struct TChartAxis {
  double min = 0.0;
  double max = 100.0;
  double increment = 0.0;  // 0: the labels' spacing is chosen to fit
  QString title;
  double Span() const { return max - min; }
  bool operator==(const TChartAxis&) const = default;
};

enum class TAxisId { Bottom, Left };

// A series reads the time column along the bottom axis and, on the left axis,
// either the weight (a line) or one channel's bit drawn as stairs between two
// levels. A stair series is drawn at its level times its value multiplier.
struct TChartSeries {
  enum Kind { Line, Stairs };
  Kind kind = Line;
  int channel = -1;
  QString title;
  QColor color = Qt::red;
  bool showInLegend = false;
  double lowLevel = 0.0;
  double highLevel = 1.0;
  double multiplier = 1.0;
  double Level(bool high) const { return (high ? highLevel : lowLevel) * multiplier; }
};

// A cross-hair at a pixel of the plot, with the values found there; x is -1 while
// it is not drawn.
struct TChartCursor {
  int x = -1;
  int y = -1;
  double time = 0.0;
  double value = 0.0;
  bool Drawn() const { return x >= 0; }
};

// Values to pixels in a plot rectangle and back. An axis whose span is zero or not a
// number maps as if it spanned one unit, so nothing ever divides by zero.
struct TChartMapping {
  QRectF plot;
  double xMin = 0.0, xSpan = 1.0, yMin = 0.0, ySpan = 1.0;
  TChartMapping(const QRectF& plotRect, const TChartAxis& bottom, const TChartAxis& left);
  double X(double time) const { return plot.left() + (time - xMin) * plot.width() / xSpan; }
  double Y(double value) const { return plot.bottom() - (value - yMin) * plot.height() / ySpan; }
  double Time(double x) const { return xMin + (x - plot.left()) * xSpan / plot.width(); }
  double Value(double y) const { return yMin + (plot.bottom() - y) * ySpan / plot.height(); }
};

// The increment of an axis that spans span: one, two or five times a power of ten,
// ten to twenty steps or fewer to the span. A span that is zero, negative or not
// finite gets 1.
double NiceStep(double span);

// A value as the axes label it: grouped thousands, at most three decimals, no
// trailing zeros, decimalChar as the decimal mark.
QString FormatChartValue(double value, QChar decimalChar);

class TChartModel {
 public:
  TChartModel();

  // Called after every change, cursors included (the widget repaints); once at
  // the end of an update.
  std::function<void()> OnChanged;
  // Many changes as one, for as long as it lives.
  class TUpdate {
   public:
    explicit TUpdate(TChartModel& model) : model_(model) { ++model_.updating_; }
    ~TUpdate() {
      if (--model_.updating_ == 0 && model_.changedInUpdate_) model_.Changed(false);
    }
    TUpdate(const TUpdate&) = delete;
    TUpdate& operator=(const TUpdate&) = delete;

   private:
    TChartModel& model_;
  };
  // Bumped by every change that alters the drawn chart (not by the cursors).
  uint64_t Revision() const { return revision_; }
  // The same, but for changes other than new samples: while it stands, a picture
  // only needs the strip of the new samples drawn.
  uint64_t LayoutRevision() const { return layoutRevision_; }

  // --- Title, axes, label format
  const QString& Title() const { return title_; }
  void SetTitle(const QString& line);
  const TChartAxis& Axis(TAxisId id) const { return id == TAxisId::Bottom ? bottom_ : left_; }
  const TChartAxis& Bottom() const { return bottom_; }
  const TChartAxis& Left() const { return left_; }
  void SetRange(TAxisId id, double min, double max);
  void SetIncrement(TAxisId id, double increment);
  void SetAxisTitle(TAxisId id, const QString& title);
  QChar DecimalChar() const { return decimalChar_; }
  void SetDecimalChar(QChar c);

  // --- Series
  int SeriesCount() const { return static_cast<int>(series_.size()); }
  const TChartSeries& Series(int i) const { return series_[static_cast<std::size_t>(i)]; }
  int AddSeries(const TChartSeries& series);
  void SetSeriesTitle(int i, bool showInLegend, const QString& title);
  void SetMultiplier(int i, double multiplier);

  // --- Samples
  const TSampleColumns& Data() const { return data_; }
  void Append(double time, double weight, uint8_t bits, uint8_t present);
  void SetTime(std::size_t i, double time);
  void ClearData();
  void ReserveData(std::size_t samples) { data_.Reserve(samples); }
  // Times of the samples that have a weight; false when there are none.
  bool WeightTimes(double& first, double& last) const;
  // The smallest and largest value drawn on the left axis by any series.
  bool LeftValues(double& bottom, double& top) const;
  // One channel's drawn value at sample i (its level times the multiplier).
  double ChannelValue(int series, std::size_t i) const;

  // --- Zoom: the axes before the first zoom come back with UndoZoom.
  bool Zoomed() const { return zoomed_; }
  void Zoom(double xMin, double xMax, double yMin, double yMax);
  void UndoZoom();
  // Both axes move by these amounts (panning); not a zoom.
  void Pan(double dx, double dy);

  // --- Cursors (drawn over the picture; no new picture needed)
  const TChartCursor& Cursor(int i) const { return cursors_[static_cast<std::size_t>(i)]; }
  void SetCursor(int i, const TChartCursor& cursor);
  // A new picture has no cursors on it.
  void ForgetCursors();

  // --- Where the last picture put the plot
  QRect PlotRect() const { return plotRect_; }
  void SetPlotRect(const QRect& rect) { plotRect_ = rect; }
  TChartMapping Mapping() const { return TChartMapping(plotRect_, bottom_, left_); }

 private:
  void Changed(bool redraw = true, bool layout = true);

  QString title_;
  TChartAxis bottom_;
  TChartAxis left_;
  QChar decimalChar_ = QLatin1Char('.');
  std::vector<TChartSeries> series_;
  TSampleColumns data_;
  bool zoomed_ = false;
  TChartAxis savedBottom_;
  TChartAxis savedLeft_;
  std::array<TChartCursor, 2> cursors_{};
  QRect plotRect_;
  uint64_t revision_ = 0;
  uint64_t layoutRevision_ = 0;
  int updating_ = 0;
  bool changedInUpdate_ = false;
};
