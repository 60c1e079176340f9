#pragma once
// Builds VB2 index map files for the tests, byte by byte as the format lays them out.
#include <QByteArray>
#include <cstdint>
#include <vector>

namespace vb2 {

inline void PutInt32(QByteArray& out, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int shift = 0; shift < 32; shift += 8) out.append(static_cast<char>((u >> shift) & 0xFF));
}

// A file with the given header and column-major cells (cells may be fewer than
// width * height, to make a short file).
inline QByteArray File(std::int32_t width, std::int32_t height, std::int32_t indexCount,
                       const std::vector<std::uint16_t>& cells) {
  QByteArray out;
  PutInt32(out, width);
  PutInt32(out, height);
  PutInt32(out, indexCount);
  for (const std::uint16_t c : cells) {
    out.append(static_cast<char>(c & 0xFF));
    out.append(static_cast<char>(c >> 8));
  }
  return out;
}

}  // namespace vb2
