#pragma once
// The dialogs made once when the program starts and reused, in the order the
// program makes them after its main window: log set-up, About, chart set-up. Each
// is reached through its global (FrmLogDialog, frmAbout, FrmChartSetup) and lives
// as long as owner.
class QWidget;

void CreateReusableDialogs(QWidget* owner);
