#pragma once
// The samples of a log, kept once, column by column: the time, the weight and one
// byte of up to eight channel bits with a byte that says which channels have a
// value in that sample. Every series of the chart draws from these columns; none
// keeps a copy. A sample without a weight holds NaN there.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "platform/chart/rangepyramid.h"

// The smallest and largest weight of a range; empty when it holds none.
struct TValueRange {
  double min = std::numeric_limits<double>::infinity();
  double max = -std::numeric_limits<double>::infinity();
  bool Empty() const { return min > max; }
  static TValueRange Of(double v) { return v == v ? TValueRange{v, v} : TValueRange{}; }
  static TValueRange Merge(const TValueRange& a, const TValueRange& b) {
    return {a.min < b.min ? a.min : b.min, a.max > b.max ? a.max : b.max};
  }
};

// Which channels are high somewhere in a range, and which are low somewhere.
struct TBitsRange {
  uint8_t high = 0;
  uint8_t low = 0;
  static TBitsRange Of(uint16_t bitsAndPresent) {
    const auto bits = static_cast<uint8_t>(bitsAndPresent);
    const auto present = static_cast<uint8_t>(bitsAndPresent >> 8);
    return {static_cast<uint8_t>(bits & present), static_cast<uint8_t>(~bits & present)};
  }
  static TBitsRange Merge(const TBitsRange& a, const TBitsRange& b) {
    return {static_cast<uint8_t>(a.high | b.high), static_cast<uint8_t>(a.low | b.low)};
  }
};

class TSampleColumns {
 public:
  static constexpr int kChannels = 8;
  static double NoWeight() { return std::numeric_limits<double>::quiet_NaN(); }

  void Clear();
  void Reserve(std::size_t samples);
  // bits: channel i high in bit i; present: channel i has a value in bit i.
  void Append(double time, double weight, uint8_t bits, uint8_t present);

  std::size_t Size() const { return time_.size(); }
  bool Empty() const { return time_.empty(); }
  double Time(std::size_t i) const { return time_[i]; }
  double Weight(std::size_t i) const { return weight_[i]; }
  bool HasWeight(std::size_t i) const { return weight_[i] == weight_[i]; }
  bool HasChannel(std::size_t i, int channel) const { return (channelBits_[i] >> (8 + channel)) & 1; }
  bool ChannelHigh(std::size_t i, int channel) const { return (channelBits_[i] >> channel) & 1; }
  // Moves one sample in time; the times must stay in order for the fast paths.
  void SetTime(std::size_t i, double time);

  // Times never go back: the chart finds a time range by halving.
  bool TimesOrdered() const { return disorders_ == 0; }
  // The first sample at or after time (TimesOrdered only), searched from sample
  // `from` on, where the answer is known not to lie before.
  std::size_t LowerBound(double time, std::size_t from = 0) const;

  TValueRange Weights(std::size_t first, std::size_t last) const;
  TBitsRange Channels(std::size_t first, std::size_t last) const;

 private:
  // Whether sample i stands out of order after sample i - 1.
  bool Disordered(std::size_t i) const { return i > 0 && !(time_[i - 1] <= time_[i]); }

  std::vector<double> time_;
  std::vector<double> weight_;
  std::vector<uint16_t> channelBits_;  // low byte the bits, high byte which are present
  TRangePyramid<double, TValueRange> weightIndex_;
  TRangePyramid<uint16_t, TBitsRange> channelIndex_;
  std::size_t disorders_ = 0;  // neighbours out of order
};
