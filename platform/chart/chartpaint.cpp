#include "platform/chart/chartpaint.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "platform/chart/chartmodel.h"

namespace {

constexpr std::size_t kMaxTicks = 1000;
const QColor kGridColor(192, 192, 192);

// Far beyond the plot, a point only fixes a line's direction; the painter gets
// coordinates it can hold.
QPointF Clamped(const QRectF& plot, double x, double y) {
  const double reach = 4.0 * (plot.width() + plot.height()) + 1000.0;
  return {std::clamp(x, plot.left() - reach, plot.right() + reach),
          std::clamp(y, plot.top() - reach, plot.bottom() + reach)};
}

// Which samples fall into the pixel columns first..last of the plot, for ordered
// times: column first + k holds [bounds[k], bounds[k + 1]).
struct TPixelColumns {
  int first = 0;
  std::vector<std::size_t> bounds;
};

// Pixel column c of the plot spans the times from its left edge to the next one's;
// the last column also takes the samples at the axis maximum.
TPixelColumns SplitIntoColumns(const TSampleColumns& data, const TChartMapping& map, int first, int last,
                               int columns, std::size_t after) {
  TPixelColumns split;
  split.first = first;
  std::size_t from = 0;
  for (int c = first; c <= last + 1; ++c) {
    from = c == columns ? after : data.LowerBound(map.Time(map.plot.left() + c), from);
    split.bounds.push_back(from);
  }
  return split;
}

class TSeriesPainter {
 public:
  // Draws the series where they cross the pixel columns of strip (the whole plot
  // when strip is empty).
  TSeriesPainter(QPainter& painter, const TChartModel& model, const TChartMapping& map, const QRect& strip)
      : painter_(painter), data_(model.Data()), map_(map) {
    const std::size_t n = data_.Size();
    const int columns = std::max(1, static_cast<int>(std::floor(map.plot.width())));
    if (!data_.TimesOrdered() || n == 0) {
      last_ = n;
      return;
    }
    const std::size_t before = data_.LowerBound(map.Time(map.plot.left()));
    const std::size_t after = data_.LowerBound(std::nextafter(map.Time(map.plot.right()), HUGE_VAL));
    // Fewer samples than two per pixel are drawn as they are; the choice is the
    // whole plot's, so that a strip looks as the rest.
    decimate_ = after - before > 2 * static_cast<std::size_t>(columns);
    int firstColumn = 0, lastColumn = columns - 1;
    if (!strip.isEmpty()) {
      firstColumn = std::clamp(strip.left() - static_cast<int>(map.plot.left()) - 1, 0, columns - 1);
      lastColumn = std::clamp(strip.right() - static_cast<int>(map.plot.left()) + 1, firstColumn, columns - 1);
    }
    if (decimate_) {
      split_ = SplitIntoColumns(data_, map, firstColumn, lastColumn, columns, after);
    } else {
      const std::size_t from = firstColumn == 0 ? before : data_.LowerBound(map.Time(map.plot.left() + firstColumn));
      const std::size_t to =
          lastColumn == columns - 1 ? after : data_.LowerBound(map.Time(map.plot.left() + lastColumn + 1));
      first_ = from > 0 ? from - 1 : 0;
      last_ = std::min(n, to + 1);
    }
  }

  void Line(const TChartSeries& series) {
    std::vector<QPointF> points;
    auto add = [&](std::size_t i) {
      if (data_.HasWeight(i)) points.push_back(Point(data_.Time(i), data_.Weight(i)));
    };
    if (!decimate_) {
      for (std::size_t i = first_; i < last_; ++i) add(i);
    } else {
      AddNeighbour(split_.bounds.front(), -1, add);
      for (std::size_t k = 0; k + 1 < split_.bounds.size(); ++k) {
        const std::size_t a = split_.bounds[k], b = split_.bounds[k + 1];
        const TValueRange range = data_.Weights(a, b);
        if (range.Empty()) continue;
        const double x = ColumnX(k);
        if (data_.HasWeight(a)) points.push_back(Clamped(map_.plot, x, map_.Y(data_.Weight(a))));
        points.push_back(Clamped(map_.plot, x, map_.Y(range.min)));
        points.push_back(Clamped(map_.plot, x, map_.Y(range.max)));
        if (data_.HasWeight(b - 1)) points.push_back(Clamped(map_.plot, x, map_.Y(data_.Weight(b - 1))));
      }
      AddNeighbour(split_.bounds.back(), +1, add);
    }
    Stroke(series, points);
  }

  void Stairs(const TChartSeries& series) {
    const int k = series.channel;
    const auto mask = static_cast<uint8_t>(1u << k);
    std::vector<QPointF> points;
    double lastY = 0.0;
    // A stair holds its level up to the next point, then steps to the new one.
    auto step = [&](double x, double y) {
      if (!points.empty() && y != lastY) points.push_back(Clamped(map_.plot, x, lastY));
      points.push_back(Clamped(map_.plot, x, y));
      lastY = y;
    };
    auto add = [&](std::size_t i) {
      if (data_.HasChannel(i, k)) step(map_.X(data_.Time(i)), map_.Y(series.Level(data_.ChannelHigh(i, k))));
    };
    if (!decimate_) {
      for (std::size_t i = first_; i < last_; ++i) add(i);
    } else {
      AddNeighbour(split_.bounds.front(), -1, add, k);
      const double high = map_.Y(series.Level(true)), low = map_.Y(series.Level(false));
      for (std::size_t c = 0; c + 1 < split_.bounds.size(); ++c) {
        const TBitsRange& range = ColumnChannels()[c];
        if (!((range.high | range.low) & mask)) continue;
        const double x = ColumnX(c);
        if ((range.high & mask) && (range.low & mask)) {
          step(x, high);
          step(x, low);
        }
        std::size_t i = split_.bounds[c + 1] - 1;
        while (!data_.HasChannel(i, k)) --i;  // the range holds one
        step(x, data_.ChannelHigh(i, k) ? high : low);
      }
      AddNeighbour(split_.bounds.back(), +1, add, k);
    }
    Stroke(series, points);
  }

 private:
  QPointF Point(double time, double value) const { return Clamped(map_.plot, map_.X(time), map_.Y(value)); }
  double ColumnX(std::size_t k) const { return map_.plot.left() + split_.first + static_cast<double>(k); }

  // One summary per pixel column serves all eight channels.
  const std::vector<TBitsRange>& ColumnChannels() {
    if (columnChannels_.empty()) {
      columnChannels_.reserve(split_.bounds.size());
      for (std::size_t c = 0; c + 1 < split_.bounds.size(); ++c)
        columnChannels_.push_back(data_.Channels(split_.bounds[c], split_.bounds[c + 1]));
    }
    return columnChannels_;
  }

  // The nearest sample outside the plot on one side, so that lines run to the edge.
  template <class Add>
  void AddNeighbour(std::size_t edge, int direction, Add& add, int channel = -1) {
    auto usable = [&](std::size_t i) { return channel < 0 ? data_.HasWeight(i) : data_.HasChannel(i, channel); };
    if (direction < 0) {
      for (std::size_t i = edge; i > 0 && edge - i < 64; --i)
        if (usable(i - 1)) return add(i - 1);
    } else {
      for (std::size_t i = edge; i < data_.Size() && i - edge < 64; ++i)
        if (usable(i)) return add(i);
    }
  }

  void Stroke(const TChartSeries& series, const std::vector<QPointF>& points) {
    if (points.empty()) return;
    painter_.setPen(QPen(series.color, painter_.pen().widthF(), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    if (points.size() == 1)
      painter_.drawPoint(points.front());
    else
      painter_.drawPolyline(points.data(), static_cast<int>(points.size()));
  }

  QPainter& painter_;
  const TSampleColumns& data_;
  const TChartMapping& map_;
  TPixelColumns split_;
  std::vector<TBitsRange> columnChannels_;
  bool decimate_ = false;
  std::size_t first_ = 0;
  std::size_t last_ = 0;
};

// The series inside the plot, the weight on top.
void DrawSeries(QPainter& painter, const TChartModel& model, const TChartMapping& map, const QRect& strip,
                const QRect& plot, double penWidth) {
  painter.save();
  painter.setClipRect(strip.isEmpty() ? plot : strip & plot.adjusted(1, 1, 0, 0));
  painter.setPen(QPen(Qt::black, penWidth));
  TSeriesPainter series(painter, model, map, strip);
  for (int i = model.SeriesCount() - 1; i >= 0; --i) {
    const TChartSeries& s = model.Series(i);
    if (s.kind == TChartSeries::Line)
      series.Line(s);
    else
      series.Stairs(s);
  }
  painter.restore();
}

// The next step above step of one, two or five times a power of ten, so that labels
// that would crowd stay round numbers.
double NextNiceStep(double step) {
  const double decade = std::pow(10.0, std::floor(std::log10(step)));
  // The decade's logarithm may round down a power of ten by one: the twenty covers it.
  for (double m : {1.0, 2.0, 5.0, 10.0, 20.0})
    if (m * decade > step * (1.0 + 1e-9)) return m * decade;
  return step * 2.0;
}

struct TLegendEntry {
  QString title;
  QColor color;
};

}  // namespace

std::vector<double> AxisTicks(const TChartAxis& axis, double pixels, double minSpacing) {
  const double span = axis.Span();
  if (!std::isfinite(span) || span <= 0.0 || !std::isfinite(axis.min) || pixels <= 0) return {};
  const double fit = std::max(1.0, std::floor(pixels / std::max(minSpacing, 1.0)));
  double step = axis.increment > 0.0 ? axis.increment : NiceStep(span * 10.0 / fit);
  for (int i = 0; i < 64 && span / step > fit; ++i) step = NextNiceStep(step);
  if (!(span / step <= static_cast<double>(kMaxTicks))) return {};
  std::vector<double> ticks;
  const double first = std::ceil(axis.min / step - 1e-9) * step;
  for (std::size_t i = 0; i <= kMaxTicks; ++i) {
    double t = first + static_cast<double>(i) * step;
    if (t > axis.max + step * 1e-9) break;
    if (std::fabs(t) < step * 1e-9) t = 0.0;
    ticks.push_back(t);
  }
  return ticks;
}

QRect PaintChart(QPainter& painter, const QRect& target, const TChartModel& model, const QRect& strip) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (strip.isEmpty()) painter.fillRect(target, Qt::white);
  const QFontMetricsF fm(painter.font(), painter.device());
  const double line = fm.height();
  const double gap = line / 4.0;
  const double penWidth = std::max(1.0, line / 14.0);
  const QChar decimal = model.DecimalChar();

  std::vector<TLegendEntry> legend;
  for (int i = 0; i < model.SeriesCount(); ++i)
    if (model.Series(i).showInLegend) legend.push_back({model.Series(i).title, model.Series(i).color});
  const double swatch = line * 1.5;
  std::vector<std::vector<TLegendEntry>> legendRows;
  double rowWidth = 0.0;
  for (const TLegendEntry& e : legend) {
    const double w = swatch + gap + fm.horizontalAdvance(e.title) + line;
    if (legendRows.empty() || rowWidth + w > target.width()) {
      legendRows.emplace_back();
      rowWidth = 0.0;
    }
    legendRows.back().push_back(e);
    rowWidth += w;
  }

  const double titleHeight = line + 2 * gap;
  const double legendHeight = legendRows.empty() ? 0.0 : static_cast<double>(legendRows.size()) * line + 2 * gap;
  const double bottomAxisHeight = 2 * line + 3 * gap;
  const double plotHeightGuess = target.height() - titleHeight - legendHeight - bottomAxisHeight;
  const std::vector<double> leftTicks = AxisTicks(model.Left(), plotHeightGuess, 2.5 * line);
  double labelWidth = fm.horizontalAdvance(QStringLiteral("0"));
  for (double t : leftTicks) labelWidth = std::max(labelWidth, fm.horizontalAdvance(FormatChartValue(t, decimal)));
  const double leftAxisWidth = line + 2 * gap + labelWidth;
  const double rightMargin = 3 * line;

  const QRectF plotF(target.left() + leftAxisWidth, target.top() + titleHeight,
                     std::max(1.0, target.width() - leftAxisWidth - rightMargin),
                     std::max(1.0, plotHeightGuess));
  const QRect plot = plotF.toRect();
  const TChartMapping map(QRectF(plot), model.Bottom(), model.Left());

  const QPen pen(Qt::black, penWidth);
  const double bottomLabelWidth = fm.horizontalAdvance(QStringLiteral("00,000.0"));
  const std::vector<double> bottomTicks = AxisTicks(model.Bottom(), plot.width(), bottomLabelWidth + line);
  if (!strip.isEmpty()) {
    // Only the plot under the strip is drawn anew; the rest stays as it was.
    painter.setClipRect(strip & plot.adjusted(1, 1, 0, 0));
    painter.fillRect(strip, Qt::white);
  }
  painter.setPen(QPen(kGridColor, penWidth, Qt::DotLine));
  for (double t : leftTicks) painter.drawLine(QPointF(plot.left(), map.Y(t)), QPointF(plot.right(), map.Y(t)));
  for (double t : bottomTicks) painter.drawLine(QPointF(map.X(t), plot.top()), QPointF(map.X(t), plot.bottom()));
  if (!strip.isEmpty()) {
    DrawSeries(painter, model, map, strip, plot, penWidth);
    painter.restore();
    return plot;
  }

  painter.setPen(pen);
  painter.drawText(QRectF(target.left(), target.top(), target.width(), titleHeight), Qt::AlignCenter, model.Title());
  for (double t : leftTicks)
    painter.drawText(QRectF(target.left() + line + gap, map.Y(t) - line / 2, labelWidth, line),
                     Qt::AlignRight | Qt::AlignVCenter, FormatChartValue(t, decimal));
  for (double t : bottomTicks)
    painter.drawText(QRectF(map.X(t) - bottomLabelWidth, plot.bottom() + gap, 2 * bottomLabelWidth, line),
                     Qt::AlignHCenter | Qt::AlignTop, FormatChartValue(t, decimal));
  painter.drawText(QRectF(plot.left(), plot.bottom() + 2 * gap + line, plot.width(), line), Qt::AlignCenter,
                   model.Bottom().title);
  painter.save();
  painter.translate(target.left() + gap, plot.center().y());
  painter.rotate(-90);
  painter.drawText(QRectF(-plot.height() / 2.0, 0, plot.height(), line), Qt::AlignCenter, model.Left().title);
  painter.restore();

  DrawSeries(painter, model, map, QRect(), plot, penWidth);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot);

  // Legend rows, centred under the axis title.
  double y = target.bottom() - legendHeight + gap;
  for (const auto& row : legendRows) {
    double width = 0.0;
    for (const TLegendEntry& e : row) width += swatch + gap + fm.horizontalAdvance(e.title) + line;
    double x = target.left() + (target.width() - width) / 2.0;
    for (const TLegendEntry& e : row) {
      painter.setPen(QPen(e.color, 2 * penWidth));
      painter.drawLine(QPointF(x, y + line / 2), QPointF(x + swatch, y + line / 2));
      painter.setPen(pen);
      x += swatch + gap;
      const double w = fm.horizontalAdvance(e.title);
      painter.drawText(QRectF(x, y, w + 1, line), Qt::AlignLeft | Qt::AlignVCenter, e.title);
      x += w + line;
    }
    y += line;
  }
  painter.restore();
  return plot;
}
