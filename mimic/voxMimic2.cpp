#include "mimic/voxMimic2.h"

#include <QPaintEvent>
#include <QPainter>

// The control paints every pixel itself: the page under it is never painted first.
TVoxMimic::TVoxMimic(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(100, 100);
}

void TVoxMimic::SetLCDLeft(int perMille) {
  if (lcdLeft_ == perMille) return;
  lcdLeft_ = perMille;
  LayoutChanged();
}

void TVoxMimic::SetLCDTop(int perMille) {
  if (lcdTop_ == perMille) return;
  lcdTop_ = perMille;
  LayoutChanged();
}

void TVoxMimic::SetLCDWidth(int perMille) {
  if (lcdWidth_ == perMille) return;
  lcdWidth_ = perMille;
  LayoutChanged();
}

void TVoxMimic::SetLCDHeight(int perMille) {
  if (lcdHeight_ == perMille) return;
  lcdHeight_ = perMille;
  LayoutChanged();
}

QRect TVoxMimic::LCDRect() const {
  const qint64 w = canvas_.width();
  const qint64 h = canvas_.height();
  return QRect(static_cast<int>(w * lcdLeft_ / 1000), static_cast<int>(h * lcdTop_ / 1000),
               static_cast<int>(lcdWidth_ * w / 1000), static_cast<int>(lcdHeight_ * h / 1000));
}

void TVoxMimic::CanvasChanged(const QRegion& area) {
  // Painted now rather than at the next coalesced repaint: the display shows a
  // reply as soon as it has arrived.
  if (canvas_.isNull() || canvas_.size() == size()) {
    repaint(area);
    return;
  }
  update();
}

QPoint TVoxMimic::ToCanvas(const QPointF& position) const {
  if (canvas_.isNull() || width() < 1 || height() < 1) return position.toPoint();
  return QPoint(static_cast<int>(position.x() * canvas_.width() / width()),
                static_cast<int>(position.y() * canvas_.height() / height()));
}

void TVoxMimic::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (canvas_.isNull()) {
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    return;
  }
  if (canvas_.size() == size()) {
    for (const QRect& area : event->region()) painter.drawImage(area, canvas_, area);
    return;
  }
  painter.drawImage(rect(), canvas_);
}
