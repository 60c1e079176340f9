#include "protocol/database840.h"

#include <gtest/gtest.h>

#include "tests/protocol/model_lines.h"

namespace w840 {

void PrintTo(const Tdata7400& m, std::ostream* os) { PrintLinesAndReplyFields(m, os); }

}  // namespace w840

namespace {

using w840::Tdata7400;
using Lines = std::vector<std::string>;

Tdata7400 With(void (*change)(Tdata7400&)) {
  Tdata7400 m;
  change(m);
  return m;
}

TEST(W840Model, WritesTheDefaultSetCommandsInTheIndicatorsOrder) {
  const Lines want = {
      "IDN\"\"", "ADR0", "IAD1,4000,0,1,0,0", "IAD2,6000,0,2,0,0", "CWT3000", "WMD1,0", "ENU2", "ICR50", "ASF0,0",
      "LBT0,1", "LBT1,1", "LBT2,1", "LBT3,1", "LBT4,1", "MTD1", "PFT\"\"", "AFT\"\"", "PST1,\"\"", "PST2,\"\"",
      "PST3,\"\"", "PST4,\"\"", "PST5,\"\"", "PST6,\"\"", "PRS,1,1,0,0,1", "AFT\"\"", "ZST0,0,4,0", "RBT0,0",
      "RBT1,0", "RBT2,0", "RBT3,0", "RBT4,0", "RBT5,0", "RBT6,0", "RBT7,0", "RBT8,0", "BUZ0",
      "ETH1,\"0.0.0.0\",\"255.255.255.255\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0.0.0\",\"\"",
      "BDX1,0,1,0,7,1,0,0,0", "BDX2,0,1,0,7,1,0,0,0", "BDX3,0,1,0,7,1,0,0,0", "BDX4,0,1,0,7,1,0,0,0",
      "BDX5,,,,,,,,,2222", "BDX6,,,,,,,,,2223", "LIV1,0,1,1,0,0,0,1,0,0", "LIV2,0,1,1,0,0,0,1,0,0",
      "LIV3,0,1,1,0,0,0,1,0,0", "LIV4,0,1,1,0,0,0,1,0,0", "LIV5,0,1,1,0,0,0,1,0,0", "LIV6,0,1,1,0,0,0,1,0,0",
      "LIV7,0,1,1,0,0,0,1,0,0", "LIV8,0,1,1,0,0,0,1,0,0"};
  EXPECT_EQ(SetCommands(Tdata7400()), want);
}

// Every field that a set line carries away from its default and inside its loading range.
Tdata7400 EverythingChanged() {
  Tdata7400 m;
  m.WeighMode = 3; m.OperatingMode = 1; m.DecimalPoint = 5; m.FullScale1 = 999999; m.FullScale2 = 12;
  m.CalWeight = 1; m.Resolution1 = 6; m.Resolution2 = 0; m.HighResolution = true; m.TareMax = 999999;
  m.Units = 4; m.Average = 14; m.Jitter = 2; m.SynchFrequency = 100; m.Motion = 12; m.ZeroTracking = 12;
  m.ZeroRange = 0; m.ZeroBand = 999999; m.AutoZero = 1; m.InstrumentID = "Bay, 4";
  m.KeyLock = {0, 2, 0, 2, 0};
  for (std::size_t n = 0; n < 9; ++n) m.RemoteInput[n] = static_cast<int32_t>(n + 13);
  for (std::size_t n = 0; n < 8; ++n)
    m.Setpoints[n] = {50 - static_cast<int32_t>(n), 1, 1, 1, 1, 3, 999999, 1 + static_cast<int32_t>(n), -99999};
  m.Dhcp = false; m.IPAddress = "10.4.0.9"; m.NetMask = "255.0.0.0"; m.Gateway = "10.4.0.1";
  m.Dns1 = "10.4.0.2"; m.Dns2 = "10.4.0.3"; m.MacAddress = "0:1:2:3:4:5"; m.HostName = "bay-4";
  m.BuzzerEnable = true; m.Address = 31;
  for (std::size_t k = 0; k < 4; ++k) m.SerialPorts[k] = {7 - static_cast<int32_t>(k), 9, 2, 1, 1, 1, 1, 1};
  m.NetPorts = {0, 65535};
  for (std::size_t n = 0; n < 6; ++n) m.PrintHeader[n] = "Line " + std::to_string(n + 1);
  m.PrintFormat = "p"; m.AutoFormat = "a"; m.PrintMode = 7; m.AutoType = 5; m.PrintColumns = 20;
  m.PrintRows = 10; m.AutoSource = 3;
  return m;
}

TEST(W840Model, SetLinesLoadBackIntoAnEqualModel) {
  ExpectRoundTrip(EverythingChanged());
}

TEST(W840Model, LoadingKeepsWhatALineDoesNotCarryValidly) {
  const struct {
    const char* name;
    Lines lines;
    Tdata7400 want;
  } cases[] = {
      {"direct weigh mode", {"WMD4,1"}, With([](Tdata7400& m) { m.WeighMode = 3; m.OperatingMode = 1; })},
      {"operating mode above range", {"WMD1,2"}, Tdata7400()},
      {"W830 ranges are refused", {"WMD5", "ENU5", "MTD13", "ZST1,13", "LIV1,51", "LIV2,1,1,1,0,0,0,1,0,4"},
       With([](Tdata7400& m) { m.AutoZero = 1; m.Setpoints[1].Type = 1; })},
      {"wfp names the port below", {"WFP3"}, With([](Tdata7400& m) { m.SetWFP(2); })},
      {"wfp 0 is refused", {"WFP3", "WFP0"}, With([](Tdata7400& m) { m.SetWFP(2); })},
      {"wfp above the last port", {"WFP20"}, With([](Tdata7400& m) { m.SetWFP(6); })},
      {"network port needs field 9", {"BDX5,1"}, Tdata7400()},
      {"network port", {"BDX6,,,,,,,,,4001"}, With([](Tdata7400& m) { m.NetPorts[1] = 4001; })},
      {"ports out of range", {"BDX7,1", "BDX0,1"}, Tdata7400()},
      {"serial use up to 7", {"BDX2,7", "BDX3,8"}, With([](Tdata7400& m) { m.SerialPorts[1].Use = 7; })},
      {"function key and remote inputs", {"RBT0,5", "RBT8,21", "RBT9,5", "RBT1,22"},
       With([](Tdata7400& m) { m.RemoteInput[0] = 5; m.RemoteInput[8] = 21; })},
      {"five key locks", {"LBT4,2", "LBT5,0"}, With([](Tdata7400& m) { m.KeyLock[4] = 2; })},
      {"W830-only lines change nothing", {"CLK12,0,0,1,1,20", "LDN100", "LWN100", "FBT1,3", "UNT1,1,1,1"},
       Tdata7400()},
      {"direct calibration", {"LDW-32000", "LWT32001"}, With([](Tdata7400& m) { m.DirectZero = -32000; })},
      {"setpoint direction stored less one", {"LIV3,2,2,2,-5,6,7,2,1,3"},
       With([](Tdata7400& m) { m.Setpoints[2] = {2, 1, 1, 1, 1, 3, 6, 7, -5}; })},
      {"eth without search domain", {"ETH0,\"1.2.3.4\",\"2.2.2.2\",\"3.3.3.3\",\"4.4.4.4\",\"5.5.5.5\",\"a:b:c:d:e:f\",\"w\",\"x\""},
       With([](Tdata7400& m) {
         m.Dhcp = false; m.IPAddress = "1.2.3.4"; m.NetMask = "2.2.2.2"; m.Gateway = "3.3.3.3";
         m.Dns1 = "4.4.4.4"; m.Dns2 = "5.5.5.5"; m.MacAddress = "a:b:c:d:e:f"; m.HostName = "w";
       })},
      {"iad has no sense line", {"IAD1,5000,2,3,1,9,1"},
       With([](Tdata7400& m) {
         m.FullScale1 = 5000; m.DecimalPoint = 2; m.Resolution1 = 2; m.HighResolution = true; m.TareMax = 9;
       })},
      {"print settings without interlock", {"PRS,2,3,4,5,2,1"},
       With([](Tdata7400& m) { m.PrintMode = 1; m.AutoType = 2; m.PrintColumns = 4; m.PrintRows = 5; m.AutoSource = 1; })},
      {"mnemonics are three exact characters", {"ldw5", "LDw5", " ADR5", "AD"}, Tdata7400()},
  };
  for (const auto& c : cases) {
    Tdata7400 m;
    m.LoadReplies(c.lines);
    EXPECT_EQ(m, c.want) << c.name;
  }
}

TEST(W840Model, QueriesAndPrefixesGoTogether) {
  using Pairs = QueryPairs;
  const Pairs base = {{"IDN?", "IDN"},    {"ADR?", "ADR"},    {"IAD?1", "IAD"},   {"IAD?2", "IAD"},   {"WMD?", "WMD"},
                      {"ENU?", "ENU"},    {"ICR?", "ICR"},    {"LBT?0", "LBT0,"}, {"LBT?1", "LBT1,"}, {"LBT?2", "LBT2,"},
                      {"LBT?3", "LBT3,"}, {"LBT?4", "LBT4,"}, {"MTD?", "MTD"},    {"ZST?", "ZST"},    {"CWT?", "CWT"},
                      {"LDW?1", "LDW"},   {"LWT?1", "LWT"},   {"WFP?", "WFP"}};
  const Pairs more = {
      {"ASF?", "ASF"},    {"ETH?", "ETH"},    {"BUZ?", "BUZ"},    {"BDX?1", "BDX"},   {"BDX?2", "BDX"},
      {"BDX?3", "BDX"},   {"BDX?4", "BDX"},   {"BDX?5", "BDX"},   {"BDX?6", "BDX"},   {"PFT?", "PFT"},
      {"PST?1", "PST1,"}, {"PST?2", "PST2,"}, {"PST?3", "PST3,"}, {"PST?4", "PST4,"}, {"PST?5", "PST5,"},
      {"PST?6", "PST6,"}, {"PRS?", "PRS"},    {"AFT?", "AFT"},    {"RBT?0", "RBT0,"}, {"RBT?1", "RBT1,"},
      {"RBT?2", "RBT2,"}, {"RBT?3", "RBT3,"}, {"RBT?4", "RBT4,"}, {"RBT?5", "RBT5,"}, {"RBT?6", "RBT6,"},
      {"RBT?7", "RBT7,"}, {"RBT?8", "RBT8,"}, {"LIC?1", "LIC1,"}, {"LIC?2", "LIC2,"}, {"LIC?3", "LIC3,"},
      {"LIC?4", "LIC4,"}, {"LIC?5", "LIC5,"}, {"LIC?6", "LIC6,"}, {"LIC?7", "LIC7,"}, {"LIC?8", "LIC8,"},
      {"LIC?9", "LIC9,"}, {"LIC?10", "LIC10,"}, {"LIV?1", "LIV"}, {"LIV?2", "LIV"},   {"LIV?3", "LIV"},
      {"LIV?4", "LIV"},   {"LIV?5", "LIV"},   {"LIV?6", "LIV"},   {"LIV?7", "LIV"},   {"LIV?8", "LIV"}};
  Pairs all = base;
  all.insert(all.end(), more.begin(), more.end());

  EXPECT_EQ(BuiltQueries<Tdata7400>(false), base);
  EXPECT_EQ(BuiltQueries<Tdata7400>(true), all);
}

// The indicator's answers to the base queries, behind their prefixes, are settings lines.
TEST(W840Model, PrefixedRepliesLoadLikeSetCommands) {
  const Lines replies = {"\"Bay 9\",\"SN840\",\"1.07\"", "7", "1,5000,2,3,1,50", "2,7000,2,4,1,50", "4,1", "3",
                         "60", "0", "2", "0", "1", "2", "4", "1,3,2,9", "2500", "-120", "19990", "3"};
  const Tdata7400 m = LoadedBaseReplies<Tdata7400>(replies);

  Tdata7400 want;
  want.InstrumentID = "Bay 9"; want.SerialNumber = "SN840"; want.SoftwareVersion = "1.07"; want.Address = 7;
  want.FullScale1 = 5000; want.DecimalPoint = 2; want.Resolution1 = 2; want.HighResolution = true;
  want.TareMax = 50; want.FullScale2 = 7000; want.Resolution2 = 3; want.WeighMode = 3; want.OperatingMode = 1;
  want.Units = 3; want.SynchFrequency = 60; want.KeyLock = {0, 2, 0, 1, 2}; want.Motion = 4; want.AutoZero = 1;
  want.ZeroTracking = 3; want.ZeroRange = 1; want.ZeroBand = 9; want.CalWeight = 2500; want.DirectZero = -120;
  want.DirectSpan = 19990; want.SetWFP(2);
  EXPECT_EQ(m, want);
}

TEST(W840Model, ClearSetpointsKeepsAlarmAndTarget) {
  Tdata7400 m = EverythingChanged();
  const Tdata7400 before = m;
  m.ClearSetpoints(2, false);
  for (std::size_t n = 0; n < 8; ++n) {
    const auto& s = m.Setpoints[n];
    const auto& was = before.Setpoints[n];
    if (n != 2) {
      EXPECT_EQ(s, was);
      continue;
    }
    EXPECT_EQ(s, (w840::TSetpointSettings{0, 0, 0, 0, 0, was.Alarm, 0, 0, was.Target}));
  }
  m.ClearSetpoints(0, true);
  for (const auto& s : m.Setpoints) EXPECT_EQ(s.Type + s.Direction, 0);
  EXPECT_EQ(m.Setpoints[7].Target, -99999);
}

TEST(W840Model, ProtectedCommandsAreTheW830s) {
  EXPECT_TRUE(Tdata7400::HasProtectedCommands({"BUZ1", "LBT4,0"}));
  EXPECT_FALSE(Tdata7400::HasProtectedCommands({"RBT0,1", "BDX5,,,,,,,,,1"}));
}

}  // namespace
