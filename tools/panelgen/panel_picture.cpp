#include "tools/panelgen/panel_picture.h"

#include <QLinearGradient>
#include <QPainter>

#include "tools/panelgen/segment_shapes.h"

namespace panelgen {
namespace {

QFont Font(int pixelSize, bool bold) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

void DrawHousing(QPainter& p, const PanelDesign& d) {
  const QRectF all(QPointF(0, 0), QSizeF(d.picture));
  p.fillRect(all, QColor(0x3a, 0x3d, 0x42));
  QLinearGradient face(0, 0, 0, all.height());
  face.setColorAt(0, QColor(0xd9, 0xdc, 0xe0));
  face.setColorAt(1, QColor(0xb4, 0xb8, 0xbe));
  p.setPen(QPen(QColor(0x55, 0x59, 0x5f), 4));
  p.setBrush(face);
  p.drawRoundedRect(all.adjusted(14, 14, -14, -14), 36, 36);
}

void DrawGlass(QPainter& p, const PanelDesign& d) {
  const QRectF bezel = d.lcdWindow.adjusted(-16, -16, 16, 16);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x2a, 0x2c, 0x30));
  p.drawRoundedRect(bezel, 14, 14);
  p.setBrush(QColor(0x14, 0x1e, 0x18));
  p.drawRect(d.lcdWindow);
  // Unlit segments show faintly through the glass, as on a real display.
  p.setBrush(QColor(0x24, 0x33, 0x2a));
  for (const SegmentShape& s : SegmentShapes(d)) p.drawPath(s.outline);
}

// The viewers highlight a held key by XOR $444444. Cap colours stay below $40 in
// every channel, so the highlight turns them a lighter grey rather than a
// different colour.
void DrawKeys(QPainter& p, const PanelDesign& d) {
  for (const Key& key : d.keys) {
    p.setPen(QPen(QColor(0x1a, 0x1c, 0x20), 3));
    QLinearGradient cap(key.cap.topLeft(), key.cap.bottomLeft());
    cap.setColorAt(0, QColor(0x38, 0x3c, 0x3f));
    cap.setColorAt(1, QColor(0x22, 0x26, 0x2a));
    p.setBrush(cap);
    p.drawRoundedRect(key.cap, 18, 18);
    p.setPen(QColor(0xf2, 0xf4, 0xf6));
    p.setFont(Font(key.label.contains('\n') ? 22 : 26, true));
    p.drawText(key.cap, Qt::AlignCenter, key.label);
  }
}

void DrawMaker(QPainter& p, const PanelDesign& d) {
  const QRectF side(d.lcdWindow.right() + 40, d.lcdWindow.top(), d.picture.width() - d.lcdWindow.right() - 100,
                    d.lcdWindow.height());
  p.setPen(QColor(0x1d, 0x3f, 0x7a));
  p.setFont(Font(38, true));
  p.drawText(side.adjusted(0, 20, 0, 0), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("VELMACOR"));
  p.setPen(QColor(0x2b, 0x2e, 0x33));
  p.setFont(Font(64, true));
  p.drawText(side, Qt::AlignCenter, d.model);
  p.setFont(Font(20, false));
  p.drawText(side.adjusted(0, 0, 0, -20), Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("WEIGHING INDICATOR"));
}

}  // namespace

QImage DrawPanelPicture(const PanelDesign& design) {
  QImage picture(design.picture, QImage::Format_RGB32);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  DrawHousing(p, design);
  DrawGlass(p, design);
  DrawKeys(p, design);
  DrawMaker(p, design);
  return picture;
}

}  // namespace panelgen
