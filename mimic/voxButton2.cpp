#include "mimic/voxButton2.h"

#include <algorithm>
#include <limits>

#include "mimic/voxMimic2.h"

TVoxLCDButtons::TVoxLCDButtons() : Now([] { return std::chrono::steady_clock::now(); }) {}

void TVoxLCDButtons::Load(const QString& fileName, TVoxMimic* control) {
  Deactivate();
  if (fileName.isEmpty()) return;
  control_ = control;
  TVoxBitmap file;
  file.LoadFromFile(fileName);
  TVoxBitmap scaled;
  scaled.AssignScaled(file, control->Canvas().width(), control->Canvas().height());
  keyPixels_.Build(scaled);
  KeyMap = std::move(scaled);
  active_ = true;
}

void TVoxLCDButtons::Deactivate() {
  active_ = false;
  heldKey_ = -1;
}

void TVoxLCDButtons::MouseDown(int x, int y) {
  if (!active_) return;
  const int k = KeyMap.Index(x, y);
  if (heldKey_ >= 0) MouseUp();
  if (k >= KeyMap.IndexCount) return;
  heldKey_ = k;
  pressTime_ = Now();
  ToggleHighlight(control_->Canvas().rect());
  if (OnKeyDown) OnKeyDown(this, k);
}

void TVoxLCDButtons::MouseUp() {
  if (!active_ || heldKey_ < 0) return;
  ToggleHighlight(control_->Canvas().rect());
  const int k = heldKey_;
  heldKey_ = -1;
  if (OnKeyUp) OnKeyUp(this, k);
  if (OnKeyPressed) OnKeyPressed(this, k, HeldMs());
}

void TVoxLCDButtons::CheckAutoRelease(int ms) {
  if (heldKey_ >= 0 && HeldMs() >= ms) MouseUp();
}

void TVoxLCDButtons::RestoreHighlight(const QRegion& area) {
  if (active_ && heldKey_ >= 0) ToggleHighlight(area);
}

void TVoxLCDButtons::ToggleHighlight(const QRegion& area) {
  QImage& canvas = control_->Canvas();
  if (canvas.size() != QSize(keyPixels_.Width(), keyPixels_.Height()) || canvas.depth() != 32) return;
  const QRegion clip = area & canvas.rect();
  auto* pixels = reinterpret_cast<QRgb*>(canvas.bits());
  const auto width = static_cast<std::uint32_t>(canvas.width());
  int left = canvas.width(), top = canvas.height(), right = -1, bottom = -1;
  for (const std::uint32_t offset : keyPixels_.Of(heldKey_)) {
    const int x = static_cast<int>(offset % width);
    const int y = static_cast<int>(offset / width);
    if (!clip.contains(QPoint(x, y))) continue;
    pixels[offset] ^= 0x444444u;
    left = std::min(left, x);
    top = std::min(top, y);
    right = std::max(right, x);
    bottom = std::max(bottom, y);
  }
  if (right >= left) control_->CanvasChanged(QRect(QPoint(left, top), QPoint(right, bottom)));
}

int TVoxLCDButtons::HeldMs() const {
  const auto held = std::chrono::round<std::chrono::milliseconds>(Now() - pressTime_).count();
  return static_cast<int>(std::clamp<long long>(held, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
