#include "mainwindow/logging/logsession.h"

#include <QtGlobal>
#include <algorithm>
#include <cmath>

#include "mainwindow/logging/weightlogfile.h"
#include "platform/chart/chartmodel.h"

namespace {

constexpr int kWeightLimit = 999999;
constexpr int kWordLimit = 999;
constexpr int kDecimalsLimit = 32;
// Readings a first screen of the time axis holds.
constexpr double kSamplesPerScreen = 100.0;
// The channel traces take this share of the weight span each unit of level.
constexpr double kTraceScale = 30.0;

double Seconds(TLogSession::Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// A margin of a tenth of the span; an empty span gets one of its own size so the
// axis still spans something.
double Margin(double bottom, double top) {
  const double margin = (top - bottom) / 10;
  if (margin > 0) return margin;
  return top != 0 ? std::fabs(top) / 10 : 1.0;
}

}  // namespace

QRect ChartPrintRect(int pageWidth, int pageHeight) {
  const int left = pageWidth / 20, top = pageHeight / 10;
  return QRect(left, top, pageWidth - left - left, pageHeight - top - top);
}

TLogSession::TLogSession(THost& host, TChartModel& chart) : host_(host), traces_(chart) {
  chart.SetRange(TAxisId::Bottom, 0, 100);
  chart.SetIncrement(TAxisId::Bottom, 10);
  chart.SetAxisTitle(TAxisId::Bottom, QStringLiteral("Time (secs)"));
  chart.SetRange(TAxisId::Left, -10, 10);
  chart.SetAxisTitle(TAxisId::Left, QStringLiteral("Weight (kg)"));
}

void TLogSession::BtnStartClick() {
  // One start at a time: its waits let events in, a second press among them.
  if (starting_) return;
  if (!host_.LinkActive()) {
    host_.ShowMessage(QStringLiteral("Instrument Not Connected"));
    return;
  }
  const unsigned startedAt = supersessions_;
  starting_ = true;
  struct TStarted {
    TLogSession& session;
    ~TStarted() { session.starting_ = false; }
  } started{*this};
  host_.LogModeChanged();
  if (host_.AskLogSetup()) {
    if (!StartStands(startedAt)) {
      host_.ShowMessage(QStringLiteral("Instrument Not Connected"));
    } else {
      choice_ = host_.LogChoice();
      Chart().ClearData();
      ShowAfresh();
      content_ = TLogContent::kLiveLog;
      SetupChart(true);
      traces_.SetWeightTitle();
      SelectLogFormat();
      // "Instrument Not Responding" has been shown: a log of that indicator would
      // only stream into silence behind the box's back.
      const bool answered = !host_.Unanswered();
      if (answered && StartStands(startedAt)) WarnUnsupportedChannels();
      if (answered && StartStands(startedAt)) {
        logMode_ = choice_.mode;
        logStart_ = Now();
        lastSampleTime_ = -1.0;
        if (logMode_ == lmStreamed && holds_ == 0) {
          host_.Send("MSV?,0;");
          streamOn_ = true;
        }
      }
    }
  }
  starting_ = false;
  host_.LogModeChanged();
}

void TLogSession::BtnStopClick() {
  if (logMode_ == lmStreamed) host_.Send("STP;");
  logMode_ = lmOff;
  streamOn_ = false;
  host_.LogModeChanged();
}

void TLogSession::StopLogging() {
  if (logMode_ != lmOff) BtnStopClick();
}

void TLogSession::LinkLost() {
  ++supersessions_;
  logMode_ = lmOff;
  streamOn_ = false;
  host_.LogModeChanged();
}

void TLogSession::OpenLog(const std::vector<std::string>& lines) {
  StopLogging();
  ++supersessions_;
  ShowAfresh();
  LoadLog(traces_, lines);
  content_ = TLogContent::kOpenedFile;
  SetupChart(false);
  AutoScaleChart();
  host_.LogModeChanged();
}

void TLogSession::FollowSettings() {
  if (content_ == TLogContent::kNothing) SetupChart(true);
}

void TLogSession::HoldStream() {
  if (holds_++ > 0 || !streamOn_) return;
  // Off before the wait: whatever runs while it drains sees the stream stopped.
  streamOn_ = false;
  host_.StopStream();
}

void TLogSession::ReleaseStream() {
  if (holds_ == 0 || --holds_ > 0 || logMode_ != lmStreamed || streamOn_) return;
  if (!host_.LinkActive()) {
    logMode_ = lmOff;
    host_.LogModeChanged();
    return;
  }
  host_.Send("MSV?,0;");
  streamOn_ = true;
}

void TLogSession::ShowAfresh() {
  if (Chart().Zoomed()) Chart().UndoZoom();
  autoScrollOff_ = false;
}

void TLogSession::SetTimeRange(double min, double max) {
  TChartModel& chart = Chart();
  const TChartModel::TUpdate update(chart);
  chart.SetRange(TAxisId::Bottom, min, max);
  chart.SetIncrement(TAxisId::Bottom, NiceStep(chart.Bottom().Span()));
}

void TLogSession::SelectLogFormat() {
  host_.SetBusyCursor(true);
  const std::string prefix = host_.AddressPrefix();
  cof12Supported_ = host_.QueryAck(prefix + "COF12;");
  if (!cof12Supported_) host_.QuerySet(prefix + "COF11;");
  host_.SetBusyCursor(false);
}

std::optional<QString> TLogSession::UnsupportedChannelsWarning() const {
  if (cof12Supported_) return std::nullopt;
  QString list;
  for (int i = 0; i < TLogTraces::kChannels; ++i) {
    const int source = traces_.Info(i).Source();
    if (source >= 7)
      list += QStringLiteral("Digital %1: %2, ")
                  .arg(i + 1)
                  .arg(QString::fromLatin1(LogSignalNames[static_cast<std::size_t>(source)].name));
  }
  if (list.isEmpty()) return std::nullopt;
  return QStringLiteral("Your indicator doesn't support COF12, therefore the following IOs cannot be logged: ") +
         list + QStringLiteral(". To log IOs 5 to 8 please upgrade the indicator.");
}

void TLogSession::WarnUnsupportedChannels() {
  if (const auto text = UnsupportedChannelsWarning()) host_.Warn(*text);
}

void TLogSession::SetNextSampleDue(Clock::time_point now) {
  nextSampleDue_ = now + std::chrono::milliseconds(sampleInterval_);
}

void TLogSession::LogSample(const std::string& reply) {
  if (logMode_ == lmOff) return;
  parser_.ParseReply(reply, false, false);
  int32_t weight = 0, decimals = 0, wordA = 0, wordB = 0;
  if (!parser_.GetInteger(0, weight, -kWeightLimit, kWeightLimit) ||
      !parser_.GetInteger(1, decimals, 0, kDecimalsLimit) || !parser_.GetInteger(2, wordA, 0, kWordLimit) ||
      (cof12Supported_ && !parser_.GetInteger(3, wordB, 0, kWordLimit)))
    return;
  const Clock::time_point now = Now();
  const double t = Seconds(now - logStart_);
  if (t > lastSampleTime_) FillRepeats();
  lastSampleTime_ = t;
  if (logMode_ != lmStreamed && now < nextSampleDue_) return;
  SetNextSampleDue(now);
  TChartModel& chart = Chart();
  if (t > chart.Bottom().max && !chart.Zoomed() && !autoScrollOff_)
    SetTimeRange(chart.Bottom().min + scrollStep_, chart.Bottom().max + scrollStep_);
  TSamplePoints points;
  for (int i = 0; i < TLogTraces::kChannels; ++i) traces_.Info(i).AddStatus(cof12Supported_, wordA, wordB, points);
  chart.Append(t, static_cast<double>(weight) / scaleDivisor_, points.bits, points.present);
}

// Replies that carry one time (the clock did not move between them) are spread
// evenly back towards the time before them once a later time arrives; the weight
// and every channel share the time column, so all of them move alike.
void TLogSession::FillRepeats() {
  const TSampleColumns& data = Chart().Data();
  const std::size_t n = data.Size();
  if (n < 3) return;
  const double b = data.Time(n - 1);
  std::size_t i = 0;
  while (i <= n - 2 && data.Time(n - 2 - i) == b) ++i;
  if (i == n - 1) return;
  const double f = data.Time(n - 2 - i);
  for (std::size_t j = 0; j < i; ++j)
    Chart().SetTime(n - 2 - j, b + (f - b) * static_cast<double>(j + 1) / static_cast<double>(i + 1));
}

void TLogSession::SetupChart(bool full) {
  TChartModel& chart = Chart();
  if (full) {
    const TChartInputs in = host_.ChartInputs();
    scaleDivisor_ = 1;
    for (int i = 0; i < std::clamp(in.decimals, 0, 5); ++i) scaleDivisor_ *= 10;
    if (in.highResolution) scaleDivisor_ *= 10;
    const double weightMax = static_cast<double>(in.secondRangeScale ? in.fullScale2 : in.fullScale1) / scaleDivisor_;
    chart.SetRange(TAxisId::Left, -weightMax, weightMax);
    unitsText_ = in.unitsText;
    chart.SetAxisTitle(TAxisId::Left, QStringLiteral("Weight (%1)").arg(unitsText_));
    sampleInterval_ = choice_.sampleIntervalMs;
    SetNextSampleDue(Now());
    for (int i = 0; i < TLogTraces::kChannels; ++i)
      traces_.Info(i).SetSource(choice_.sources[static_cast<std::size_t>(i)]);
    const double period = sampleInterval_ > 0 ? sampleInterval_ / 1000.0 : 1.0 / std::max(in.updateRate, 1);
    chart.SetRange(TAxisId::Bottom, 0, period < 0.1 ? 10.0 : period * kSamplesPerScreen);
    scrollStep_ = chart.Bottom().max / 2;
  }
  chart.SetIncrement(TAxisId::Bottom, NiceStep(chart.Bottom().Span()));
  const double multiplier = chart.Left().Span() / kTraceScale;
  for (int i = 0; i < TLogTraces::kChannels; ++i) chart.SetMultiplier(traces_.Info(i).Series(), multiplier);
}

void TLogSession::AutoScaleChart() {
  TChartModel& chart = Chart();
  double first = 0, last = 0;
  if (chart.WeightTimes(first, last)) SetTimeRange(0, last > 0 ? last : 1.0);
  double bottom = 0, top = 0;
  if (chart.LeftValues(bottom, top)) {
    const double margin = Margin(bottom, top);
    chart.SetRange(TAxisId::Left, bottom - margin, top + margin);
  }
}

void TLogSession::ChartDblClick() {
  TChartModel& chart = Chart();
  double bottom = 0, top = 0;
  if (chart.LeftValues(bottom, top)) {
    const double margin = Margin(bottom, top);
    chart.SetRange(TAxisId::Left, bottom - margin, top + margin);
  }
  double first = 0, last = 0;
  if (chart.WeightTimes(first, last)) SetTimeRange(first, last > first ? last : first + 1.0);
}

void TLogSession::ChartZoom() { SetupChart(false); }

void TLogSession::ChartUndoZoom() {
  autoScrollOff_ = false;
  SetupChart(false);
}

QString TLogSession::ChartMouseDown(bool leftButton, bool rightButton, bool shift, int x, int y) {
  TChartModel& chart = Chart();
  if (rightButton) autoScrollOff_ = true;
  if (!(shift && rightButton)) chart.SetCursor(0, {});
  chart.SetCursor(1, {});
  if (shift && chart.PlotRect().contains(x, y) && (leftButton || rightButton)) {
    const TChartMapping map = chart.Mapping();
    chart.SetCursor(leftButton ? 0 : 1, {x, y, map.Time(x), map.Value(y)});
  }
  return CursorLabel();
}

QString TLogSession::CursorLabel() const {
  const TChartModel& chart = traces_.Chart();
  const TChartCursor& first = chart.Cursor(0);
  const TChartCursor& second = chart.Cursor(1);
  const QChar mark = chart.DecimalChar();
  if (!first.Drawn()) return QString();
  if (!second.Drawn())
    return FormatChartValue(first.value, mark) + ' ' + unitsText_ + QStringLiteral("   at   ") +
           FormatChartValue(first.time, mark) + QStringLiteral(" sec");
  return FormatChartValue(std::fabs(second.value - first.value), mark) + ' ' + unitsText_ +
         QStringLiteral("   over   ") + FormatChartValue(std::fabs(second.time - first.time), mark) +
         QStringLiteral(" secs");
}

void TLogSession::ZoomBy(double endsMove) {
  TChartModel& chart = Chart();
  const TChartAxis& x = chart.Bottom();
  const TChartAxis& y = chart.Left();
  chart.Zoom(x.min + x.Span() * endsMove, x.max - x.Span() * endsMove, y.min + y.Span() * endsMove,
             y.max - y.Span() * endsMove);
  ChartZoom();
}

bool TLogSession::KeyDown(int key, bool shift) {
  TChartModel& chart = Chart();
  const double share = shift ? 1.0 : 0.1;
  const TChartAxis& x = chart.Bottom();
  const TChartAxis& y = chart.Left();
  switch (key) {
    case Qt::Key_PageUp:
      ZoomBy(0.25);
      return true;
    case Qt::Key_PageDown:
      ZoomBy(-0.5);
      return true;
    case Qt::Key_Home:
      AutoScaleChart();
      return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const double move = x.Span() * share * (key == Qt::Key_Left ? -1 : 1);
      SetTimeRange(x.min + move, x.max + move);
      return true;
    }
    case Qt::Key_Up:
    case Qt::Key_Down: {
      const double move = y.Span() * share * (key == Qt::Key_Down ? -1 : 1);
      chart.SetRange(TAxisId::Left, y.min + move, y.max + move);
      return true;
    }
    default:
      return false;
  }
}

void TLogSession::ClearChart() {
  Chart().ClearData();
  if (logMode_ != lmOff || starting_) return;
  content_ = TLogContent::kNothing;
  ShowAfresh();
  SetupChart(true);
}

void TLogSession::ApplyChartSetup(const QString& title, double start, double end, double minWeight,
                                  double maxWeight) {
  TChartModel& chart = Chart();
  chart.SetTitle(title);
  SetTimeRange(start, end);
  chart.SetRange(TAxisId::Left, minWeight, maxWeight);
}
