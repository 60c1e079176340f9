#pragma once
// The digital channels of the weight log: which status bit each signal reads, one
// trace per channel, and the chart's nine series (the weight and eight channels)
// over the log's one set of sample columns.
#include <QString>
#include <array>
#include <cstdint>

class TChartModel;

struct TLogSignal {
  const char* name;
  uint16_t maskA;  // in status word A
  uint16_t maskB;  // in status word B, read only when the indicator took "COF12;"
  bool usesWordB;
  bool inverted;   // on while the bit is clear
};

inline constexpr int kLogSignalCount = 11;
extern const std::array<TLogSignal, kLogSignalCount> LogSignalNames;

// The channel points of one sample while it is taken, before it joins the log's
// columns: bit i of bits is channel i's state, bit i of present says it has one.
struct TSamplePoints {
  uint8_t bits = 0;
  uint8_t present = 0;
};

// One digital channel: the signal it shows (0 = off) and the level of its trace,
// Baseline when off and Baseline + 1 when on.
class TLoggingInfo {
 public:
  TLoggingInfo(TChartModel& chart, int series, int channel, double baseline);

  // Indices outside the table are ignored.
  void SetSource(int index);
  int Source() const { return source_; }
  // The legend shows the signal's name while a signal is chosen.
  void UpdateSeries();
  double TraceLevel(bool on) const { return on ? baseline_ + 1 : baseline_; }
  double Baseline() const { return baseline_; }
  int Channel() const { return channel_; }
  int Series() const { return series_; }
  // Gives the sample this channel's point, drawn at TraceLevel(on); nothing while
  // the channel is off.
  void AddPoint(bool on, TSamplePoints& sample) const;
  // The point of these status words: the signal's bit in word B when useWordB and
  // the signal reads that word, else in word A.
  void AddStatus(bool useWordB, int32_t wordA, int32_t wordB, TSamplePoints& sample) const;
  // Sample n of the log, as the trace draws it; whether it lies above the half level.
  double PointValue(std::size_t n) const;
  bool IsHigh(std::size_t n) const;

 private:
  TChartModel& chart_;
  int series_;
  int channel_;
  double baseline_;
  int source_ = 0;
};

// The weight trace and the eight channel traces of the Log page's chart.
class TLogTraces {
 public:
  static constexpr int kChannels = 8;
  static constexpr int kWeightSeries = 0;

  // Adds the nine series to chart (which must have none).
  explicit TLogTraces(TChartModel& chart);

  TChartModel& Chart() { return chart_; }
  const TChartModel& Chart() const { return chart_; }
  TLoggingInfo& Info(int channel) { return infos_[static_cast<std::size_t>(channel)]; }
  const TLoggingInfo& Info(int channel) const { return infos_[static_cast<std::size_t>(channel)]; }
  // The weight trace appears in the legend as "Weight".
  void SetWeightTitle();

 private:
  TChartModel& chart_;
  std::array<TLoggingInfo, kChannels> infos_;
};
