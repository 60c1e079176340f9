#pragma once
// What the Log page's axis set-up takes from the W830 settings model; the W840
// viewer reads its own model into the same form.
#include "mainwindow/logsession.h"

namespace w830 {
class Tdata7400;
}

TChartInputs W830ChartInputs(const w830::Tdata7400& model);
