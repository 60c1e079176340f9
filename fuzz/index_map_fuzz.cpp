// Feeds arbitrary bytes to the index-map loader as a VB2 file, then scales and
// groups what it accepted: nothing may read outside the map, and every cell must
// stay within the map's index count.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "mimic/indexpixels.h"
#include "mimic/mimicerror.h"
#include "mimic/voxbitmap2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
  for (const auto& t : targets) {
    TVoxBitmap scaled;
    scaled.AssignScaled(map, t[0], t[1]);
    TIndexPixels pixels;
    pixels.Build(scaled);
    std::size_t grouped = 0;
    for (int k = 0; k < scaled.IndexCount; ++k) {
      for (const std::uint32_t offset : pixels.Of(k)) {
        const int x = static_cast<int>(offset % static_cast<std::uint32_t>(scaled.Width));
        const int y = static_cast<int>(offset / static_cast<std::uint32_t>(scaled.Width));
        if (scaled.Index(x, y) != k) std::abort();
        ++grouped;
      }
    }
    if (grouped > scaled.Cells().size()) std::abort();
  }
  return 0;
}
