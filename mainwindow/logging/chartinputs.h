#pragma once
// What the Log page's axis set-up takes from a settings model: both indicators
// keep these settings alike, and each names its units with its own list.
#include <QStringList>

#include "mainwindow/logging/logsession.h"

class TSettingsModel;

// unitNames: the model's units by index, as its settings pages list them.
TChartInputs ChartInputsOf(const TSettingsModel& model, const QStringList& unitNames);
