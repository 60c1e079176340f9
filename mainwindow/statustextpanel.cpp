#include "mainwindow/statustextpanel.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cstring>

TStatusTextPanel::TStatusTextPanel(QWidget* parent) : QWidget(parent) {
  // Every pixel is the panel's own: the status bar under it is never painted first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TStatusTextPanel::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  composed_ = false;
  update();
}

void TStatusTextPanel::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  const QEvent::Type type = event->type();
  if (type == QEvent::FontChange || type == QEvent::PaletteChange || type == QEvent::StyleChange) Restyle();
}

void TStatusTextPanel::Restyle() {
  for (QImage& character : characters_) character = QImage();
  composed_ = false;
  update();
}

// A character's picture is as wide as its advance and as high as the panel, its
// baseline where a label would put it, centred.
const QImage& TStatusTextPanel::Character(char16_t c) {
  QImage& character = characters_[c <= 0xFF ? c : u'?'];
  if (!character.isNull()) return character;
  const QChar shown(c <= 0xFF ? c : u'?');
  const qreal ratio = devicePixelRatioF();
  const QFontMetrics metrics(font());
  const int advance = metrics.horizontalAdvance(shown);
  character = QImage(QSize(qRound(advance * ratio), line_.height()), QImage::Format_RGB32);
  character.setDevicePixelRatio(ratio);
  character.fill(palette().color(backgroundRole()));
  QPainter painter(&character);
  painter.setFont(font());
  painter.setPen(palette().color(foregroundRole()));
  painter.drawText(QPointF(0, (height() - metrics.height()) / 2 + metrics.ascent()), QString(shown));
  return character;
}

void TStatusTextPanel::Compose() {
  line_.fill(palette().color(backgroundRole()));
  const auto bytesPerPixel = sizeof(QRgb);
  int x = 0;
  for (const QChar c : text_) {
    if (x >= line_.width()) break;
    const QImage& character = Character(c.unicode());
    const int width = std::min(character.width(), line_.width() - x);
    for (int row = 0; row < line_.height(); ++row)
      std::memcpy(line_.scanLine(row) + x * bytesPerPixel, character.constScanLine(row), width * bytesPerPixel);
    x += character.width();
  }
  composed_ = true;
}

void TStatusTextPanel::paintEvent(QPaintEvent*) {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = (QSizeF(size()) * ratio).toSize();
  if (line_.size() != pixels || line_.devicePixelRatio() != ratio) {
    // The characters' height and baseline follow the panel's.
    for (QImage& character : characters_) character = QImage();
    line_ = QImage(pixels, QImage::Format_RGB32);
    line_.setDevicePixelRatio(ratio);
    composed_ = false;
  }
  if (!composed_) Compose();
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), line_);
}
