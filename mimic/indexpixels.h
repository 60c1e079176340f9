#pragma once
// The pixels of a scaled index map grouped by index, so that lighting one segment
// or highlighting one key touches only its own pixels instead of the whole map.
#include <QRect>
#include <cstdint>
#include <span>
#include <vector>

class TVoxBitmap;

class TIndexPixels {
 public:
  // Groups the cells of map; offsets are y * map.Width + x, ready for a picture
  // of the map's size. Cells holding the map's "nothing here" value are left out.
  void Build(const TVoxBitmap& map);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The pixels of index k, in column order; empty for an index the map lacks.
  std::span<const std::uint32_t> Of(int k) const;
  // The smallest rectangle holding index k's pixels; empty for an index the map lacks.
  QRect Bounds(int k) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> start_;    // start_[k]..start_[k+1] are index k's pixels
  std::vector<std::uint32_t> offsets_;
  std::vector<QRect> bounds_;  // by index, worked out once
};
