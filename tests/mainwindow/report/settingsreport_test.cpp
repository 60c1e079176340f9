// The W830 settings report's conditional lines and its fallbacks, built from a
// model and a few item lists (the whole report is the settings files' golden text).
#include "mainwindow/report/settingsreport_w830.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class TFakeSources final : public TReportSources {
 public:
  QStringList Items(const QString& box) const override {
    static const std::map<QString, QStringList> lists = {
        {"CBxWeighMode", {"Single", "Dual Range", "Dual Interval"}},
        {"CBxSetpType", {"Off", "On", "Over"}},
    };
    const auto it = lists.find(box);
    return it == lists.end() ? QStringList() : it->second;
  }
  QString Text(const QString& control) const override { return control; }
};

QStringList Report(const w830::Tdata7400& model, QChar decimalChar = u'.') {
  QStringList lines;
  w830::SettingsReport(model, TFakeSources(), decimalChar, lines);
  return lines;
}

QStringList LinesStartingWith(const QStringList& lines, const QString& start) {
  QStringList found;
  for (const QString& line : lines)
    if (line.startsWith(start)) found << line;
  return found;
}

struct TRangeCase {
  const char* name;
  int32_t weighMode, decimals, fullScale1, resolution1;
  QChar decimalChar;
  QStringList lines;
};

void PrintTo(const TRangeCase& c, std::ostream* os) { *os << c.name; }

class ReportRangeTest : public ::testing::TestWithParam<TRangeCase> {};

TEST_P(ReportRangeTest, ShowsTheSecondRangeOnlyInTheDualModes) {
  const TRangeCase& c = GetParam();
  w830::Tdata7400 model;
  model.WeighMode = c.weighMode;
  model.DecimalPoint = c.decimals;
  model.FullScale1 = c.fullScale1;
  model.Resolution1 = c.resolution1;
  model.FullScale2 = 6000;
  model.Resolution2 = 3;
  const QStringList lines = Report(model, c.decimalChar);
  EXPECT_EQ(LinesStartingWith(lines, "  Max1 ") + LinesStartingWith(lines, "  Max2 "), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportRangeTest,
    ::testing::Values(
        TRangeCase{"Single", 0, 1, 3000, 2, u'.', {"  Max1 = 300.0, e1 = 0.5"}},
        TRangeCase{"DualRange", 1, 1, 3000, 2, u',', {"  Max1 = 300,0, e1 = 0,5", "  Max2 = 600,0, e2 = 1,0"}},
        TRangeCase{"DualInterval", 2, 0, 3000, 6, u'.', {"  Max1 = 3000, e1 = 100", "  Max2 = 6000, e2 = 10"}},
        // Values no list or table holds print as the numbers they are.
        TRangeCase{"ResolutionPastTheTable", 0, 0, 3000, 7, u'.', {"  Max1 = 3000, e1 = 7"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsReport, SetpointsAreListedByTheirTypeAndAllOffLeavesTheSectionEmpty) {
  w830::Tdata7400 model;
  QStringList lines = Report(model);
  const qsizetype section = lines.indexOf(" --- SETPOINT ---");
  ASSERT_GE(section, 0);
  EXPECT_EQ(lines.mid(section, 3), (QStringList{" --- SETPOINT ---", "", " --- SETPOINT OPTIONS ---"}));

  model.Setpoints[1].Type = 1;
  model.Setpoints[4].Type = 12;  // beyond the types the report knows
  model.Setpoints[6].Type = 2;
  lines = Report(model);
  EXPECT_EQ(LinesStartingWith(lines, "   Setpoint"), (QStringList{"   Setpoint 2:  On", "   Setpoint 7:  Over"}));
  EXPECT_EQ(lines.indexOf("   Setpoint 7:  Over") - lines.indexOf("   Setpoint 2:  On"), 2);
  EXPECT_EQ(lines[lines.indexOf("   Setpoint 7:  Over") + 3], "");
}

TEST(SettingsReport, AValueWithNoItemPrintsAsItsNumber) {
  w830::Tdata7400 model;
  model.WeighMode = -1;
  EXPECT_EQ(LinesStartingWith(Report(model), "  Weighing"), QStringList{"  Weighing Mode: -1"});
}

}  // namespace
