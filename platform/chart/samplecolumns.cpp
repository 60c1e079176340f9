#include "platform/chart/samplecolumns.h"

#include <algorithm>

void TSampleColumns::Clear() {
  time_.clear();
  weight_.clear();
  channelBits_.clear();
  weightIndex_.Clear();
  channelIndex_.Clear();
  disorders_ = 0;
}

void TSampleColumns::Reserve(std::size_t samples) {
  time_.reserve(samples);
  weight_.reserve(samples);
  channelBits_.reserve(samples);
}

void TSampleColumns::Append(double time, double weight, uint8_t bits, uint8_t present) {
  time_.push_back(time);
  weight_.push_back(weight);
  channelBits_.push_back(static_cast<uint16_t>(present << 8 | (bits & present)));
  weightIndex_.Appended(weight_);
  channelIndex_.Appended(channelBits_);
  disorders_ += Disordered(time_.size() - 1);
}

void TSampleColumns::SetTime(std::size_t i, double time) {
  const bool last = i + 1 == time_.size();
  disorders_ -= Disordered(i) + (!last && Disordered(i + 1));
  time_[i] = time;
  disorders_ += Disordered(i) + (!last && Disordered(i + 1));
}

std::size_t TSampleColumns::LowerBound(double time, std::size_t from) const {
  // Galloping from `from`: neighbouring pixel columns cost a few steps, not a
  // search of the whole log.
  const std::size_t n = time_.size();
  std::size_t lo = std::min(from, n), step = 1, hi = lo;
  while (hi < n && time_[hi] < time) {
    lo = hi + 1;
    hi = std::min(n, hi + step);
    step *= 2;
  }
  return static_cast<std::size_t>(std::lower_bound(time_.begin() + static_cast<std::ptrdiff_t>(lo),
                                                   time_.begin() + static_cast<std::ptrdiff_t>(hi), time) -
                                  time_.begin());
}

TValueRange TSampleColumns::Weights(std::size_t first, std::size_t last) const {
  return weightIndex_.Range(weight_, first, last);
}

TBitsRange TSampleColumns::Channels(std::size_t first, std::size_t last) const {
  return channelIndex_.Range(channelBits_, first, last);
}
