#pragma once
// The outline of every LCD segment, in picture pixels, under the shared segment
// numbering: the picture draws them faintly, the LCD map records them exactly.
#include <QPainterPath>
#include <vector>

#include "tools/panelgen/panel_design.h"

namespace panelgen {

struct SegmentShape {
  int segment;
  QPainterPath outline;
};

std::vector<SegmentShape> SegmentShapes(const PanelDesign& design);

// Where each annunciator's label sits on the glass (the label is its segment).
struct AnnunciatorPlace {
  panel::Annunciator which;
  const char* label;
  QPointF baseline;
  double pixelSize;
};
std::vector<AnnunciatorPlace> AnnunciatorPlaces(const PanelDesign& design);

}  // namespace panelgen
