#include "mainwindow/reusabledialogs.h"

#include <QStringList>

#include "dialogs/ChartSetup.h"
#include "dialogs/about.h"
#include "dialogs/logdialog.h"
#include "mainwindow/loginfo.h"

void CreateReusableDialogs(QWidget* owner) {
  QStringList names;
  for (const TLogSignal& signal : LogSignalNames) names << QString::fromLatin1(signal.name);
  FrmLogDialog = new TFrmLogDialog(names, owner);
  frmAbout = new TfrmAbout(owner);
  FrmChartSetup = new TFrmChartSetup(owner);
}
