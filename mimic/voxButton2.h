#pragma once
// The clickable keys of the front panel: the key map says which key lies under
// each pixel; pressing one highlights it, releasing it (or holding it past the
// auto-release time) reports the key with how long it was held.
#include <QRect>
#include <QRegion>
#include <QString>
#include <chrono>
#include <functional>

#include "mimic/indexpixels.h"
#include "mimic/voxbitmap2.h"

class TVoxMimic;

class TVoxLCDButtons {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  TVoxLCDButtons();

  // Reads the key map and scales it to the control's canvas. An empty name leaves
  // the keys inactive. Throws EMimicError when the file cannot be used; the keys
  // stay inactive then.
  void Load(const QString& fileName, TVoxMimic* control);
  // No key map: presses do nothing until the next Load. A held key is dropped
  // without events (its highlight goes with the redrawn picture).
  void Deactivate();

  // Mouse handlers, in canvas pixels; any button presses.
  void MouseDown(int x, int y);
  void MouseUp();
  // Releases the held key once it has been held at least ms milliseconds.
  void CheckAutoRelease(int ms);
  // Highlights the held key again where area was redrawn from an unhighlighted
  // picture (the LCD repaints over keys that lie inside it).
  void RestoreHighlight(const QRegion& area);

  bool Active() const { return active_; }
  int HeldKey() const { return heldKey_; }
  int KeyCount() const { return KeyMap.IndexCount; }

  // Raised on release: OnKeyUp first, then OnKeyPressed with the hold time.
  std::function<void(TVoxLCDButtons* sender, int key, int holdMs)> OnKeyPressed;
  std::function<void(TVoxLCDButtons* sender, int key)> OnKeyUp;
  std::function<void(TVoxLCDButtons* sender, int key)> OnKeyDown;
  // The time source of press and hold times; tests put their own.
  Clock Now;

  TVoxBitmap KeyMap;

 private:
  // Inverts the held key's pixels inside area with XOR $444444: done twice, the
  // picture is exactly as it was.
  void ToggleHighlight(const QRegion& area);
  int HeldMs() const;

  TVoxMimic* control_ = nullptr;
  TIndexPixels keyPixels_;
  std::chrono::steady_clock::time_point pressTime_{};
  int heldKey_ = -1;
  bool active_ = false;
};
