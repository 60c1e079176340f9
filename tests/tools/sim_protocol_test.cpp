// The simulated indicator answers as the viewers expect the real one to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/sim/sim_indicator.h"

namespace {

using sim::Model;
using sim::TSimIndicator;

struct TExchange {
  const char* sent;
  const char* reply;  // without CR LF; "" = no reply at all
};

void ExpectExchanges(TSimIndicator& indicator, const std::vector<TExchange>& table) {
  for (const auto& row : table) {
    const std::string expected = *row.reply ? std::string(row.reply) + "\r\n" : "";
    EXPECT_EQ(indicator.Feed(row.sent), expected) << "sent " << row.sent;
  }
}

TEST(SimIndicatorW830, AnswersQueriesInTheFormTheLoaderExpects) {
  TSimIndicator indicator(Model::W830, 1);
  ExpectExchanges(indicator, {
      {"IDN?;", "\"\",\"830001\",\"1.00\""},
      {"ADR?;", "1"},
      {"AOC?;", "0,0,0,0,0,0,0"},
      {"IAD?1;", "1,4000,0,1,0,0,0"},
      {"IAD?2;", "2,6000,0,2,0,0,0"},
      {"WMD?;", "1,0"},
      {"ENU?;", "2"},
      {"ICR?;", "50"},
      {"LBT?0;", "1"},
      {"LBT?5;", "1"},
      {"MBS?;", "0,0"},
      {"MTD?;", "1"},
      {"ZST?;", "0,0,4,0"},
      {"CWT?;", "3000"},
      {"LDN?;", "0,0"},
      {"LWN?;", "20000,0"},
      {"WFP?;", "0"},
      {"CLK?;", "0,0,0,0,0,0"},
      {"CFM?;", "0,0"},
      {"QAF?;", "0,0,0,0"},
      {"BRT?;", "0"},
      {"UNT?;", "0,0,0,0"},
      {"ASF?;", "0,0"},
      {"ETH?;", "1,\"0.0.0.0\",\"255.255.255.255\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0.0.0\",\"\",\"\",\"0.0.0.0\""},
      {"BUZ?;", "0"},
      {"BDX?0;", "0,0,1,0,7,1,0,0,0"},
      {"BDX?4;", "4,,,,,,,,,0,0"},
      {"BDX?11;", "11,0,,,,,,,,0,,\"\""},
      {"BDX?13;", "13,0,,,,,,,,0"},
      {"PFT?;", "\"\""},
      {"PST?6;", "\"\""},
      {"PRS?;", ",1,1,0,0,1,0"},
      {"AFT?;", "\"\""},
      {"FBT?3;", "0"},
      {"RBT?8;", "0"},
      {"LIC?10;", "0,0"},
      {"LIV?1;", "1,0,1,,0,0,0,1,0,0,0,0"},
      {"LIW?;", "0,0,0,0,0,0"},
      {"BDX?8;", "?"},
      {"LBT?6;", "?"},
      {"XYZ?;", "?"},
  });
}

TEST(SimIndicatorW830, SetLinesRoundTripAndOutOfRangeIsRefused) {
  TSimIndicator indicator(Model::W830, 1);
  ExpectExchanges(indicator, {
      {"IDN\"Scale 7\";", "0"},
      {"IDN?;", "\"Scale 7\",\"830001\",\"1.00\""},
      {"IAD1,5000,2,3,1,10,1;", "0"},
      {"IAD?1;", "1,5000,2,3,1,10,1"},
      {"PRS,2,3,4,5,2,1;", "0"},
      {"PRS?;", ",2,3,4,5,2,1"},
      {"BDX4,,,,,,,,,8000,30;", "0"},
      {"BDX?4;", "4,,,,,,,,,8000,30"},
      {"PST2,\"Line, two\";", "0"},
      {"PST?2;", "\"Line, two\""},
      {"LIV3,2,2,,-500,10,20,2,1,4,3,2;", "0"},
      {"LIV?3;", "3,2,2,,-500,10,20,2,1,4,3,2"},
      {"LBT3,0;", "0"},
      {"LBT?3;", "0"},
      {"ENU7;", "?"},
      {"ENU?;", "2"},
      {"IAD1,5000,6,3,1,10,1;", "?"},
      {"BDX4,1,,,,,,,,8000,30;", "?"},
      {"PST1,\"" "0123456789012345678901234567890" "\";", "?"},
      {"WFP3;", "?"},
      {"IDN\"a\",\"b\",\"c\";", "?"},
      {"ZZZ1;", "?"},
  });
  EXPECT_EQ(indicator.Setting("IAD1"), "IAD1,5000,2,3,1,10,1");
  EXPECT_EQ(indicator.Setting("ADR"), "ADR1");
}

TEST(SimIndicatorW840, AnswersQueriesAndSetsOfItsOwnModel) {
  TSimIndicator indicator(Model::W840, 3);
  ExpectExchanges(indicator, {
      {"IDN?;", "\"\",\"840001\",\"1.00\""},
      {"ADR?;", "3"},
      {"IAD?1;", "1,4000,0,1,0,0"},
      {"WMD?;", "1,0"},
      {"WMD4,1;", "0"},
      {"WMD?;", "4,1"},
      {"ENU5;", "?"},
      {"LBT?4;", "1"},
      {"LBT?5;", "?"},
      {"LDW?1;", "0"},
      {"LWT?1;", "20000"},
      {"WFP?;", "1"},
      {"ETH?;", "1,\"0.0.0.0\",\"255.255.255.255\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0.0.0\",\"\""},
      {"BDX?1;", "1,0,1,0,7,1,0,0,0"},
      {"BDX?5;", "5,,,,,,,,,2222"},
      {"BDX?6;", "6,,,,,,,,,2223"},
      {"BDX?0;", "?"},
      {"PRS?;", ",1,1,0,0,1"},
      {"RBT?0;", "0"},
      {"RBT0,21;", "0"},
      {"RBT?0;", "21"},
      {"RBT0,22;", "?"},
      {"LIV?1;", "1,0,1,1,0,0,0,1,0,0"},
      {"CLK?;", "?"},
      {"LDN?;", "?"},
      {"ESR?;", "0"},
  });
}

TEST(SimIndicatorAddress, PrefixSelectsTheUnitAndBroadcastGetsNoReply) {
  TSimIndicator indicator(Model::W830, 5);
  ExpectExchanges(indicator, {
      {"S05;ADR?;", "5"},
      {"S99;ADR?;", "5"},
      {"S07;ADR?;", ""},
      {"S07;ENU3;", ""},
      {"S98;ENU4;", ""},
      {"ENU?;", "4"},
      {"S98;STP;", ""},
      {"\x02S05;ADR?\x03", "5"},
      {"\x02IAD?2\x03", "2,6000,0,2,0,0,0"},
      {"ADR9;", "0"},
      {"S09;ADR?;", "9"},
  });
  EXPECT_EQ(indicator.Commands(), (std::vector<std::string>{
      "S05", "ADR?", "S99", "ADR?", "S07", "ADR?", "S07", "ENU3", "S98", "ENU4", "ENU?", "S98", "STP",
      "S05", "ADR?", "IAD?2", "ADR9", "S09", "ADR?"}));
}

TEST(SimIndicatorAddress, CommandSplitOverSeveralFeedsIsOneCommand) {
  TSimIndicator indicator(Model::W830, 1);
  EXPECT_EQ(indicator.Feed("EN"), "");
  EXPECT_EQ(indicator.Feed("U?"), "");
  EXPECT_EQ(indicator.Feed(";"), "2\r\n");
  EXPECT_EQ(indicator.WireLog(), "ENU?;");
  indicator.ClearLog();
  EXPECT_TRUE(indicator.Commands().empty());
}

TEST(SimIndicatorPasscode, ProtectedSetLinesNeedThePasscode) {
  TSimIndicator indicator(Model::W830, 1);
  indicator.SetPasscode("1234");
  ExpectExchanges(indicator, {
      {"PCD?;", "1"},
      {"ENU3;", "?"},
      {"CWT2000;", "?"},
      {"ADR4;", "0"},
      {"PCD999;", "?"},
      {"PCD?;", "1"},
      {"PCD1234;", "0"},
      {"PCD?;", "0"},
      {"ENU3;", "0"},
      {"TDD1;", "0"},
      {"PCD;", "0"},
      {"PCD?;", "1"},
      {"ZST1,0,4,0;", "?"},
  });
  EXPECT_EQ(indicator.SaveCount(), 1);
  indicator.SetPasscode("");
  ExpectExchanges(indicator, {{"PCD?;", "0"}, {"ZST1,0,4,0;", "0"}});
}

TEST(SimIndicatorDisplay, KeysChangeWhatTheDisplayShows) {
  TSimIndicator indicator(Model::W830, 1);
  indicator.SetWeight(12.0);
  EXPECT_EQ(indicator.DisplayText(), "12");
  const std::string loaded = indicator.Feed("FPL?;");
  EXPECT_EQ(loaded.size(), 34u);
  EXPECT_EQ(indicator.Feed("FPL1;"), "0\r\n");  // zero
  EXPECT_EQ(indicator.DisplayText(), "0");
  EXPECT_NE(indicator.Feed("FPL?;"), loaded);
  indicator.SetWeight(20.0);
  indicator.Feed("FPL2;");  // tare
  indicator.SetWeight(25.0);
  EXPECT_EQ(indicator.DisplayText(), "5");
  indicator.Feed("FPL3;");  // gross
  EXPECT_EQ(indicator.DisplayText(), "13");
  indicator.Feed("FPL4,1;");  // hold: menu
  EXPECT_EQ(indicator.DisplayText(), "F  1");
  indicator.Feed("FPL4;");
  EXPECT_EQ(indicator.DisplayText(), "F  2");
  indicator.Feed("FPL4,1;");
  EXPECT_EQ(indicator.DisplayText(), "13");
  EXPECT_EQ(indicator.Feed("FPL7;"), "?\r\n");
}

TEST(SimIndicatorDisplay, SegmentStringLengthAndDashesFollowTheModel) {
  TSimIndicator w830(Model::W830, 1);
  TSimIndicator w840(Model::W840, 1);
  EXPECT_EQ(w830.DisplaySegments().size(), 32u);
  EXPECT_EQ(w840.DisplaySegments().size(), 20u);
  w830.SetWeight(-1.5);
  w830.Feed("IAD1,4000,1,1,0,0,0;");
  EXPECT_EQ(w830.DisplayText(), "-1.5");
  EXPECT_EQ(w840.Feed("FPL5;"), "?\r\n");
  EXPECT_EQ(w840.Feed("FPL6;"), "0\r\n");
}

TEST(SimIndicatorWeight, SampleCarriesWeightDecimalsAndStatusWords) {
  TSimIndicator indicator(Model::W830, 1);
  indicator.Feed("IAD1,4000,2,1,0,0,0;");
  indicator.SetWeight(1.25);
  EXPECT_EQ(indicator.Feed("S01;MSV?;"), "125,2,2\r\n");
  indicator.SetWeight(0);
  EXPECT_EQ(indicator.Feed("MSV?;"), "0,2,258\r\n");
  EXPECT_EQ(indicator.Feed("COF12;"), "0\r\n");
  EXPECT_EQ(indicator.Feed("MSV?;"), "0,2,258,0\r\n");
  EXPECT_EQ(indicator.Feed("COF3;"), "?\r\n");
}

TEST(SimIndicatorWeight, RampMovesWithTheClockAndSetsMotion) {
  TSimIndicator indicator(Model::W830, 1);
  double now = 0;
  indicator.SetClock([&] { return now; });
  sim::TSignal ramp;
  ramp.shape = sim::TSignal::Ramp;
  ramp.level = 10;
  ramp.rate = 4;
  indicator.SetSignal(ramp);
  EXPECT_EQ(indicator.Feed("MSV?;"), "10,0,0\r\n");
  now = 2.5;
  EXPECT_EQ(indicator.Feed("MSV?;"), "20,0,0\r\n");
  sim::TSignal steps;
  steps.shape = sim::TSignal::Steps;
  steps.amplitude = 100;
  steps.period = 1;
  indicator.SetSignal(steps);
  now = 3.7;
  EXPECT_EQ(indicator.Feed("MSV?;"), "100,0,0\r\n");
  now = 4.2;
  EXPECT_EQ(indicator.Feed("MSV?;"), "100,0,2\r\n");
}

TEST(SimIndicatorStreaming, SamplesFlowAtTheFilterRateUntilStop) {
  TSimIndicator indicator(Model::W830, 1);
  double now = 100;
  indicator.SetClock([&] { return now; });
  indicator.Feed("ICR10;");
  indicator.SetWeight(7);
  EXPECT_EQ(indicator.Feed("MSV?,0;"), "7,0,2\r\n");
  EXPECT_EQ(indicator.TakeOutput(), "");
  now += 0.1;
  EXPECT_EQ(indicator.TakeOutput(), "7,0,2\r\n");
  now += 0.35;
  EXPECT_EQ(indicator.TakeOutput(), "7,0,2\r\n7,0,2\r\n7,0,2\r\n");
  EXPECT_EQ(indicator.Feed("S98;STP;"), "");
  now += 1;
  EXPECT_EQ(indicator.TakeOutput(), "");
}

TEST(SimIndicatorCalibration, ZeroReportsBusyThenDone) {
  TSimIndicator indicator(Model::W830, 1);
  indicator.SetCalibrationBusyPolls(2);
  indicator.SetWeight(100);  // 100 of 4000 counts: 500 in 1/10000 mV/V
  ExpectExchanges(indicator, {
      {"LDN;", "0"},
      {"LDN?;", "0,1"},
      {"LDN?;", "0,1"},
      {"LDN?;", "500,0"},
      {"LDN?;", "500,0"},
      {"VAL?;", "500"},
      {"MSV?;", "0,0,258"},
  });
  // Span: 1000 counts on the scale read as the calibration weight 2000.
  indicator.SetWeight(1100);
  ExpectExchanges(indicator, {
      {"CWT2000;", "0"},
      {"LWN;", "0"},
      {"LWN?;", "20000,1"},
      {"LWN?;", "20000,1"},
      {"LWN?;", "10500,0"},
      {"MSV?;", "2000,0,2"},
  });
}

TEST(SimIndicatorCalibration, ScriptedAndMeasuredErrorsEndInTheirCode) {
  TSimIndicator w840(Model::W840, 1);
  w840.SetCalibrationBusyPolls(1);
  w840.ScriptCalibrationError(105);
  ExpectExchanges(w840, {{"LDW;", "0"}, {"LDW?;", "1"}, {"LDW?;", "105"}, {"ESR?;", "105"},
                         {"LDW12345;", "0"}, {"LDW?;", "0"}, {"LDW?1;", "12345"}, {"LDW40000;", "?"}});
  TSimIndicator w830(Model::W830, 1);
  w830.SetCalibrationBusyPolls(0);
  w830.SetWeight(7000);  // beyond 3 mV/V
  ExpectExchanges(w830, {{"LDN;", "0"}, {"LDN?;", "0,101"}});
}

TEST(SimIndicatorCalibration, LinearisationPointsAndBackupBlocks) {
  TSimIndicator indicator(Model::W830, 1);
  ExpectExchanges(indicator, {
      {"LIC3,2000;", "0"},
      {"LIC?3;", "50,32000"},
      {"LIC3;", "0"},
      {"LIC?3;", "0,0"},
      {"LIC11,5;", "?"},
      {"LIC2,1000;", "0"},
      {"BCA?1;", "1,0,0,25,16000,0,0,0,0,0,0"},
      {"BCA?0;", "0,0,20000"},
      {"BCA0,100,19000;", "0"},
      {"LDN?;", "100,0"},
      {"BCA?3;", "3,1000"},
      {"BCA1,0,0;", "?"},
      {"BCA?5;", "?"},
  });
  const std::string block = indicator.Feed("BCA?1;");
  ASSERT_GE(block.size(), 2u);
  EXPECT_EQ(indicator.Feed("LIC2;"), "0\r\n");
  EXPECT_EQ(indicator.Feed("BCA" + block.substr(0, block.size() - 2) + ";"), "0\r\n");
  EXPECT_EQ(indicator.Setting("LIC2"), "LIC2,25,16000");
}

}  // namespace
