#pragma once
// The dialogs made once when the program starts and reused, in the order the
// program makes them after its main window: log set-up, settings transfer, About,
// the W840's absolute mV/V calibration, chart set-up, passcode. Each is reached
// through its global (FrmLogDialog, FrmTraffic, frmAbout, FrmAbsCal, FrmChartSetup,
// FrmPasscode) and lives as long as owner.
#include <QPointer>

#include "dialogs/passcode.h"
#include "dialogs/trafficdlg.h"

class QWidget;
class TViewerVariant;

// Empty again once their owner has gone.
extern QPointer<TFrmTraffic> FrmTraffic;
extern QPointer<TFrmPasscode> FrmPasscode;

void CreateReusableDialogs(QWidget* owner, const TViewerVariant& variant);
