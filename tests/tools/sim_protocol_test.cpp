// The simulated indicator stands in for the hardware in every end-to-end test, so
// its answers must be the indicator's: these guard the protocol it speaks.
#include <gtest/gtest.h>

#include <set>

#include "tools/panel/segments.h"
#include "tools/sim/sim_indicator.h"

namespace {

using sim::Model;
using sim::TSimIndicator;

TEST(SimProtocol, AnswersQueriesAndTakesSetLinesOfTheW830) {
  TSimIndicator ind(Model::W830, 1);
  const struct {
    const char* send;
    const char* reply;
  } steps[] = {
      {"ENU?;", "2\r\n"},
      {"IAD?1;", "1,4000,0,1,0,0,0\r\n"},
      {"LBT?3;", "1\r\n"},
      {"PRS?;", ",1,1,0,0,1,0\r\n"},
      {"PST?2;", "\"\"\r\n"},
      {"BDX?4;", "4,,,,,,,,,0,0\r\n"},
      {"LIC?10;", "0,0\r\n"},
      {"ENU3;", "0\r\n"},
      {"ENU?;", "3\r\n"},
      {"LBT2,0;", "0\r\n"},
      {"LBT?2;", "0\r\n"},
      {"IAD1,5000,2;", "0\r\n"},
      {"IAD?1;", "1,5000,2,1,0,0,0\r\n"},
      {"PST1,\"Line 1\";", "0\r\n"},
      {"PST?1;", "\"Line 1\"\r\n"},
      {"ENU7;", "?\r\n"},
      {"LBT6,1;", "?\r\n"},
      {"IAD?3;", "?\r\n"},
      {"XYZ?;", "?\r\n"},
      {"PST1,\"this header is longer than thirty\";", "?\r\n"},
  };
  for (const auto& s : steps) EXPECT_EQ(ind.Feed(s.send), s.reply) << s.send;
  EXPECT_EQ(ind.Setting("ENU"), "ENU3");
}

TEST(SimProtocol, AnswersOnlyItsOwnAddressAnyAndNotABroadcast) {
  TSimIndicator ind(Model::W830, 5);
  EXPECT_EQ(ind.Feed("S05;ENU?;"), "2\r\n");
  EXPECT_EQ(ind.Feed("S99;ENU?;"), "2\r\n");
  EXPECT_EQ(ind.Feed("S07;ENU?;"), "");
  EXPECT_EQ(ind.Feed("S98;ENU4;"), "");
  EXPECT_EQ(ind.Feed("ENU?;"), "4\r\n");
  EXPECT_EQ(ind.Feed("\x02" "ENU?\x03"), "\x02" "4\x03");
  // Framed commands follow the same address rules as lines.
  EXPECT_EQ(ind.Feed("\x02" "S05;ENU?\x03"), "\x02" "4\x03");
  EXPECT_EQ(ind.Feed("\x02" "S07;ENU?\x03"), "");
  EXPECT_EQ(ind.Feed("S07;\x02" "ENU?\x03"), "");
  EXPECT_EQ(ind.Feed("\x02" "S98;ENU2\x03" "ENU?;"), "2\r\n");
}

TEST(SimProtocol, ProtectedSettingsNeedThePasscode) {
  TSimIndicator ind(Model::W830);
  ind.SetPasscode("1234");
  EXPECT_EQ(ind.Feed("PCD?;"), "1\r\n");
  EXPECT_EQ(ind.Feed("ENU3;"), "?\r\n");
  EXPECT_EQ(ind.Feed("ADR4;"), "0\r\n");  // not protected
  EXPECT_EQ(ind.Feed("PCD999;"), "?\r\n");
  EXPECT_EQ(ind.Feed("PCD1234;"), "0\r\n");
  EXPECT_EQ(ind.Feed("PCD?;"), "0\r\n");
  EXPECT_EQ(ind.Feed("ENU3;"), "0\r\n");
  EXPECT_EQ(ind.Feed("PCD;TDD1;"), "0\r\n0\r\n");
  EXPECT_EQ(ind.Feed("ENU1;"), "?\r\n");
  EXPECT_EQ(ind.Saves(), 1);
}

TEST(SimProtocol, DisplayShowsTheWeightAndFollowsTheKeys) {
  TSimIndicator ind(Model::W830);
  ind.SetWeight(12.0);
  const uint32_t grossKg = (1u << panel::kAnnGross) | (1u << panel::kAnnKg) | (1u << panel::kAnnRange1);
  EXPECT_EQ(ind.Feed("FPL?;"), panel::SegmentString(panel::kW830, "12", grossKg) + "\r\n");
  EXPECT_EQ(ind.Feed("FPL1;"), "");  // zero; the W830 answers no key press
  const uint32_t zero = grossKg | (1u << panel::kAnnZero);
  EXPECT_EQ(ind.Display(), panel::SegmentString(panel::kW830, "0", zero));
  EXPECT_EQ(ind.Feed("FPL5,1;"), "");  // a long press opens a menu
  EXPECT_EQ(ind.Display(), panel::SegmentString(panel::kW830, "FUnC 5", 0));
  EXPECT_EQ(ind.Feed("FPL7;"), "");

  TSimIndicator w840(Model::W840);
  EXPECT_EQ(w840.Display().size(), 20u);
  EXPECT_EQ(w840.Feed("FPL5;"), "?\r\n");
  EXPECT_EQ(w840.Feed("FPL6;"), "0\r\n");
  EXPECT_EQ(ind.Display().size(), 32u);
}

TEST(SimProtocol, StreamsWeightSamplesUntilStopped) {
  TSimIndicator ind(Model::W830);
  ind.SetWeight(1.0);
  ind.SetInputs(0x10, 0x01);
  EXPECT_EQ(ind.Feed("ICR10;"), "0\r\n");  // ten readings a second
  EXPECT_EQ(ind.Feed("MSV?;"), "1,0,18\r\n");
  EXPECT_EQ(ind.Feed("COF12;"), "0\r\n");
  EXPECT_EQ(ind.Feed("MSV?,0;"), "1,0,18,1\r\n");
  const auto later = std::chrono::steady_clock::now() + std::chrono::milliseconds(350);
  EXPECT_EQ(ind.TakeStreamed(later), "1,0,18,1\r\n1,0,18,1\r\n1,0,18,1\r\n");
  ind.Feed("STP;");
  EXPECT_FALSE(ind.Streaming());
  EXPECT_EQ(ind.TakeStreamed(later + std::chrono::seconds(1)), "");
}

TEST(SimProtocol, RefusesCof12OnRequestAndStepsItsInputs) {
  TSimIndicator ind(Model::W830);
  ind.SetCof12Supported(false);
  EXPECT_EQ(ind.Feed("COF12;"), "?\r\n");
  EXPECT_EQ(ind.Feed("COF11;"), "0\r\n");
  ind.SetCof12Supported(true);
  EXPECT_EQ(ind.Feed("COF12;"), "0\r\n");
  ind.SetStepInputs(0.01);
  std::set<std::string> words;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (words.size() < 3 && std::chrono::steady_clock::now() < until) {
    const std::string reply = ind.Feed("MSV?;");
    words.insert(reply.substr(reply.find(',', reply.find(',') + 1)));
  }
  EXPECT_GE(words.size(), 3u);
}

TEST(SimProtocol, KeepsTheWireLogInOrder) {
  TSimIndicator ind(Model::W830);
  ind.Feed("S98;STP;S99;EN");
  ind.Feed("U?;FPL?;");
  EXPECT_EQ(ind.WireLog(), "S98;STP;S99;ENU?;FPL?;");
  EXPECT_EQ(ind.Commands(), (std::vector<std::string>{"S98", "STP", "S99", "ENU?", "FPL?"}));
  const auto record = ind.Record();
  ASSERT_EQ(record.size(), 5u);
  EXPECT_EQ(record[3].command, "ENU?");
  for (std::size_t i = 1; i < record.size(); ++i) EXPECT_LE(record[i - 1].seconds, record[i].seconds);
}

}  // namespace

namespace {

TEST(SimProtocol, CalibrationReportsBusyThenDoneOrItsError) {
  TSimIndicator ind(sim::Model::W830);
  ind.SetCalibrationBusyPolls(2);
  EXPECT_EQ(ind.Feed("LDN;"), "0\r\n");
  EXPECT_EQ(ind.Feed("LDN?;"), "0,1\r\n");
  EXPECT_EQ(ind.Feed("LDN?;"), "0,1\r\n");
  EXPECT_EQ(ind.Feed("LDN?;"), "0,0\r\n");
  ind.SetCalibrationError(104);
  EXPECT_EQ(ind.Feed("LWN12345;"), "0\r\n");
  EXPECT_EQ(ind.Feed("LWN?;LWN?;LWN?;"), "12345,1\r\n12345,1\r\n12345,104\r\n");
  EXPECT_EQ(ind.Feed("LWN40000;"), "?\r\n");
  EXPECT_EQ(ind.Calibrations(), 2);

  // Points are reported in sixteenths of a count; a tiny one still reads as set.
  EXPECT_EQ(ind.Feed("LIC3,2000;LIC?3;"), "0\r\n50,32000\r\n");
  EXPECT_EQ(ind.Feed("LIC4,10;LIC?4;"), "0\r\n1,160\r\n");
  EXPECT_EQ(ind.Feed("LIC4,70000;"), "?\r\n");
  EXPECT_EQ(ind.Feed("LIC3;LIC?3;"), "0\r\n0,0\r\n");
  // A block ends with the 16-bit sum of its number and its other words.
  const std::string block = ind.Feed("BCA?2;");
  ASSERT_EQ(block.substr(0, 2), "2,");
  EXPECT_EQ(ind.Feed("BCA" + block.substr(0, block.size() - 2) + ";"), "0\r\n");
  EXPECT_EQ(ind.Feed("BCA2,CAFE,CB00;BCA?2;"), "0\r\n2,CAFE,CB00\r\n");
  EXPECT_EQ(ind.Feed("BCA2,CAFE,CB01;BCA2,CAFEX,CB00;BCA2;"), "?\r\n?\r\n?\r\n");
  EXPECT_EQ(ind.Feed("BCA?5;BCA9,1;"), "?\r\n?\r\n");
  ind.SetUnreadableCalBlock(3);
  EXPECT_EQ(ind.Feed("BCA?3;"), "?\r\n");
}

TEST(SimProtocol, CalibrationStatusesCanBeScripted) {
  TSimIndicator ind(sim::Model::W830);
  ind.SetCalibrationStatuses({1, 0, 50, 101});
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(ind.Feed("LDN;"), "0\r\n");
    EXPECT_EQ(ind.Feed("LDN?;LDN?;LDN?;LDN?;LDN?;"), "0,1\r\n0,0\r\n0,50\r\n0,101\r\n0,101\r\n");
  }
}

}  // namespace

namespace {

TEST(SimProtocol, AnswersQueriesAndTakesSetLinesOfTheW840) {
  TSimIndicator ind(sim::Model::W840, 1);
  const struct {
    const char* send;
    const char* reply;
  } steps[] = {
      {"IAD?1;", "1,4000,0,1,0,0\r\n"},
      {"RBT?0;", "0\r\n"},
      {"BDX?5;", "5,,,,,,,,,2222\r\n"},
      {"LIV?1;", "1,0,1,1,0,0,0,1,0,0\r\n"},
      {"LDW?1;", "0\r\n"},
      {"LWT?1;", "20000\r\n"},
      {"WFP?;", "1\r\n"},
      {"WMD4,1;", "0\r\n"},
      {"WMD?;", "4,1\r\n"},
      {"LWT?;", "20000\r\n"},  // in Direct: the span's mV/V value, not a status
      {"ENU5;", "?\r\n"},
      {"LBT?5;", "?\r\n"},
      {"CLK?;", "?\r\n"},
      {"BDX7,1;", "?\r\n"},
      {"LDW;", "0\r\n"},
      {"VAL?;", "12346\r\n"},
      {"LDW12345;", "0\r\n"},
      {"LDW?1;", "12345\r\n"},
      {"LDW?;", "12345\r\n"},
      {"ESR?;", "00A0\r\n"},
      {"WMD1,0;", "0\r\n"},
  };
  for (const auto& s : steps) EXPECT_EQ(ind.Feed(s.send), s.reply) << s.send;
  // The calibration blocks carry the direct zero and span (12345 and 20000).
  EXPECT_EQ(ind.Feed("BCA?0;").substr(0, 17), "0,1000,3039,4E20,");
  ind.SetCalibrationBusyPolls(1);
  ind.SetCalibrationError(105);
  ind.Feed("LWT;");
  EXPECT_EQ(ind.Feed("LWT?;LWT?;"), "1\r\n105\r\n");
}

}  // namespace
