// The generated front panels as the programs show them: each model's pictures and
// maps, read from beside the programs, lit by the same segment strings that the
// simulated indicator sends.
//
// With MIMIC_SNAPSHOT_DIR set, the rendered Display pages are also written there
// as PNG pictures (one showing a weight, one with a key held down).
#include <gtest/gtest.h>

#include <QDir>
#include <QTest>
#include <cmath>
#include <memory>

#include "mimic/indexpixels.h"
#include "mimic/voxMimicDisp.h"
#include "tests/support/scripted_prompter.h"
#include "tools/panel/segments.h"

namespace {

struct Model {
  const char* program;
  const panel::Layout* layout;
  QRect lcdPerMille;
  int keys;
  int drawnSegments;  // bars and points of six characters, and the annunciators
};
void PrintTo(const Model& m, std::ostream* os) { *os << m.program; }

const Model kModels[] = {
    {"W830_830", &panel::kW830, QRect(0, 0, 1000, 1000), 6, 6 * 11 + panel::kAnnCount},
    {"W840Viewer", &panel::kW840, QRect(100, 90, 650, 360), 5, 6 * 8 + panel::kAnnCount},
};

QString BinDir() { return QStringLiteral(VIEWER_PANEL_DIR "/"); }

// The Display page's mimic as the main window sets it up, at the given size.
std::unique_ptr<TVoxMimicDisp> DisplayMimic(const Model& m, QSize size, const QString& picture) {
  auto mimic = std::make_unique<TVoxMimicDisp>();
  mimic->resize(size);
  mimic->LCD().OnColor = 0x0000FFD0;
  mimic->SetLCDLeft(m.lcdPerMille.left());
  mimic->SetLCDTop(m.lcdPerMille.top());
  mimic->SetLCDWidth(m.lcdPerMille.width());
  mimic->SetLCDHeight(m.lcdPerMille.height());
  mimic->SetBackgroundFile(BinDir() + m.program + picture);
  mimic->SetLCDFile(BinDir() + m.program + "lcd.VB2");
  mimic->SetKeyFile(BinDir() + m.program + "key.VB2");
  mimic->Reload();
  return mimic;
}

// Every segment that "8.8.8.8.8.8." and all annunciators light.
std::vector<int> AllDrawnSegments(const panel::Layout& layout) {
  const std::string lit = panel::SegmentString(layout, "8.8.8.8.8.8.", (1u << panel::kAnnCount) - 1);
  std::vector<int> out;
  for (int s = 0; s < layout.segments; ++s) {
    const int digit = std::stoi(lit.substr(static_cast<std::size_t>(s / 4), 1), nullptr, 16);
    if ((digit >> (3 - s % 4)) & 1) out.push_back(s);
  }
  return out;
}

bool Unlit(QRgb c) {
  // The glass and its faint unlit segments are dark green-grey.
  return qRed(c) < 0x50 && qGreen(c) < 0x60 && qBlue(c) < 0x50;
}

class PanelAssets : public ::testing::TestWithParam<Model> {
 protected:
  TScriptedPrompter prompter;
};

TEST_P(PanelAssets, MapsHoldTheModelsSegmentsAndKeys) {
  const Model& m = GetParam();
  auto mimic = DisplayMimic(m, QSize(1000, 465), "panel.BMP");
  ASSERT_TRUE(mimic->LCDActive());
  ASSERT_TRUE(mimic->Buttons().Active());
  EXPECT_EQ(mimic->LCD().SegmentCount(), m.layout->segments);
  EXPECT_EQ(mimic->Buttons().KeyCount(), m.keys);
}

TEST_P(PanelAssets, EverySegmentTheIndicatorLightsLiesOnItsPictureOfTheGlass) {
  const Model& m = GetParam();
  auto mimic = DisplayMimic(m, QSize(1000, 465), "panel.BMP");
  ASSERT_TRUE(mimic->LCDActive());
  TIndexPixels pixels;
  pixels.Build(mimic->LCD().Map);
  const QImage& under = mimic->LCD().Background;
  const std::vector<int> drawn = AllDrawnSegments(*m.layout);
  EXPECT_EQ(drawn.size(), static_cast<std::size_t>(m.drawnSegments));
  for (const int s : drawn) {
    const auto own = pixels.Of(s);
    ASSERT_GT(own.size(), 20u) << "segment " << s << " has (almost) no pixels";
    std::size_t onGlass = 0;
    for (const std::uint32_t offset : own)
      if (Unlit(under.pixel(static_cast<int>(offset % static_cast<std::uint32_t>(under.width())),
                            static_cast<int>(offset / static_cast<std::uint32_t>(under.width())))))
        ++onGlass;
    EXPECT_GT(onGlass * 10, own.size() * 9) << "segment " << s << " is drawn off the glass";
  }
}

TEST_P(PanelAssets, KeysRunLeftToRightInIndexOrder) {
  const Model& m = GetParam();
  auto mimic = DisplayMimic(m, QSize(1000, 465), "panel.BMP");
  TIndexPixels pixels;
  pixels.Build(mimic->Buttons().KeyMap);
  double lastCentre = -1;
  for (int k = 0; k < m.keys; ++k) {
    const auto own = pixels.Of(k);
    ASSERT_FALSE(own.empty()) << "key " << k;
    double sum = 0;
    for (const std::uint32_t offset : own) sum += offset % 1000u;
    const double centre = sum / static_cast<double>(own.size());
    EXPECT_GT(centre, lastCentre) << "key " << k;
    lastCentre = centre;
  }
}

TEST_P(PanelAssets, WeightShowsLitAndAHeldKeyShowsHighlighted) {
  const Model& m = GetParam();
  auto mimic = DisplayMimic(m, QSize(1000, 465), "panel.JPG");
  ASSERT_TRUE(mimic->LCDActive());
  mimic->show();
  mimic->LCD().SetSegmentsHex(panel::SegmentString(*m.layout, "12.345", 1u << panel::kAnnKg | 1u << panel::kAnnGross));
  mimic->PaintLCD();
  const QImage weight = mimic->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QRgb lit = qRgb(0xD0, 0xFF, 0x00);
  EXPECT_GT(std::count(reinterpret_cast<const QRgb*>(weight.constBits()),
                       reinterpret_cast<const QRgb*>(weight.constBits()) + weight.width() * weight.height(), lit),
            2000);

  TIndexPixels keys;
  keys.Build(mimic->Buttons().KeyMap);
  const std::uint32_t inKey0 = keys.Of(0)[keys.Of(0).size() / 2];
  const QPoint p(static_cast<int>(inKey0 % 1000u), static_cast<int>(inKey0 / 1000u));
  QTest::mousePress(mimic.get(), Qt::LeftButton, {}, p);
  const QImage held = mimic->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(held.pixel(p), weight.pixel(p) ^ 0x444444u);

  const QByteArray snapshots = qgetenv("MIMIC_SNAPSHOT_DIR");
  if (!snapshots.isEmpty()) {
    const QString dir = QString::fromLocal8Bit(snapshots) + QLatin1Char('/');
    QDir().mkpath(dir);
    EXPECT_TRUE(weight.save(dir + m.program + "-display.png"));
    EXPECT_TRUE(held.save(dir + m.program + "-key-held.png"));
  }
  QTest::mouseRelease(mimic.get(), Qt::LeftButton, {}, p);
}

INSTANTIATE_TEST_SUITE_P(Models, PanelAssets, ::testing::ValuesIn(kModels));

}  // namespace
