// The W830 main window: the whole picture is its LCD, a key sends its number,
// and a thread polls.
#include "mainwindow/logging/chartinputs.h"
#include "mainwindow/report/reportsources.h"
#include "mainwindow/report/settingsreport_w830.h"
#include "mainwindow/settings/settingspages.h"
#include "mainwindow/window/programicon.h"
#include "mainwindow/window/viewervariant.h"
#include "mainwindow/wire/threadpoller.h"
#include "protocol/database.h"

namespace w830 {
namespace {

class TW830 final : public TViewerVariant {
 public:
  TViewerModel Model() const override { return TViewerModel::W830; }
  QString Title() const override { return QStringLiteral("Velmacor W830 Viewer"); }
  QIcon Icon() const override { return ProgramIcon(QStringLiteral("W830_830")); }
  QRect LcdRect() const override { return {0, 0, 1000, 1000}; }
  std::string DisplayFill(bool allOn, int segmentCount) const override {
    return std::string(static_cast<std::size_t>(std::max(segmentCount / 4, 0)), allOn ? 'F' : '0');
  }
  std::string KeyCommand(int key, bool longPress) const override {
    return "FPL" + std::to_string(key + 1) + (longPress ? ",1" : "");
  }
  TReplyHandler WfpReply() const override { return ::WfpReply; }
  bool SavesBeforeLocking() const override { return false; }
  bool KeepsPollModeOffline() const override { return false; }
  std::unique_ptr<TSettingsModel> MakeModel() const override { return std::make_unique<Tdata7400>(); }
  TSettingsPagesCore* MakePages(QWidget* parent) const override { return new TSettingsPages(parent); }
  std::unique_ptr<TPoller> MakePoller(TPoller::THost& host) const override {
    return std::make_unique<TThreadPoller>(host);
  }
  TChartInputs ChartInputs(const TSettingsModel& model) const override {
    return ChartInputsOf(model, {"-", "g", "kg", "lb", "t", "oz", "usr"});
  }
  const TCalibrationDialect& CalibrationDialect() const override { return w830::CalibrationDialect(); }
  // Every serial port is named from the full list of functions, whichever tab the
  // serial page shows.
  void SettingsReport(const TSettingsModel& model, const std::vector<const QWidget*>& roots, QChar decimalChar,
                      QStringList& lines) const override {
    const TControlReportSources sources(roots, {{QStringLiteral("cbSerialUse"), TSettingsPages::SerialFunctionNames()}});
    w830::SettingsReport(dynamic_cast<const Tdata7400&>(model), sources, decimalChar, lines);
  }
};

}  // namespace

const TViewerVariant& Variant() {
  static const TW830 variant;
  return variant;
}

}  // namespace w830
