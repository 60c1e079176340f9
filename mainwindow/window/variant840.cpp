// The W840 main window: its LCD sits in a rectangle of the picture and has twenty
// digits, five keys send fixed commands, and the window's timer polls.
#include <array>

#include "mainwindow/logging/chartinputs.h"
#include "mainwindow/report/reportsources.h"
#include "mainwindow/report/settingsreport_w840.h"
#include "mainwindow/settings/settingspages840.h"
#include "mainwindow/window/programicon.h"
#include "mainwindow/window/viewervariant.h"
#include "mainwindow/wire/timerpoller.h"
#include "protocol/database840.h"

namespace w840 {
namespace {

class TW840 final : public TViewerVariant {
 public:
  TViewerModel Model() const override { return TViewerModel::W840; }
  QString Title() const override { return QStringLiteral("Velmacor W840 Viewer"); }
  QIcon Icon() const override { return ProgramIcon(QStringLiteral("W840Viewer")); }
  QRect LcdRect() const override { return {100, 90, 650, 360}; }
  std::string DisplayFill(bool allOn, int) const override { return std::string(20, allOn ? 'F' : '0'); }
  // The W840 has no key 5: the fifth key is its Function key, FPL6.
  std::string KeyCommand(int key, bool longPress) const override {
    static constexpr std::array<const char*, 5> kKeys = {"FPL1", "FPL2", "FPL3", "FPL4", "FPL6"};
    if (key < 0 || key >= static_cast<int>(kKeys.size())) return {};
    return std::string(kKeys[static_cast<std::size_t>(key)]) + (longPress ? ",1" : "");
  }
  TReplyHandler WfpReply() const override { return w840::WfpReply; }
  bool SavesBeforeLocking() const override { return true; }
  bool KeepsPollModeOffline() const override { return true; }
  std::unique_ptr<TSettingsModel> MakeModel() const override { return std::make_unique<Tdata7400>(); }
  TSettingsPagesCore* MakePages(QWidget* parent) const override { return new TSettingsPages(parent); }
  std::unique_ptr<TPoller> MakePoller(TPoller::THost& host) const override {
    return std::make_unique<TTimerPoller>(host);
  }
  TChartInputs ChartInputs(const TSettingsModel& model) const override {
    return ChartInputsOf(model, {"(none)", "g", "kg", "lb", "t"});
  }
  const TCalibrationDialect& CalibrationDialect() const override { return w840::CalibrationDialect(); }
  void SettingsReport(const TSettingsModel& model, const std::vector<const QWidget*>& roots, QChar decimalChar,
                      QStringList& lines) const override {
    w840::SettingsReport(dynamic_cast<const Tdata7400&>(model), TControlReportSources(roots), decimalChar, lines);
  }
};

}  // namespace

const TViewerVariant& Variant() {
  static const TW840 variant;
  return variant;
}

}  // namespace w840
