#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "mainwindow/logging/loginfo.h"
#include "mainwindow/logging/weightlogfile.h"
#include "platform/chart/chartmodel.h"
#include "platform/textlines.h"

namespace {

std::vector<std::string> Reload(const std::vector<std::string>& lines) {
  TChartModel chart;
  TLogTraces traces(chart);
  LoadLog(traces, lines);
  std::vector<std::string> saved;
  SaveLog(traces, saved);
  return saved;
}

}  // namespace

// Arbitrary bytes as a weight log file. Whatever they hold, what loads saves as
// lines that load and save again to the very same lines.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> lines = SplitTextLines(std::string(reinterpret_cast<const char*>(data), size));
  const std::vector<std::string> once = Reload(lines);
  if (Reload(once) != once) std::abort();
  return 0;
}
