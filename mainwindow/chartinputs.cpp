#include "mainwindow/chartinputs.h"

#include "protocol/database.h"

namespace {

const char* const kUnits[] = {"-", "g", "kg", "lb", "t", "oz", "usr"};
constexpr int kDualRange = 1;
constexpr int kDualInterval = 2;

}  // namespace

TChartInputs W830ChartInputs(const w830::Tdata7400& model) {
  TChartInputs in;
  in.decimals = model.DecimalPoint;
  in.highResolution = model.HighResolution;
  in.secondRangeScale = model.WeighMode == kDualRange || model.WeighMode == kDualInterval;
  in.fullScale1 = model.FullScale1;
  in.fullScale2 = model.FullScale2;
  const bool known = model.Units >= 0 && model.Units < static_cast<int32_t>(std::size(kUnits));
  in.unitsText = known ? QString::fromLatin1(kUnits[model.Units]) : QString();
  in.updateRate = model.SynchFrequency;
  return in;
}
