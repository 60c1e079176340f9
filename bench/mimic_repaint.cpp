// The cost of showing a new display poll on the Display page's front panel at
// 1000 x 465 pixels, with the generated W830 panel:
// - plain repaint: apply a segment state string that changes every digit and show it
//   (the LCD paints the part that changed itself);
// - unchanged repaint: the same segment state string again, as a steady weight sends;
// - rescale: the LCD drawn at a changed size, which re-reads and rescales its map;
// - resize: the whole layout a resize costs (picture, both maps, LCD, repaint).
#include <benchmark/benchmark.h>

#include <memory>

#include "mimic/voxMimicDisp.h"
#include "tools/panel/segments.h"

namespace {

const QSize kPage(1000, 465);

std::unique_ptr<TVoxMimicDisp> DisplayMimic(const char* picture) {
  auto mimic = std::make_unique<TVoxMimicDisp>();
  mimic->resize(kPage);
  mimic->LCD().OnColor = 0x0000FFD0;
  mimic->SetBackgroundFile(QStringLiteral(VIEWER_PANEL_DIR "/W830_830") + picture);
  mimic->SetLCDFile(QStringLiteral(VIEWER_PANEL_DIR "/W830_830lcd.VB2"));
  mimic->SetKeyFile(QStringLiteral(VIEWER_PANEL_DIR "/W830_830key.VB2"));
  mimic->show();
  mimic->Reload();
  return mimic;
}

// Two weights that differ in every digit, so each poll changes the picture.
const std::string kWeights[2] = {
    panel::SegmentString(panel::kW830, "12.345", 1u << panel::kAnnKg | 1u << panel::kAnnGross),
    panel::SegmentString(panel::kW830, "-67.890", 1u << panel::kAnnKg | 1u << panel::kAnnNet),
};

void BM_PlainRepaint(benchmark::State& state) {
  auto mimic = DisplayMimic("panel.BMP");
  if (!mimic->LCDActive()) state.SkipWithError("panel files missing");
  int poll = 0;
  for (auto _ : state) {
    mimic->LCD().SetSegmentsHex(kWeights[poll++ & 1]);
    mimic->PaintLCD();
  }
}
BENCHMARK(BM_PlainRepaint)->Unit(benchmark::kMicrosecond);

void BM_UnchangedRepaint(benchmark::State& state) {
  auto mimic = DisplayMimic("panel.BMP");
  if (!mimic->LCDActive()) state.SkipWithError("panel files missing");
  for (auto _ : state) {
    mimic->LCD().SetSegmentsHex(kWeights[0]);
    mimic->PaintLCD();
  }
}
BENCHMARK(BM_UnchangedRepaint)->Unit(benchmark::kMicrosecond);

void BM_RescaleRepaint(benchmark::State& state) {
  auto mimic = DisplayMimic("panel.BMP");
  if (!mimic->LCDActive()) state.SkipWithError("panel files missing");
  int poll = 0;
  for (auto _ : state) {
    // The LCD drawn one pixel narrower, then back: each draw rescales the map.
    const int width = kPage.width() - (poll & 1);
    mimic->LCD().SetSegmentsHex(kWeights[poll++ & 1]);
    mimic->LCD().Draw(0, 0, mimic->Canvas(), kPage.height(), width);
    mimic->repaint();
  }
}
BENCHMARK(BM_RescaleRepaint)->Unit(benchmark::kMillisecond);

void BM_ResizeLayout(benchmark::State& state) {
  const char* picture = state.range(0) == 0 ? "panel.BMP" : "panel.JPG";
  state.SetLabel(picture);
  auto mimic = DisplayMimic(picture);
  if (!mimic->LCDActive()) state.SkipWithError("panel files missing");
  int step = 0;
  for (auto _ : state) {
    mimic->resize(kPage - QSize(step & 1, step & 1));
    mimic->Reload();
    mimic->LCD().SetSegmentsHex(kWeights[step++ & 1]);
    mimic->PaintLCD();
    mimic->repaint();
  }
}
BENCHMARK(BM_ResizeLayout)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
