#include "mimic/indexpixels.h"

#include <algorithm>

#include "mimic/voxbitmap2.h"

void TIndexPixels::Build(const TVoxBitmap& map) {
  width_ = map.Width;
  height_ = map.Height;
  const auto count = static_cast<std::size_t>(map.IndexCount);
  start_.assign(count + 1, 0);
  const auto& cells = map.Cells();
  for (const std::uint16_t k : cells)
    if (k < count) ++start_[k + 1u];
  for (std::size_t k = 0; k < count; ++k) start_[k + 1] += start_[k];
  offsets_.resize(start_[count]);
  std::vector<std::uint32_t> next(start_.begin(), start_.end() - 1);
  bounds_.assign(count, TBounds{});
  const auto w = static_cast<std::uint32_t>(width_);
  const auto h = static_cast<std::size_t>(height_);
  for (std::uint32_t x = 0; x < w; ++x) {
    const std::uint16_t* column = cells.data() + x * h;
    for (std::uint32_t y = 0; y < h; ++y) {
      const std::uint16_t k = column[y];
      if (k >= count) continue;
      offsets_[next[k]++] = y * w + x;
      // Columns come in order, so the first column seen is the leftmost.
      TBounds& b = bounds_[k];
      const int col = static_cast<int>(x), row = static_cast<int>(y);
      if (b.right < 0) b = {col, row, col, row};
      b.right = col;
      b.top = std::min(b.top, row);
      b.bottom = std::max(b.bottom, row);
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
  const TBounds& b = bounds_[static_cast<std::size_t>(k)];
  return b.right < 0 ? QRect() : QRect(QPoint(b.left, b.top), QPoint(b.right, b.bottom));
}
