#include "mimic/voxlcd2.h"

#include <algorithm>
#include <cstring>

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

// Copies the part of from that falls on to, from's top left at (x, y) of to.
void Blit(const QImage& from, QImage& to, int x, int y) {
  const QRect area = QRect(x, y, from.width(), from.height()) & to.rect();
  if (area.isEmpty()) return;
  const auto bytes = static_cast<std::size_t>(area.width()) * sizeof(QRgb);
  for (int row = area.top(); row <= area.bottom(); ++row) {
    const auto* src = reinterpret_cast<const QRgb*>(from.constScanLine(row - y)) + (area.left() - x);
    auto* dst = reinterpret_cast<QRgb*>(to.scanLine(row)) + area.left();
    std::memcpy(dst, src, bytes);
  }
}

}  // namespace

TVoxLCD::TVoxLCD() : states_(500, 1) {}

void TVoxLCD::LoadMap(int width, int height, const QString& fileName) {
  TVoxBitmap file;
  file.LoadFromFile(fileName);
  ++mapLoads_;
  TVoxBitmap scaled;
  scaled.AssignScaled(file, width, height);
  TIndexPixels pixels;
  pixels.Build(scaled);
  Map = std::move(scaled);
  pixels_ = std::move(pixels);
  sizeCache_ = QSize(width, height);
  loaded_ = true;
  states_.resize(static_cast<std::size_t>(Map.IndexCount) + 1, 0);
}

void TVoxLCD::CaptureBackground(int x, int y, const QImage& canvas, int height, int width) {
  Background = canvas.copy(x, y, std::max(width, 0), std::max(height, 0)).convertToFormat(QImage::Format_RGB32);
  Composed = Background;
}

void TVoxLCD::Draw(int x, int y, QImage& canvas, int height, int width) {
  if (!loaded_ || sizeCache_ != QSize(width, height)) LoadMap(width, height, Map.FileName);
  const QSize mapSize(pixels_.Width(), pixels_.Height());
  if (Background.size() != mapSize) Background = Background.copy(QRect(QPoint(0, 0), mapSize));
  Composed = Background;
  if (Composed.isNull()) return;
  auto* pixels = reinterpret_cast<QRgb*>(Composed.bits());
  const QRgb on = PixelOf(OnColor);
  const QRgb off = PixelOf(OffColor);
  const bool paintOff = OffColor != clNone;
  for (int k = 0; k < Map.IndexCount; ++k) {
    const bool lit = states_[static_cast<std::size_t>(k)] != 0;
    if (!lit && !paintOff) continue;
    const QRgb colour = lit ? on : off;
    for (const std::uint32_t offset : pixels_.Of(k)) pixels[offset] = colour;
  }
  if (canvas.format() != QImage::Format_RGB32) canvas = canvas.convertToFormat(QImage::Format_RGB32);
  Blit(Composed, canvas, x, y);
}

void TVoxLCD::SetSegment(int index, std::uint8_t state) {
  if (index >= 0 && index < Map.IndexCount) states_[static_cast<std::size_t>(index)] = state;
}

void TVoxLCD::SetSegmentsHex(std::string_view text) {
  const int count = Map.IndexCount;
  for (std::size_t k = 0; k < text.size(); ++k) {
    const int first = static_cast<int>(k) * 4;
    if (first >= count) break;
    const int v = HexValue(text[k]);
    for (int bit = 0; bit < 4; ++bit) SetSegment(first + bit, static_cast<std::uint8_t>((v >> (3 - bit)) & 1));
  }
}
