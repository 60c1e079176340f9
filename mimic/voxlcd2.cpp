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

// Copies the part area of from onto to, from's top left at (x, y) of to; returns
// the part of to written.
QRect Blit(const QImage& from, const QRect& area, QImage& to, int x, int y) {
  const QRect target = area.translated(x, y) & to.rect();
  if (target.isEmpty()) return {};
  const auto bytes = static_cast<std::size_t>(target.width()) * sizeof(QRgb);
  for (int row = target.top(); row <= target.bottom(); ++row) {
    const auto* src = reinterpret_cast<const QRgb*>(from.constScanLine(row - y)) + (target.left() - x);
    auto* dst = reinterpret_cast<QRgb*>(to.scanLine(row)) + target.left();
    std::memcpy(dst, src, bytes);
  }
  return target;
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
  composeAll_ = true;
  states_.resize(static_cast<std::size_t>(Map.IndexCount) + 1, 0);
}

void TVoxLCD::CaptureBackground(int x, int y, const QImage& canvas, int height, int width) {
  Background = canvas.copy(x, y, std::max(width, 0), std::max(height, 0)).convertToFormat(QImage::Format_RGB32);
  Composed = Background;
  composeAll_ = true;
}

QRegion TVoxLCD::Compose() {
  const QSize mapSize(pixels_.Width(), pixels_.Height());
  if (Background.size() != mapSize) {
    Background = Background.copy(QRect(QPoint(0, 0), mapSize));
    composeAll_ = true;
  }
  if (OnColor != shownOn_ || OffColor != shownOff_) composeAll_ = true;
  const auto count = static_cast<std::size_t>(Map.IndexCount);
  if (composeAll_) {
    Composed = Background;
    shown_.assign(count, 0);
  }
  if (Composed.isNull()) return {};
  const QRgb* under = reinterpret_cast<const QRgb*>(Background.constBits());
  auto* pixels = reinterpret_cast<QRgb*>(Composed.bits());
  const QRgb on = PixelOf(OnColor);
  const QRgb off = PixelOf(OffColor);
  const bool paintOff = OffColor != clNone;
  // Each changed segment's rectangle, as long as there are few: past that (a
  // new weight in every digit) the box around them costs less to build and show.
  constexpr std::size_t kMostRects = 16;
  std::vector<QRect> rects;
  QRect bounds;
  for (std::size_t k = 0; k < count; ++k) {
    const std::uint8_t lit = states_[k] != 0;
    // Composed made afresh shows the background under every segment.
    if (composeAll_ ? !lit && !paintOff : lit == shown_[k]) continue;
    shown_[k] = lit;
    const auto segment = pixels_.Of(static_cast<int>(k));
    if (lit || paintOff) {
      const QRgb colour = lit ? on : off;
      for (const std::uint32_t offset : segment) pixels[offset] = colour;
    } else {
      for (const std::uint32_t offset : segment) pixels[offset] = under[offset];
    }
    const QRect box = pixels_.Bounds(static_cast<int>(k));
    bounds |= box;
    if (rects.size() <= kMostRects) rects.push_back(box);
  }
  const bool all = composeAll_;
  composeAll_ = false;
  shownOn_ = OnColor;
  shownOff_ = OffColor;
  if (all) return QRegion(Composed.rect());
  if (rects.size() > kMostRects) return QRegion(bounds);
  QRegion changed;
  for (const QRect& box : rects) changed |= box;
  return changed;
}

QRegion TVoxLCD::Draw(int x, int y, QImage& canvas, int height, int width) {
  if (!loaded_ || sizeCache_ != QSize(width, height)) LoadMap(width, height, Map.FileName);
  QRegion changed = Compose();
  if (Composed.isNull()) return {};
  if (canvas.format() != QImage::Format_RGB32) canvas = canvas.convertToFormat(QImage::Format_RGB32);
  if (canvas.cacheKey() != canvasKey_ || QPoint(x, y) != canvasAt_) changed = QRegion(Composed.rect());
  if (changed.isEmpty()) return {};
  QRegion written;
  for (const QRect& area : changed) written |= Blit(Composed, area, canvas, x, y);
  canvasKey_ = canvas.cacheKey();
  canvasAt_ = QPoint(x, y);
  return written;
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
