#pragma once
// Colours as the programs store them: $00BBGGRR, with clNone meaning "no colour".
#include <QRgb>
#include <cstdint>

using TColor = std::uint32_t;

inline constexpr TColor clNone = 0x1FFFFFFF;

// The colour as an opaque pixel of a 32-bit picture.
constexpr QRgb PixelOf(TColor c) {
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
