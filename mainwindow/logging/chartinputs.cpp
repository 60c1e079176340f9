#include "mainwindow/logging/chartinputs.h"

#include "protocol/settingsmodel.h"

namespace {

// Weigh modes whose second range sets the weight axis; Single and the W840's
// Direct take the first.
constexpr int kDualRange = 1;
constexpr int kDualInterval = 2;

}  // namespace

TChartInputs ChartInputsOf(const TSettingsModel& model, const QStringList& unitNames) {
  TChartInputs in;
  in.decimals = model.DecimalPoint;
  in.highResolution = model.HighResolution;
  in.secondRangeScale = model.WeighMode == kDualRange || model.WeighMode == kDualInterval;
  in.fullScale1 = model.FullScale1;
  in.fullScale2 = model.FullScale2;
  in.unitsText = unitNames.value(model.Units);
  in.updateRate = model.SynchFrequency;
  return in;
}
