// Feeds arbitrary bytes to the index-map loader as a VB2 file, then scales and
// groups what it accepted: nothing may read outside the map, and every cell must
// stay within the map's index count.
//
// A header may claim up to 16 million cells, which the loader allocates and zeroes
// before it reads the few the input carries: one such input costs as much as
// thousands of small ones and tests nothing more (the unit tests load a map at
// the cap). Claims far beyond what an input can carry are left out; claims beyond
// the cap still go to the loader, which refuses them before allocating.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "mimic/indexpixels.h"
#include "mimic/mimicerror.h"
#include "mimic/voxbitmap2.h"

namespace {

constexpr std::int64_t kMostCellsTried = 1 << 14;

// The cells the header claims, read as the loader reads it; 0 when it claims none.
std::int64_t ClaimedCells(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  const auto field = [&](size_t at) {
    return static_cast<std::int32_t>(data[at] | data[at + 1] << 8 | data[at + 2] << 16 |
                                     static_cast<std::uint32_t>(data[at + 3]) << 24);
  };
  const std::int32_t width = field(0), height = field(4);
  return width < 1 || height < 1 ? 0 : std::int64_t{width} * height;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::int64_t claimed = ClaimedCells(data, size);
  if (claimed > kMostCellsTried && claimed <= TVoxBitmap::kMaxCells) return -1;
  TVoxBitmap map;
  try {
    map.LoadFromBytes(reinterpret_cast<const char*>(data), size, QStringLiteral("fuzz.VB2"));
  } catch (const EMimicError&) {
    return 0;
  }
  for (const std::uint16_t cell : map.Cells())
    if (cell > map.IndexCount) std::abort();
  if (map.Index(-1, 0) != map.IndexCount || map.Index(map.Width, map.Height - 1) != map.IndexCount) std::abort();

  // Target sizes from the input's last byte: 1 pixel, smaller, larger.
  const int pick = size > 0 ? data[size - 1] : 0;
  const int targets[][2] = {{1, 1}, {1 + pick % 7, 1 + pick % 5}, {2 + pick % 97, 3 + pick % 61}};
  // One object built again for every map: its tables keep their storage, where
  // fresh ones for a high index would be mapped and faulted in for every input.
  static TIndexPixels pixels;
  for (const auto& t : targets) {
    TVoxBitmap scaled;
    scaled.AssignScaled(map, t[0], t[1]);
    pixels.Build(scaled);
    // Past the highest index a cell holds no index has a pixel: the count the
    // header names may be tens of thousands above it.
    int held = 0;
    for (const std::uint16_t cell : scaled.Cells())
      if (cell < scaled.IndexCount) held = std::max(held, cell + 1);
    const int last = scaled.IndexCount - 1;
    if (!pixels.Of(held).empty() || (last > held && !pixels.Of(last).empty())) std::abort();
    // Each index the map holds has its own pixels, each once and in column order,
    // within the smallest rectangle that holds them all. Its indices are found
    // from its cells: the numbers between them may run to tens of thousands.
    std::vector<std::size_t> cellsOf(static_cast<std::size_t>(held), 0);
    for (const std::uint16_t cell : scaled.Cells())
      if (cell < held) ++cellsOf[cell];
    for (const std::uint16_t k : scaled.Cells()) {
      if (k >= held || cellsOf[k] == 0) continue;
      const std::span<const std::uint32_t> own = pixels.Of(k);
      if (own.size() != cellsOf[k]) std::abort();
      cellsOf[k] = 0;
      QRect box;
      std::int64_t previous = -1;
      for (const std::uint32_t offset : own) {
        const int x = static_cast<int>(offset % static_cast<std::uint32_t>(scaled.Width));
        const int y = static_cast<int>(offset / static_cast<std::uint32_t>(scaled.Width));
        const std::int64_t columnOrder = std::int64_t{x} * scaled.Height + y;
        if (scaled.Index(x, y) != k || columnOrder <= previous) std::abort();
        previous = columnOrder;
        box |= QRect(x, y, 1, 1);
      }
      if (pixels.Bounds(k) != box) std::abort();
    }
  }
  return 0;
}
