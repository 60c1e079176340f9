#pragma once
// The front panel as the main window puts it on a page: the background picture
// stretched over the control, the live LCD in its rectangle, and (when a key map
// is named) clickable keys.
//
// Wiring: create it on the page, set the LCD rectangle, LCD().OnColor and the
// three file paths, bind Buttons().OnKeyPressed, then feed LCD().SetSegmentsHex
// and call PaintLCD. The picture is laid out again a moment after the last resize,
// so a window drag reads the files once, not at every step.
#include <QString>
#include <QTimer>
#include <functional>

#include "mimic/voxButton2.h"
#include "mimic/voxMimic2.h"
#include "mimic/voxlcd2.h"

class TVoxMimicDisp : public TVoxMimic {
  Q_OBJECT

 public:
  // How long resizes must pause before the picture is laid out again.
  static constexpr int kResizeSettleMs = 40;

  explicit TVoxMimicDisp(QWidget* parent = nullptr);

  TVoxLCD& LCD() { return lcd_; }
  TVoxLCDButtons& Buttons() { return buttons_; }

  const QString& BackgroundFile() const { return backgroundFile_; }
  const QString& LCDFile() const { return lcdFile_; }
  const QString& KeyFile() const { return keyFile_; }
  // Each change lays the picture out again (after the settle time).
  void SetBackgroundFile(const QString& path);
  void SetLCDFile(const QString& path);
  void SetKeyFile(const QString& path);

  // Lays the picture out now at the control's size: draws the background, loads
  // the LCD map, captures the picture under the LCD, loads the key map and paints
  // the LCD. A file that cannot be used is reported once (posted, never from
  // inside this call) and leaves the LCD and the keys inactive.
  void Reload();
  // Redraws the LCD from its segment states, when the LCD is active, and shows
  // at once the part that changed (nothing when no segment did).
  void PaintLCD() override;

  bool LCDActive() const { return lcdActive_; }
  // A layout is waiting for resizes to settle.
  bool ReloadPending() const { return reloadTimer_.isActive(); }

 protected:
  void LayoutChanged() override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void LoadBackground();
  // Draws the LCD into the canvas; returns the part of the canvas it wrote.
  QRegion DrawLCD();
  // Shows a load error unless it is the one shown last (until a load succeeds).
  void Report(const QString& text);
  void PostError(const QString& text);
  // The key events run the main window's code: nothing it throws may leave a
  // mouse handler.
  void RunKeyHandler(const std::function<void()>& action);

  TVoxLCD lcd_;
  TVoxLCDButtons buttons_;
  QString backgroundFile_;
  QString lcdFile_;
  QString keyFile_;
  QTimer reloadTimer_;
  QString lastReported_;
  bool lcdActive_ = false;
};
