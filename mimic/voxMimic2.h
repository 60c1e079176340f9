#pragma once
// A picture control for the drawn front panel: it shows one canvas picture, and
// places the LCD in a rectangle given in thousandths of its width and height.
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QWidget>

class TVoxMimic : public QWidget {
  Q_OBJECT

 public:
  explicit TVoxMimic(QWidget* parent = nullptr);

  int LCDLeft() const { return lcdLeft_; }
  int LCDTop() const { return lcdTop_; }
  int LCDWidth() const { return lcdWidth_; }
  int LCDHeight() const { return lcdHeight_; }
  void SetLCDLeft(int perMille);
  void SetLCDTop(int perMille);
  void SetLCDWidth(int perMille);
  void SetLCDHeight(int perMille);

  // The LCD rectangle in canvas pixels: width * LCDLeft div 1000 and so on.
  QRect LCDRect() const;

  // Redraws the LCD onto the canvas and shows it.
  virtual void PaintLCD() = 0;

  // The picture the control shows; keys and LCD draw into it.
  QImage& Canvas() { return canvas_; }
  const QImage& Canvas() const { return canvas_; }
  // Shows a changed part of the canvas at once.
  void CanvasChanged(const QRegion& area);
  // A point of the control in canvas pixels (the two differ while a resize is pending).
  QPoint ToCanvas(const QPointF& position) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  // The LCD rectangle changed; the picture has to be laid out again.
  virtual void LayoutChanged() = 0;

  QImage canvas_;

 private:
  int lcdLeft_ = 0;
  int lcdTop_ = 0;
  int lcdWidth_ = 1000;
  int lcdHeight_ = 1000;
};
