#include "mainwindow/window/statustextpanel.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

TStatusTextPanel::TStatusTextPanel(QWidget* parent) : QWidget(parent) {
  // Every pixel is the panel's own: the status bar under it is never painted first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TStatusTextPanel::SetText(const QString& text) {
  if (text == text_) return;
  const QRect changed = ChangedPart(text_, text);
  text_ = text;
  composed_ = false;
  update(changed);
}

int TStatusTextPanel::Advance(const QString& text, qsizetype count) {
  int x = 0;
  for (qsizetype k = 0; k < count && x < line_.width(); ++k) x += Character(text[k].unicode()).width();
  return x;
}

// From the first character that differs to the last one; where the characters
// after it move, to the end of the longer line. The whole panel while the line
// is not laid out at the panel's size. The line's own pixel ratio is the one to
// count in: a new screen ratio repaints the whole window anyway.
QRect TStatusTextPanel::ChangedPart(const QString& from, const QString& to) {
  const qreal ratio = line_.devicePixelRatio();
  if (line_.isNull() || line_.size() != (QSizeF(size()) * ratio).toSize()) return rect();
  qsizetype first = 0;
  while (first < from.size() && first < to.size() && from[first] == to[first]) ++first;
  qsizetype fromEnd = from.size();
  qsizetype toEnd = to.size();
  while (fromEnd > first && toEnd > first && from[fromEnd - 1] == to[toEnd - 1]) {
    --fromEnd;
    --toEnd;
  }
  const int left = Advance(to, first);
  int right = Advance(to, toEnd);
  if (Advance(from, fromEnd) != right) right = std::max(Advance(from, from.size()), Advance(to, to.size()));
  const int x = static_cast<int>(std::floor(left / ratio));
  return QRect(x, 0, static_cast<int>(std::ceil(right / ratio)) - x, height());
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
  uchar* const line = line_.bits();
  const auto lineStride = static_cast<std::size_t>(line_.bytesPerLine());
  std::size_t x = 0;
  const auto width = static_cast<std::size_t>(line_.width());
  for (const QChar c : text_) {
    if (x >= width) break;
    const QImage& character = Character(c.unicode());
    const uchar* from = character.constBits();
    const auto stride = static_cast<std::size_t>(character.bytesPerLine());
    const std::size_t bytes = std::min(static_cast<std::size_t>(character.width()), width - x) * sizeof(QRgb);
    uchar* to = line + x * sizeof(QRgb);
    for (int row = 0; row < line_.height(); ++row, from += stride, to += lineStride) std::memcpy(to, from, bytes);
    x += static_cast<std::size_t>(character.width());
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
