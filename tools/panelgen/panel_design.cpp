#include "tools/panelgen/panel_design.h"

namespace panelgen {
namespace {

// The programs keep the front panel at 140:65.
constexpr QSize kPicture(1400, 650);

QRectF PerMille(int left, int top, int width, int height) {
  return QRectF(kPicture.width() * left / 1000.0, kPicture.height() * top / 1000.0,
                kPicture.width() * width / 1000.0, kPicture.height() * height / 1000.0);
}

std::vector<Key> KeyRow(const std::vector<QString>& labels) {
  std::vector<Key> keys;
  const double left = 140, right = 1260, width = 150, top = 392, height = 112;
  const double pitch = labels.size() > 1 ? (right - left - width) / static_cast<double>(labels.size() - 1) : 0;
  for (std::size_t i = 0; i < labels.size(); ++i)
    keys.push_back({labels[i], QRectF(left + pitch * static_cast<double>(i), top, width, height)});
  return keys;
}

PanelDesign Common() {
  PanelDesign d;
  d.picture = kPicture;
  // Both models have the glass where the W840 viewer puts its LCD rectangle.
  d.lcdWindow = PerMille(100, 90, 650, 360);
  return d;
}

}  // namespace

PanelDesign W830Design() {
  PanelDesign d = Common();
  d.program = QStringLiteral("W830_830");
  d.model = QStringLiteral("W830");
  d.layout = &panel::kW830;
  d.lcdMapArea = QRectF(QPointF(0, 0), QSizeF(kPicture));
  d.keys = KeyRow({"ZERO", "TARE", "GROSS\nNET", "PRINT", "FUNC", "ENTER"});
  return d;
}

PanelDesign W840Design() {
  PanelDesign d = Common();
  d.program = QStringLiteral("W840Viewer");
  d.model = QStringLiteral("W840");
  d.layout = &panel::kW840;
  d.lcdMapArea = PerMille(100, 90, 650, 360);
  d.keys = KeyRow({"ZERO", "TARE", "GROSS\nNET", "PRINT", "FUNC"});
  return d;
}

}  // namespace panelgen
