#include "platform/chart/chartmodel.h"

#include <cmath>

namespace {

double UsableSpan(double span) { return std::isfinite(span) && span != 0.0 ? span : 1.0; }

}  // namespace

TChartMapping::TChartMapping(const QRectF& plotRect, const TChartAxis& bottom, const TChartAxis& left)
    : plot(plotRect.width() > 0 && plotRect.height() > 0 ? plotRect : QRectF(0, 0, 1, 1)),
      xMin(bottom.min),
      xSpan(UsableSpan(bottom.Span())),
      yMin(left.min),
      ySpan(UsableSpan(left.Span())) {}

double NiceStep(double span) {
  if (!std::isfinite(span) || span <= 0.0) return 1.0;
  const double whole = span;
  int n = 0;
  while (span > 10) {
    span /= 10;
    ++n;
  }
  while (span <= 1) {
    span *= 10;
    --n;
  }
  const double step = span >= 8 ? 1.0 : span >= 4 ? 0.5 : span >= 1.6 ? 0.2 : 0.1;
  // Below the smallest power of ten a double holds, the span itself is the step.
  const double result = step * std::pow(10.0, n);
  return result > 0.0 ? result : whole;
}

QString FormatChartValue(double value, QChar decimalChar) {
  if (!std::isfinite(value)) return QString();
  // Thousandths as an integer, rounded half to even; beyond what 64 bits hold the
  // value is shown whole.
  const double thousandths = std::nearbyint(value * 1000.0);
  QString digits;
  uint64_t fraction = 0;
  if (std::fabs(thousandths) < 9.0e18) {
    const auto magnitude = static_cast<uint64_t>(std::fabs(thousandths));
    digits = QString::number(magnitude / 1000);
    fraction = magnitude % 1000;
  } else {
    digits = QString::number(std::fabs(std::nearbyint(value)), 'f', 0);
  }
  const QChar group = decimalChar == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
  for (auto i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, group);
  const bool zero = digits == QLatin1String("0") && fraction == 0;
  QString text = (value < 0 && !zero ? QStringLiteral("-") : QString()) + digits;
  if (fraction != 0) {
    QString decimals = QStringLiteral("%1").arg(fraction, 3, 10, QLatin1Char('0'));
    while (decimals.endsWith(QLatin1Char('0'))) decimals.chop(1);
    text += decimalChar + decimals;
  }
  return text;
}

TChartModel::TChartModel() = default;

void TChartModel::Changed(bool redraw, bool layout) {
  if (redraw) ++revision_;
  if (redraw && layout) ++layoutRevision_;
  changedInUpdate_ = updating_ > 0;
  if (!changedInUpdate_ && OnChanged) OnChanged();
}

void TChartModel::SetTitle(const QString& line) {
  title_ = line;
  Changed();
}

void TChartModel::SetRange(TAxisId id, double min, double max) {
  TChartAxis& axis = id == TAxisId::Bottom ? bottom_ : left_;
  axis.min = min;
  axis.max = max;
  Changed();
}

void TChartModel::SetIncrement(TAxisId id, double increment) {
  (id == TAxisId::Bottom ? bottom_ : left_).increment = increment;
  Changed();
}

void TChartModel::SetAxisTitle(TAxisId id, const QString& title) {
  (id == TAxisId::Bottom ? bottom_ : left_).title = title;
  Changed();
}

void TChartModel::SetDecimalChar(QChar c) {
  decimalChar_ = c;
  Changed();
}

int TChartModel::AddSeries(const TChartSeries& series) {
  series_.push_back(series);
  Changed();
  return SeriesCount() - 1;
}

void TChartModel::SetSeriesTitle(int i, bool showInLegend, const QString& title) {
  TChartSeries& s = series_[static_cast<std::size_t>(i)];
  s.title = title;
  s.showInLegend = showInLegend;
  Changed();
}

void TChartModel::SetMultiplier(int i, double multiplier) {
  series_[static_cast<std::size_t>(i)].multiplier = multiplier;
  Changed();
}

void TChartModel::Append(double time, double weight, uint8_t bits, uint8_t present) {
  data_.Append(time, weight, bits, present);
  Changed(true, false);
}

void TChartModel::SetTime(std::size_t i, double time) {
  data_.SetTime(i, time);
  Changed();
}

void TChartModel::ClearData() {
  data_.Clear();
  Changed();
}

bool TChartModel::WeightTimes(double& first, double& last) const {
  bool any = false;
  for (std::size_t i = 0; i < data_.Size(); ++i) {
    if (!data_.HasWeight(i)) continue;
    const double t = data_.Time(i);
    if (!any || t < first) first = t;
    if (!any || t > last) last = t;
    any = true;
  }
  return any;
}

bool TChartModel::LeftValues(double& bottom, double& top) const {
  TValueRange range = data_.Weights(0, data_.Size());
  const TBitsRange bits = data_.Channels(0, data_.Size());
  for (const TChartSeries& s : series_) {
    if (s.kind != TChartSeries::Stairs) continue;
    const uint8_t mask = static_cast<uint8_t>(1u << s.channel);
    if (bits.high & mask) range = TValueRange::Merge(range, TValueRange::Of(s.Level(true)));
    if (bits.low & mask) range = TValueRange::Merge(range, TValueRange::Of(s.Level(false)));
  }
  if (range.Empty()) return false;
  bottom = range.min;
  top = range.max;
  return true;
}

double TChartModel::ChannelValue(int series, std::size_t i) const {
  const TChartSeries& s = Series(series);
  return s.Level(data_.ChannelHigh(i, s.channel));
}

void TChartModel::Zoom(double xMin, double xMax, double yMin, double yMax) {
  if (!zoomed_) {
    savedBottom_ = bottom_;
    savedLeft_ = left_;
    zoomed_ = true;
  }
  bottom_.min = xMin;
  bottom_.max = xMax;
  left_.min = yMin;
  left_.max = yMax;
  Changed();
}

void TChartModel::UndoZoom() {
  if (zoomed_) {
    bottom_.min = savedBottom_.min;
    bottom_.max = savedBottom_.max;
    left_.min = savedLeft_.min;
    left_.max = savedLeft_.max;
    zoomed_ = false;
  }
  Changed();
}

void TChartModel::Pan(double dx, double dy) {
  bottom_.min += dx;
  bottom_.max += dx;
  left_.min += dy;
  left_.max += dy;
  Changed();
}

void TChartModel::SetCursor(int i, const TChartCursor& cursor) {
  cursors_[static_cast<std::size_t>(i)] = cursor;
  Changed(false);
}

void TChartModel::ForgetCursors() {
  for (TChartCursor& c : cursors_) c.x = c.y = -1;
}
