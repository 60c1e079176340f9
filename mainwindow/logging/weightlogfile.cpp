#include "mainwindow/logging/weightlogfile.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "mainwindow/logging/loginfo.h"
#include "platform/chart/chartmodel.h"
#include "protocol/comms.h"
#include "protocol/tools.h"

namespace {

constexpr std::size_t kMaxNumberText = 100;
// Below this every value written with two decimals reads back as the same double,
// so a saved file loads and saves again to the same bytes; beyond it, it is kept.
constexpr double kLargestWritten = 1e13;

// Two decimals, "." as the mark, rounded to nearest with ties to even; no "-0.00".
void AppendFixed(std::string& out, double value) {
  if (!std::isfinite(value)) value = 0.0;
  value = std::clamp(value, -kLargestWritten, kLargestWritten);
  if (std::fabs(value) < 0.005) value = 0.0;
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  out.append(buffer, result.ptr);
}

// A number as the writer puts it: an optional "-", digits and at most one ".".
// Anything else is no number: the reader would take letters and spaces for digits.
bool IsNumberText(const std::string& text) {
  if (text.empty() || text.size() > kMaxNumberText) return false;
  std::size_t i = text[0] == '-' ? 1 : 0;
  bool digit = false, point = false;
  for (; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') digit = true;
    else if (text[i] == '.' && !point) point = true;
    else return false;
  }
  return digit;
}

bool NumberField(const Tcommsobj& parser, int n, double& value) {
  std::string text;
  if (!parser.GetString(n, text, 0, kMaxNumberText) || !IsNumberText(text)) return false;
  value = StrToFixedFloat(text);
  return true;
}

}  // namespace

void SaveLog(const TLogTraces& traces, std::vector<std::string>& lines) {
  const TChartModel& chart = traces.Chart();
  const TSampleColumns& data = chart.Data();
  lines.clear();
  lines.reserve(data.Size() + 2);
  QString title = chart.Title();
  for (qsizetype i = 0; i < title.size(); ++i)
    if (title[i] == QLatin1Char('\r') || title[i] == QLatin1Char('\n')) title.truncate(i);
  lines.push_back(title.toLatin1().toStdString());
  std::string sources;
  for (int i = 0; i < TLogTraces::kChannels; ++i) sources += std::to_string(traces.Info(i).Source()) + ',';
  lines.push_back(sources);
  for (std::size_t n = 0; n < data.Size(); ++n) {
    if (!data.HasWeight(n)) continue;
    std::string line;
    AppendFixed(line, data.Time(n));
    line += ',';
    AppendFixed(line, data.Weight(n));
    for (int i = 0; i < TLogTraces::kChannels; ++i) {
      line += ',';
      // Each channel's value belongs to its own sample; a sample without one stays empty.
      if (traces.Info(i).Source() != 0 && data.HasChannel(n, i)) line += traces.Info(i).IsHigh(n) ? '1' : '0';
    }
    lines.push_back(std::move(line));
  }
}

void LoadLog(TLogTraces& traces, const std::vector<std::string>& lines) {
  TChartModel& chart = traces.Chart();
  const TChartModel::TUpdate update(chart);
  chart.ClearData();
  // An empty file is an empty log: no title, no channels, the weight named.
  chart.SetTitle(lines.empty() ? QString()
                               : QString::fromLatin1(lines[0].c_str(), static_cast<qsizetype>(lines[0].size())));
  Tcommsobj parser;
  if (lines.size() > 1) parser.ParseReply(lines[1], false, false);
  for (int i = 0; i < TLogTraces::kChannels; ++i) {
    int32_t source = 0;
    // A missing or bad source field leaves the channel off.
    if (lines.size() < 2 || !parser.GetInteger(i, source, 0, kLogSignalCount - 1)) source = 0;
    traces.Info(i).SetSource(source);
  }
  traces.SetWeightTitle();
  chart.ReserveData(lines.size() > 2 ? lines.size() - 2 : 0);
  for (std::size_t n = 2; n < lines.size(); ++n) {
    parser.ParseReply(lines[n], false, false);
    double time = 0.0, weight = 0.0;
    if (!NumberField(parser, 0, time)) continue;
    if (!NumberField(parser, 1, weight)) weight = TSampleColumns::NoWeight();
    TSamplePoints points;
    for (int i = 0; i < TLogTraces::kChannels; ++i) {
      int32_t state = 0;
      if (parser.GetInteger(i + 2, state, 0, 1)) traces.Info(i).AddPoint(state == 1, points);
    }
    if (std::isnan(weight) && points.present == 0) continue;
    chart.Append(time, weight, points.bits, points.present);
  }
}
