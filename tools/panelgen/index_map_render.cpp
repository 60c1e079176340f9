#include "tools/panelgen/index_map_render.h"

#include <QImage>
#include <QPainter>
#include <cstdint>

namespace panelgen {
namespace {

constexpr QRgb kNothing = 0xFFFFFFFFu;

QRgb Code(int index) { return qRgb(0, (index >> 8) & 0xFF, index & 0xFF); }

void PutInt32(QByteArray& out, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int shift = 0; shift < 32; shift += 8) out.append(static_cast<char>((u >> shift) & 0xFF));
}

}  // namespace

QByteArray RenderIndexMap(const std::vector<IndexedOutline>& outlines, const QRectF& area, QSize size,
                          int indexCount) {
  QImage codes(size, QImage::Format_RGB32);
  codes.fill(kNothing);
  {
    QPainter p(&codes);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.scale(size.width() / area.width(), size.height() / area.height());
    p.translate(-area.topLeft());
    p.setPen(Qt::NoPen);
    for (const IndexedOutline& o : outlines) p.fillPath(o.outline, QColor::fromRgb(Code(o.index)));
  }
  QByteArray out;
  out.reserve(12 + 2 * size.width() * size.height());
  PutInt32(out, size.width());
  PutInt32(out, size.height());
  PutInt32(out, indexCount);
  for (int x = 0; x < size.width(); ++x) {
    for (int y = 0; y < size.height(); ++y) {
      const QRgb c = codes.pixel(x, y);
      const int index = c == kNothing ? indexCount : (qGreen(c) << 8) | qBlue(c);
      out.append(static_cast<char>(index & 0xFF));
      out.append(static_cast<char>((index >> 8) & 0xFF));
    }
  }
  return out;
}

}  // namespace panelgen
