#pragma once
// The W830's settings report, line by line.
#include <QStringList>

#include "mainwindow/report/settingsreport.h"
#include "protocol/database.h"

namespace w830 {

// Fills lines (cleared first) with the report of model. Boxes and controls are
// looked up in sources by the settings pages' names.
void SettingsReport(const Tdata7400& model, const TReportSources& sources, QChar decimalChar, QStringList& lines);

}  // namespace w830
