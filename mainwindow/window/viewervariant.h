#pragma once
// What makes the one main window the W830's or the W840's: its model, title, front
// panel's LCD rectangle and fixed LCD texts, its key commands, its settings model
// and pages, how it polls, the handler of its "WFP?" answer, how it ends a settings
// write, its chart's inputs, its calibration dialect and its settings report.
// Everything else of the window is the same for both programs.
#include <QIcon>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "link/dmViewer.h"
#include "mainwindow/calibration/calibrationdialect.h"
#include "mainwindow/logging/logsession.h"
#include "mainwindow/wire/poller.h"
#include "mainwindow/wire/replyhandlers.h"

class QWidget;
class TSettingsModel;
class TSettingsPagesCore;

class TViewerVariant {
 public:
  virtual ~TViewerVariant() = default;

  // Which indicator: the settings store's defaults and the link's set-up follow it.
  virtual TViewerModel Model() const = 0;
  virtual QString Title() const = 0;
  // The program's icon, on every window of the program and in the About box.
  virtual QIcon Icon() const = 0;
  // The LCD's place on the front panel picture, in thousandths of the picture.
  virtual QRect LcdRect() const = 0;
  // The Display LCD's segment text with every segment off or lit.
  virtual std::string DisplayFill(bool allOn, int segmentCount) const = 0;
  // The command a front-panel key sends, or the empty text for a key without one.
  virtual std::string KeyCommand(int key, bool longPress) const = 0;
  virtual TReplyHandler WfpReply() const = 0;
  // Whether a settings write saves ("TDD1") before it locks the indicator again and
  // when it had nothing to write, besides the save that ends it.
  virtual bool SavesBeforeLocking() const = 0;
  // Whether the page's poll mode outlasts a lost link (else it is reset to none).
  virtual bool KeepsPollModeOffline() const = 0;
  virtual std::unique_ptr<TSettingsModel> MakeModel() const = 0;
  virtual TSettingsPagesCore* MakePages(QWidget* parent) const = 0;
  virtual std::unique_ptr<TPoller> MakePoller(TPoller::THost& host) const = 0;
  // The Log page's axis set-up from the working model.
  virtual TChartInputs ChartInputs(const TSettingsModel& model) const = 0;
  // How the calibration steps speak to this indicator.
  virtual const TCalibrationDialect& CalibrationDialect() const = 0;
  // The printed settings report (lines cleared first), in the words of the boxes
  // and controls found by name under roots.
  virtual void SettingsReport(const TSettingsModel& model, const std::vector<const QWidget*>& roots,
                              QChar decimalChar, QStringList& lines) const = 0;
};

namespace w830 {
const TViewerVariant& Variant();
}
namespace w840 {
const TViewerVariant& Variant();
}
