#include "mimic/indexpixels.h"

#include <algorithm>
#include <numeric>

#include "mimic/voxbitmap2.h"

void TIndexPixels::Build(const TVoxBitmap& map) {
  width_ = map.Width;
  height_ = map.Height;
  const auto& cells = map.Cells();
  // Sized by the indices the map holds, not by the count its header names, which
  // may be far larger.
  const auto limit = static_cast<std::uint16_t>(std::clamp(map.IndexCount, 0, TVoxBitmap::kMaxIndexCount));
  std::size_t count = 0;
  for (const std::uint16_t k : cells)
    if (k < limit) count = std::max<std::size_t>(count, k + 1u);
  start_.assign(count + 1, 0);
  for (const std::uint16_t k : cells)
    if (k < count) ++start_[k + 1u];
  std::partial_sum(start_.begin(), start_.end(), start_.begin());
  offsets_.resize(start_[count]);
  std::vector<std::uint32_t> next(start_.begin(), start_.end() - 1);
  // The bounds grow with the pixels in the same pass: a map may hold a few indices
  // numbered in the tens of thousands, and a pass over every number below them
  // would cost more than the map itself.
  bounds_.assign(count, QRect());
  const auto w = static_cast<std::uint32_t>(width_);
  const auto h = static_cast<std::size_t>(height_);
  for (std::uint32_t x = 0; x < w; ++x) {
    const std::uint16_t* column = cells.data() + x * h;
    for (std::uint32_t y = 0; y < h; ++y) {
      const std::uint16_t k = column[y];
      if (k >= count) continue;
      offsets_[next[k]++] = y * w + x;
      // In column order, the first pixel is in the leftmost column and the last in the rightmost.
      QRect& box = bounds_[k];
      const QPoint at(static_cast<int>(x), static_cast<int>(y));
      if (box.isNull()) {
        box = QRect(at, at);
      } else {
        box.setRight(at.x());
        box.setTop(std::min(box.top(), at.y()));
        box.setBottom(std::max(box.bottom(), at.y()));
      }
    }
  }
}

std::span<const std::uint32_t> TIndexPixels::Of(int k) const {
  if (k < 0 || static_cast<std::size_t>(k) + 1 >= start_.size()) return {};
  const auto first = start_[static_cast<std::size_t>(k)];
  const auto last = start_[static_cast<std::size_t>(k) + 1];
  return {offsets_.data() + first, last - first};
}

QRect TIndexPixels::Bounds(int k) const {
  if (k < 0 || static_cast<std::size_t>(k) >= bounds_.size()) return {};
  return bounds_[static_cast<std::size_t>(k)];
}
