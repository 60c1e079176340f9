#pragma once
// Where everything sits on one program's front panel: the picture's size, the LCD
// window, the part of the picture the LCD map covers, and the keys.
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <vector>

#include "tools/panel/segments.h"

namespace panelgen {

struct Key {
  QString label;
  QRectF cap;  // in picture pixels
};

struct PanelDesign {
  QString program;              // the executable's name, which names the files
  QString model;                // printed on the panel
  const panel::Layout* layout;  // the segment numbering
  QSize picture;
  QRectF lcdWindow;  // the glass, in picture pixels
  // The part of the picture the LCD map covers: the programs scale the map to
  // their LCD rectangle, which is given in thousandths of the picture.
  QRectF lcdMapArea;
  std::vector<Key> keys;  // key index = position in this list
};

// The W830's panel: LCD rectangle the whole picture, six keys (sent as index + 1).
PanelDesign W830Design();
// The W840's panel: LCD rectangle 100, 90, 650, 360 thousandths, five keys.
PanelDesign W840Design();

}  // namespace panelgen
