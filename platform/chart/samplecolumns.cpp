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

std::size_t TSampleColumns::LowerBound(double time) const {
  return static_cast<std::size_t>(std::lower_bound(time_.begin(), time_.end(), time) - time_.begin());
}

TValueRange TSampleColumns::Weights(std::size_t first, std::size_t last) const {
  return weightIndex_.Range(weight_, first, last);
}

TBitsRange TSampleColumns::Channels(std::size_t first, std::size_t last) const {
  return channelIndex_.Range(channelBits_, first, last);
}
