// Draws each program's front panel into the output folder: the background
// picture as .BMP and .JPG, and the LCD and key index maps, named after the
// program as the viewers look for them ("<program>lcd.VB2", "<program>key.VB2").
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <cstdio>

#include "tools/panelgen/index_map_render.h"
#include "tools/panelgen/panel_design.h"
#include "tools/panelgen/panel_picture.h"
#include "tools/panelgen/segment_shapes.h"

namespace {

bool Save(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    std::fprintf(stderr, "panelgen: cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
    return false;
  }
  return true;
}

bool SavePicture(const QString& path, const QImage& picture, const char* format) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    std::fprintf(stderr, "panelgen: cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
    return false;
  }
  QImageWriter writer(&file, format);
  writer.setQuality(92);
  if (!writer.write(picture) || !file.commit()) {
    std::fprintf(stderr, "panelgen: cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
    return false;
  }
  return true;
}

bool Generate(const panelgen::PanelDesign& d, const QString& dir) {
  using panelgen::IndexedOutline;
  const QImage picture = panelgen::DrawPanelPicture(d);
  std::vector<IndexedOutline> segments;
  for (const auto& s : panelgen::SegmentShapes(d)) segments.push_back({s.segment, s.outline});
  std::vector<IndexedOutline> keys;
  for (std::size_t i = 0; i < d.keys.size(); ++i) {
    QPainterPath cap;
    cap.addRoundedRect(d.keys[i].cap, 18, 18);
    keys.push_back({static_cast<int>(i), cap});
  }
  const QSize lcdCells = d.lcdMapArea.size().toSize();
  const QString base = dir + QLatin1Char('/') + d.program;
  return SavePicture(base + "panel.BMP", picture, "bmp") && SavePicture(base + "panel.JPG", picture, "jpeg") &&
         Save(base + "lcd.VB2", panelgen::RenderIndexMap(segments, d.lcdMapArea, lcdCells, d.layout->segments)) &&
         Save(base + "key.VB2", panelgen::RenderIndexMap(keys, QRectF(QPointF(0, 0), QSizeF(d.picture)), d.picture,
                                                          static_cast<int>(d.keys.size())));
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: panelgen <output folder>\n");
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[1]);
  return Generate(panelgen::W830Design(), dir) && Generate(panelgen::W840Design(), dir) ? 0 : 1;
}
