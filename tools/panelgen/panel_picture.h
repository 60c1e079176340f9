#pragma once
// The background picture of a front panel: housing, LCD glass with faint unlit
// segments, labelled keys, maker and model.
#include <QImage>

#include "tools/panelgen/panel_design.h"

namespace panelgen {

QImage DrawPanelPicture(const PanelDesign& design);

}  // namespace panelgen
