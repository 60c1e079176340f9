#include "mainwindow/window/reusabledialogs.h"

#include <QStringList>

#include "dialogs/ChartSetup.h"
#include "dialogs/about.h"
#include "dialogs/logdialog.h"
#include "mainwindow/calibration/AbsCal.h"
#include "mainwindow/logging/loginfo.h"
#include "mainwindow/window/viewervariant.h"

QPointer<TFrmTraffic> FrmTraffic;
QPointer<TFrmPasscode> FrmPasscode;

void CreateReusableDialogs(QWidget* owner, const TViewerVariant& variant) {
  QStringList names;
  for (const TLogSignal& signal : LogSignalNames) names << QString::fromLatin1(signal.name);
  FrmLogDialog = new TFrmLogDialog(names, owner);
  FrmTraffic = new TFrmTraffic(owner);
  frmAbout = new TfrmAbout(owner);
  if (variant.CalibrationDialect().absoluteWeighMode) FrmAbsCal = new TFrmAbsCal(owner);
  FrmChartSetup = new TFrmChartSetup(owner);
  FrmPasscode = new TFrmPasscode(owner);
}
