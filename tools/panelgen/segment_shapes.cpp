#include "tools/panelgen/segment_shapes.h"

#include <QFont>
#include <QTransform>

namespace panelgen {
namespace {

constexpr double kSlant = 0.09;      // digits lean right, as on a real glass
constexpr double kThickness = 17;
constexpr double kGap = 3;

// A bar with pointed ends from a to b (horizontal or vertical), shortened by the gap.
QPainterPath Bar(QPointF a, QPointF b) {
  const double t = kThickness / 2;
  QPolygonF p;
  if (a.y() == b.y()) {
    const double x1 = a.x() + kGap, x2 = b.x() - kGap, y = a.y();
    p << QPointF(x1, y) << QPointF(x1 + t, y - t) << QPointF(x2 - t, y - t) << QPointF(x2, y)
      << QPointF(x2 - t, y + t) << QPointF(x1 + t, y + t);
  } else {
    const double y1 = a.y() + kGap, y2 = b.y() - kGap, x = a.x();
    p << QPointF(x, y1) << QPointF(x + t, y1 + t) << QPointF(x + t, y2 - t) << QPointF(x, y2)
      << QPointF(x - t, y2 - t) << QPointF(x - t, y1 + t);
  }
  QPainterPath path;
  path.addPolygon(p);
  path.closeSubpath();
  return path;
}

struct DigitBox {
  double left, top, width, height;
};

// The bars of one character with their offsets in the layout; a split bar gives
// its two halves the two offsets.
void AddCharacter(const panel::Layout& layout, int position, const DigitBox& box, std::vector<SegmentShape>& out) {
  const double x0 = box.left, x1 = box.left + box.width;
  const double y0 = box.top, ym = box.top + box.height / 2, y1 = box.top + box.height;
  QTransform lean;
  lean.translate(kSlant * y1, 0);
  lean.shear(-kSlant, 0);
  const int base = position * layout.indicesPerChar;
  const auto add = [&](const std::array<int, 2>& offsets, QPointF a, QPointF b) {
    if (offsets[0] == offsets[1]) {
      out.push_back({base + offsets[0], lean.map(Bar(a, b))});
      return;
    }
    const QPointF mid = (a + b) / 2;
    out.push_back({base + offsets[0], lean.map(Bar(a, mid))});
    out.push_back({base + offsets[1], lean.map(Bar(mid, b))});
  };
  add(layout.a, {x0, y0}, {x1, y0});
  add(layout.b, {x1, y0}, {x1, ym});
  add(layout.c, {x1, ym}, {x1, y1});
  add(layout.d, {x0, y1}, {x1, y1});
  add(layout.e, {x0, ym}, {x0, y1});
  add(layout.f, {x0, y0}, {x0, ym});
  add(layout.g, {x0, ym}, {x1, ym});
  QPainterPath point;
  point.addEllipse(QPointF(x1 + kThickness * 1.3, y1 - kThickness * 0.4), kThickness * 0.6, kThickness * 0.6);
  out.push_back({base + layout.point, lean.map(point)});
}

}  // namespace

std::vector<AnnunciatorPlace> AnnunciatorPlaces(const PanelDesign& design) {
  const QRectF w = design.lcdWindow;
  const double row = w.top() + 36;
  const double units = w.right() - 112;
  return {
      {panel::kAnnZero, "\u2192" "0" "\u2190", {w.left() + 22, row}, 24},
      {panel::kAnnMotion, "MOTION", {w.left() + 110, row}, 20},
      {panel::kAnnNet, "NET", {w.left() + 225, row}, 20},
      {panel::kAnnGross, "GROSS", {w.left() + 295, row}, 20},
      {panel::kAnnTare, "TARE", {w.left() + 395, row}, 20},
      {panel::kAnnHold, "HOLD", {w.left() + 480, row}, 20},
      {panel::kAnnRange1, "R1", {w.left() + 570, row}, 20},
      {panel::kAnnRange2, "R2", {w.left() + 620, row}, 20},
      {panel::kAnnKg, "kg", {units, w.top() + 95}, 34},
      {panel::kAnnLb, "lb", {units, w.top() + 140}, 34},
      {panel::kAnnG, "g", {units, w.top() + 185}, 34},
      {panel::kAnnT, "t", {units + 50, w.top() + 185}, 34},
  };
}

std::vector<SegmentShape> SegmentShapes(const PanelDesign& design) {
  std::vector<SegmentShape> out;
  const QRectF w = design.lcdWindow;
  const double pitch = 116, digitWidth = 80, top = w.top() + 62, height = 150;
  for (int i = 0; i < panel::kCharacters; ++i)
    AddCharacter(*design.layout, i, {w.left() + 44 + pitch * i, top, digitWidth, height}, out);
  for (const AnnunciatorPlace& a : AnnunciatorPlaces(design)) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(static_cast<int>(a.pixelSize));
    font.setBold(true);
    QPainterPath label;
    label.addText(a.baseline, font, QString::fromUtf8(a.label));
    out.push_back({design.layout->annunciatorBase + a.which, label});
  }
  return out;
}

}  // namespace panelgen
