#pragma once
// Summaries of a growing column over blocks of 16, 32, 64, ... values, so that
// the summary of any index range costs a few dozen steps however long the column
// is: what lets a chart of a million samples draw as fast as one of a thousand.
// Summary provides Of(value), Merge(a, b) and an empty default.
#include <cstddef>
#include <vector>

template <class Value, class Summary>
class TRangePyramid {
 public:
  static constexpr std::size_t kBlock = 16;

  void Clear() { levels_.clear(); }

  // values has grown by one; only its last block may be summarised anew.
  void Appended(const std::vector<Value>& values) {
    const std::size_t n = values.size();
    if (n == 0 || n % kBlock != 0) return;
    Summary block;
    for (std::size_t i = n - kBlock; i < n; ++i) block = Summary::Merge(block, Summary::Of(values[i]));
    Push(0, block);
  }

  // The summary of values[first, last).
  Summary Range(const std::vector<Value>& values, std::size_t first, std::size_t last) const {
    Summary acc;
    if (last > values.size()) last = values.size();
    while (first < last && first % kBlock != 0) acc = Summary::Merge(acc, Summary::Of(values[first++]));
    while (last > first && last % kBlock != 0) acc = Summary::Merge(acc, Summary::Of(values[--last]));
    std::size_t lo = first / kBlock;
    std::size_t hi = last / kBlock;
    for (std::size_t level = 0; lo < hi && level < levels_.size(); ++level) {
      const auto& blocks = levels_[level];
      if (lo & 1) acc = Summary::Merge(acc, blocks[lo++]);
      if (hi & 1) acc = Summary::Merge(acc, blocks[--hi]);
      lo >>= 1;
      hi >>= 1;
    }
    return acc;
  }

 private:
  void Push(std::size_t level, const Summary& summary) {
    if (levels_.size() <= level) levels_.emplace_back();
    auto& blocks = levels_[level];
    blocks.push_back(summary);
    if (blocks.size() % 2 == 0) Push(level + 1, Summary::Merge(blocks[blocks.size() - 2], blocks.back()));
  }

  std::vector<std::vector<Summary>> levels_;
};
