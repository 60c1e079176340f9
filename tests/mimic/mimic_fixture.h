#pragma once
// A small front panel in a temporary program folder: a background picture, an LCD
// map and a key map, all 40 x 20 pixels, on a mimic of the same size.
//
// The LCD map lights segment 0 on the pixel block x 2..5, y 2..5 and segment 1 on
// x 8..11, y 2..5 (four segments in all). The key map has key 0 on x 20..27,
// y 10..17 and key 1 on x 30..37, y 10..17 (two keys).
#include <QImage>
#include <QTest>
#include <memory>

#include "mimic/voxMimicDisp.h"
#include "tests/mimic/vb2_files.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"

class MimicFixture : public ::testing::Test {
 protected:
  static constexpr int kW = 40, kH = 20;

  // Index map of kW x kH with the cells of `block(x, y)`; `none` elsewhere.
  template <typename Block>
  static QByteArray Map(int indexCount, Block block) {
    std::vector<std::uint16_t> cells;
    for (int x = 0; x < kW; ++x)
      for (int y = 0; y < kH; ++y) cells.push_back(static_cast<std::uint16_t>(block(x, y)));
    return vb2::File(kW, kH, indexCount, cells);
  }

  // A background whose every pixel differs, so a wrong restore shows.
  static QImage Picture() {
    QImage img(kW, kH, QImage::Format_RGB32);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) img.setPixel(x, y, qRgb(x * 6, y * 12, 0x80 + x + y));
    return img;
  }

  void SetUp() override {
    Picture().save(dir.Path("panel.BMP"), "BMP");
    lcdFile = dir.Write("W830_830lcd.VB2", Map(4, [](int x, int y) {
      if (y < 2 || y > 5) return 4;
      if (x >= 2 && x <= 5) return 0;
      if (x >= 8 && x <= 11) return 1;
      return 4;
    }));
    keyFile = dir.Write("W830_830key.VB2", Map(2, [](int x, int y) {
      if (y < 10 || y > 17) return 2;
      if (x >= 20 && x <= 27) return 0;
      if (x >= 30 && x <= 37) return 1;
      return 2;
    }));
    mimic = std::make_unique<TVoxMimicDisp>();
    mimic->resize(kW, kH);
  }

  // Lays the mimic out with the fixture's files and waits for nothing: the caller
  // checks prompts itself.
  void Load(const QString& background = QString(), bool keys = true) {
    mimic->SetBackgroundFile(background.isEmpty() ? dir.Path("panel.BMP") : background);
    mimic->SetLCDFile(lcdFile);
    if (keys) mimic->SetKeyFile(keyFile);
    mimic->Reload();
  }

  QRgb Pixel(int x, int y) const { return mimic->Canvas().pixel(x, y); }

  TScriptedPrompter prompter;
  TTempExeDir dir;
  QString lcdFile;
  QString keyFile;
  std::unique_ptr<TVoxMimicDisp> mimic;
};
