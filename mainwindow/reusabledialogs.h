#pragma once
// The dialogs made once when the program starts and reused, in the order the
// program makes them after its main window: log set-up, About, the W840's absolute
// mV/V calibration, chart set-up. Each is reached through its global
// (FrmLogDialog, frmAbout, FrmAbsCal, FrmChartSetup) and lives as long as owner.
class QWidget;
class TViewerVariant;

void CreateReusableDialogs(QWidget* owner, const TViewerVariant& variant);
