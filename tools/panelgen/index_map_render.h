#pragma once
// Rasterises outlines into a VB2 index map: each pixel records which outline
// covers it, or the index count where none does.
#include <QByteArray>
#include <QPainterPath>
#include <QRectF>
#include <QSize>
#include <vector>

namespace panelgen {

struct IndexedOutline {
  int index;
  QPainterPath outline;  // in picture pixels
};

// The map of the picture area `area` at `size` cells, with indexCount indices.
// Outlines are filled without antialiasing, so no pixel gets a blend of two.
QByteArray RenderIndexMap(const std::vector<IndexedOutline>& outlines, const QRectF& area, QSize size,
                          int indexCount);

}  // namespace panelgen
