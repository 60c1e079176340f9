#include "protocol/database.h"

#include <gtest/gtest.h>

#include "tests/protocol/model_lines.h"

#include <algorithm>
#include <ostream>
#include <utility>

namespace w830 {

// Also the ports no line carries.
void PrintTo(const Tdata7400& m, std::ostream* os) {
  PrintLinesAndReplyFields(m, os);
  for (std::size_t k = 8; k <= 10; ++k) {
    const auto& p = m.Ports[k];
    *os << "\n  port " << k << ": " << p.Use << "," << p.Baud << "," << p.Parity << "," << p.DataBits << ","
        << p.StopBits << "," << p.Termination << "," << p.Dtr << "," << p.Hardware << "," << p.NetPort << ","
        << p.Timeout << ",\"" << p.DestAddress << "\"";
  }
}

}  // namespace w830

namespace {

using w830::Tdata7400;
using Lines = std::vector<std::string>;

TEST(W830Model, WritesTheDefaultSetCommandsInTheIndicatorsOrder) {
  const Lines want = {
      "IDN\"\"", "ADR0", "IAD1,4000,0,1,0,0,0", "IAD2,6000,0,2,0,0,0", "CWT3000", "WMD1,0", "ENU2", "ICR50",
      "ASF0,0", "LBT0,1", "LBT1,1", "LBT2,1", "LBT3,1", "LBT4,1", "LBT5,1", "MTD1", "PFT\"\"", "AFT\"\"",
      "PST1,\"\"", "PST2,\"\"", "PST3,\"\"", "PST4,\"\"", "PST5,\"\"", "PST6,\"\"", "PRS,1,1,0,0,1,0", "AFT\"\"",
      "ZST0,0,4,0", "FBT1,0", "FBT2,0", "FBT3,0", "RBT1,0", "RBT2,0", "RBT3,0", "RBT4,0", "RBT5,0", "RBT6,0",
      "RBT7,0", "RBT8,0", "BUZ0",
      "ETH1,\"0.0.0.0\",\"255.255.255.255\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0.0.0\",\"\",\"\",\"0.0.0.0\"",
      "BDX0,0,1,0,7,1,0,0,0", "BDX1,0,1,0,7,1,0,0,0", "BDX2,0,1,0,7,1,0,0,0", "BDX3,0,1,0,7,1,0,0,0",
      "BDX4,,,,,,,,,0,0", "BDX5,,,,,,,,,0,0", "BDX6,0,1,0,7,1,0,0,0", "BDX7,0,1,0,7,1,0,0,0",
      "BDX11,0,,,,,,,,0,,\"\"", "BDX12,0,,,,,,,,0,,\"\"", "BDX13,0,,,,,,,,0", "BDX14,0,,,,,,,,0",
      "LIV1,0,1,,0,0,0,1,0,0,0,0", "LIV2,0,1,,0,0,0,1,0,0,0,0", "LIV3,0,1,,0,0,0,1,0,0,0,0",
      "LIV4,0,1,,0,0,0,1,0,0,0,0", "LIV5,0,1,,0,0,0,1,0,0,0,0", "LIV6,0,1,,0,0,0,1,0,0,0,0",
      "LIV7,0,1,,0,0,0,1,0,0,0,0", "LIV8,0,1,,0,0,0,1,0,0,0,0", "LIW0,0,0,0,0,0", "MBS0,0", "AOC0,0,0,0,0,0,0",
      "CLK0,0,0,0,0,0", "CFM0,0", "QAF0,0,0,0", "BRT0", "UNT0,0,0,0"};
  EXPECT_EQ(SetCommands(Tdata7400()), want);
}

// Every field away from its default and inside its loading range.
Tdata7400 EverythingChanged() {
  Tdata7400 m;
  m.WeighMode = 2; m.OperatingMode = 1; m.DecimalPoint = 3; m.FullScale1 = 12345; m.FullScale2 = 23456;
  m.CalWeight = 5000; m.SenseLine = 1; m.Resolution1 = 4; m.Resolution2 = 6; m.HighResolution = true;
  m.TareMax = 777; m.Units = 3; m.Average = 14; m.Jitter = 2; m.SynchFrequency = 60; m.Motion = 15;
  m.ZeroTracking = 7; m.ZeroRange = 1; m.ZeroBand = 99; m.AutoZero = 1; m.InstrumentID = "Line, 7";
  for (int k = 0; k < 6; ++k) m.KeyLock[static_cast<std::size_t>(k)] = k % 2 ? 0 : 2;
  m.SecondaryUnits = 6; m.TertiaryUnits = 5; m.ConversionFactor = 1500; m.ShowLbOz = 1;
  for (std::size_t n = 0; n < 8; ++n) m.RemoteInput[n] = static_cast<int32_t>(n + 14);
  for (std::size_t n = 0; n < 3; ++n) m.FunctionKey[n] = static_cast<int32_t>(n + 12);
  for (std::size_t n = 0; n < 8; ++n) {
    auto& s = m.Setpoints[n];
    s = {static_cast<int32_t>(n + 1), 1, 1, 1, 4, 3, 2, 100 + static_cast<int32_t>(n), 50, -99999};
  }
  m.JogOnTime = 100; m.JogOffTime = 60000; m.JogsInSet = 20; m.MaxJogSets = 20; m.FeederType = 1;
  m.DelayCheck = 60000; m.Dhcp = false; m.IPAddress = "10.1.2.3"; m.NetMask = "255.255.0.0";
  m.Gateway = "10.1.0.1"; m.Dns1 = "10.1.0.2"; m.Dns2 = "10.1.0.3"; m.Dns3 = "10.1.0.4";
  m.MacAddress = "1.2.3.4.5.6"; m.HostName = "scale-7"; m.SearchDomain = "plant.example"; m.BuzzerEnable = true;
  m.Address = 31;
  for (int k = 0; k <= 14; ++k) {
    if (k >= 8 && k <= 10) continue;
    auto& p = m.Ports[static_cast<std::size_t>(k)];
    if (k == 4 || k == 5) {
      p.NetPort = 8000 + k; p.Timeout = 86400;
    } else if (k >= 11) {
      p.Use = 5; p.NetPort = 9000 + k;
      if (k <= 12) p.DestAddress = "10.9.9.9";
    } else {
      p = {{9, 9, 2, 1, 1, 1, 1, 1}, 0, 0, {}};
    }
  }
  for (std::size_t n = 0; n < 6; ++n) m.PrintHeader[n] = "Header " + std::to_string(n + 1);
  m.PrintFormat = "fmt"; m.AutoFormat = "auto"; m.PrintMode = 7; m.AutoType = 5; m.PrintColumns = 20;
  m.PrintRows = 10; m.AutoSource = 3; m.Interlock = 2; m.ModbusPort = 65535; m.ModbusEndian = 1;
  m.AnalogType = 1; m.AnalogSource = 3; m.AnalogZero = 1; m.AnalogSpan = 65535; m.AnalogForce = 2;
  m.AnalogAbsolute = 1; m.AnalogClip = 1; m.ClockHour = 23; m.ClockMinute = 59; m.ClockSecond = 58;
  m.ClockDay = 31; m.ClockMonth = 12; m.ClockYear = 99; m.TimeFormat = 1; m.DateFormat = 5;
  m.MaintEnabled = 1; m.MaintDay = 28; m.MaintMonth = 2; m.MaintYear = 27; m.Brightness = 100;
  return m;
}

TEST(W830Model, SetLinesLoadBackIntoAnEqualModel) {
  ExpectRoundTrip(EverythingChanged());
}

TEST(W830Model, TextsAreWrittenByteForByte) {
  using namespace std::string_literals;
  Tdata7400 m;
  m.InstrumentID = "a\0b\xE9, c"s;
  EXPECT_EQ(SetCommands(m).front(), "IDN\"a\0b\xE9, c\""s);
  Tdata7400 loaded;
  loaded.LoadReplies(SetCommands(m));
  EXPECT_EQ(loaded.InstrumentID, m.InstrumentID);
}

TEST(W830Model, LoadingKeepsWhatALineDoesNotCarryValidly) {
  const auto with = [](auto change) {
    Tdata7400 m;
    change(m);
    return m;
  };
  const struct {
    const char* name;
    Lines lines;
    Tdata7400 want;
  } cases[] = {
      {"IAD1 partial", {"IAD1,5000,2,3"}, with([](Tdata7400& m) { m.FullScale1 = 5000; m.DecimalPoint = 2; m.Resolution1 = 2; })},
      {"IAD2 reads two fields", {"IAD2,7000,3,4,1,9,1"}, with([](Tdata7400& m) { m.FullScale2 = 7000; m.Resolution2 = 3; })},
      {"channel out of range", {"IAD3,1", "LBT6,1"}, Tdata7400()},
      {"port use only", {"BDX2,1"}, with([](Tdata7400& m) { m.Ports[2].Use = 1; })},
      {"unwritten port", {"BDX9,3,6,1,8,2,1,1,1"}, with([](Tdata7400& m) { m.Ports[9] = {{3, 5, 1, 1, 1, 1, 1, 1}, 0, 0, {}}; })},
      {"weigh mode below range", {"WMD0,1"}, with([](Tdata7400& m) { m.OperatingMode = 1; })},
      {"operating mode above range", {"WMD2,5"}, with([](Tdata7400& m) { m.WeighMode = 1; })},
      {"lin point without weight", {"LIC3,50"}, Tdata7400()},
      {"lin point", {"LIC3,50,1200"}, with([](Tdata7400& m) { m.LinPercent[2] = 50; m.LinWeight[2] = 1200; })},
      {"eth dhcp and ip", {"ETH0,\"10.0.0.1\""}, with([](Tdata7400& m) { m.Dhcp = false; m.IPAddress = "10.0.0.1"; })},
      {"eth text first", {"ETH\"x\""}, Tdata7400()},
      {"idn three texts", {"IDN\"abc\",\"12345\",\"1.02\""},
       with([](Tdata7400& m) { m.InstrumentID = "abc"; m.SerialNumber = "12345"; m.SoftwareVersion = "1.02"; })},
      {"idn id only", {"IDN\"abc\""}, with([](Tdata7400& m) { m.InstrumentID = "abc"; })},
      {"idn version too long", {"IDN\"abc\",\"12345\",\"1.02.33\""},
       with([](Tdata7400& m) { m.InstrumentID = "abc"; m.SerialNumber = "12345"; })},
      {"unknown, empty and short lines", {"XYZ1", "", "AD", "adr5", "ADr5"}, Tdata7400()},
      {"maintenance date", {"QAF1,31,12,99"}, with([](Tdata7400& m) { m.MaintEnabled = 1; m.MaintDay = 31; m.MaintMonth = 12; m.MaintYear = 99; })},
      {"maintenance day out of range", {"QAF1,32,12,100"}, with([](Tdata7400& m) { m.MaintEnabled = 1; m.MaintMonth = 12; })},
      {"wfp", {"WFP2222"}, with([](Tdata7400& m) { m.SetWFP(2222); })},
      {"index out of range drops the line",
       {"FBT0,5", "FBT4,5", "RBT0,5", "RBT9,5", "PST0,\"x\"", "PST7,\"x\"", "LIV0,1", "LIV9,1", "LIC0,5,5",
        "LIC11,5,5", "BDX15,1", "BDX-1,1", "LBTx,1"},
       Tdata7400()},
      {"lin percent out of range", {"LIC3,151,1200", "LIC4,10,1000000"}, Tdata7400()},
      {"mnemonics are three exact characters", {"ACl5", "BDX\x01\x01", "IaD1,5000", " ADR5"}, Tdata7400()},
      {"on/off fields refuse anything but 0 and 1", {"ETH2", "BUZ-1", "IAD1,,,,2"}, Tdata7400()},
      {"texts the line format cannot carry back", {"IDN\"a;b\"", "PFT\"x\ry\"", "AFT\"x\ny\""}, Tdata7400()},
      {"network and udp ports",
       {"BDX4,,,,,,,,,502,86401", "BDX11,6,,,,,,,,65535,,\"10.0.0.9\"", "BDX13,5,,,,,,,,65536"},
       with([](Tdata7400& m) {
         m.Ports[4].NetPort = 502; m.Ports[11].NetPort = 65535; m.Ports[11].DestAddress = "10.0.0.9";
         m.Ports[13].Use = 5;
       })},
      {"setpoint fields stored less one", {"LIV2,11,2,,-99999,5,6,2,1,4,3,2"},
       with([](Tdata7400& m) { m.Setpoints[1] = {11, 1, 1, 1, 4, 3, 2, 5, 6, -99999}; })},
      {"setpoint partial", {"LIV8,12,3,9,1000000"}, Tdata7400()},
      {"later line wins", {"ADR5", "ADR6", "ADR32"}, with([](Tdata7400& m) { m.Address = 6; })},
      {"reply-only fields", {"LDN-32000", "LWN32001", "WFP10000"}, with([](Tdata7400& m) { m.DirectZero = -32000; })},
      {"prefixed replies", {"LBT2,0", "PST3,\"hi\"", "PRS,2,3,4,5,2,1"},
       with([](Tdata7400& m) {
         m.KeyLock[2] = 0; m.PrintHeader[2] = "hi"; m.PrintMode = 1; m.AutoType = 2; m.PrintColumns = 4;
         m.PrintRows = 5; m.AutoSource = 1; m.Interlock = 1;
       })},
  };
  for (const auto& c : cases) {
    Tdata7400 m;
    m.LoadReplies(c.lines);
    EXPECT_EQ(m, c.want) << c.name;
  }
}

TEST(W830Model, QueriesAndPrefixesGoTogether) {
  using Pairs = QueryPairs;
  const Pairs base = {
      {"IDN?", "IDN"},    {"ADR?", "ADR"},    {"AOC?", "AOC"},    {"IAD?1", "IAD"},   {"IAD?2", "IAD"},
      {"WMD?", "WMD"},    {"ENU?", "ENU"},    {"ICR?", "ICR"},    {"LBT?0", "LBT0,"}, {"LBT?1", "LBT1,"},
      {"LBT?2", "LBT2,"}, {"LBT?3", "LBT3,"}, {"LBT?4", "LBT4,"}, {"LBT?5", "LBT5,"}, {"MBS?", "MBS"},
      {"MTD?", "MTD"},    {"ZST?", "ZST"},    {"CWT?", "CWT"},    {"LDN?", "LDN"},    {"LWN?", "LWN"},
      {"WFP?", "WFP"},    {"CLK?", "CLK"},    {"CFM?", "CFM"},    {"QAF?", "QAF"},    {"BRT?", "BRT"},
      {"UNT?", "UNT"}};
  const Pairs more = {
      {"ASF?", "ASF"},     {"ETH?", "ETH"},     {"BUZ?", "BUZ"},     {"BDX?0", "BDX"},    {"BDX?1", "BDX"},
      {"BDX?2", "BDX"},    {"BDX?3", "BDX"},    {"BDX?4", "BDX"},    {"BDX?5", "BDX"},    {"BDX?6", "BDX"},
      {"BDX?7", "BDX"},    {"BDX?11", "BDX"},   {"BDX?12", "BDX"},   {"BDX?13", "BDX"},   {"BDX?14", "BDX"},
      {"PFT?", "PFT"},     {"PST?1", "PST1,"},  {"PST?2", "PST2,"},  {"PST?3", "PST3,"},  {"PST?4", "PST4,"},
      {"PST?5", "PST5,"},  {"PST?6", "PST6,"},  {"PRS?", "PRS"},     {"AFT?", "AFT"},     {"FBT?1", "FBT1,"},
      {"FBT?2", "FBT2,"},  {"FBT?3", "FBT3,"},  {"RBT?1", "RBT1,"},  {"RBT?2", "RBT2,"},  {"RBT?3", "RBT3,"},
      {"RBT?4", "RBT4,"},  {"RBT?5", "RBT5,"},  {"RBT?6", "RBT6,"},  {"RBT?7", "RBT7,"},  {"RBT?8", "RBT8,"},
      {"LIC?1", "LIC1,"},  {"LIC?2", "LIC2,"},  {"LIC?3", "LIC3,"},  {"LIC?4", "LIC4,"},  {"LIC?5", "LIC5,"},
      {"LIC?6", "LIC6,"},  {"LIC?7", "LIC7,"},  {"LIC?8", "LIC8,"},  {"LIC?9", "LIC9,"},  {"LIC?10", "LIC10,"},
      {"LIV?1", "LIV"},    {"LIV?2", "LIV"},    {"LIV?3", "LIV"},    {"LIV?4", "LIV"},    {"LIV?5", "LIV"},
      {"LIV?6", "LIV"},    {"LIV?7", "LIV"},    {"LIV?8", "LIV"},    {"LIW?", "LIW"}};
  Pairs all = base;
  all.insert(all.end(), more.begin(), more.end());

  EXPECT_EQ(BuiltQueries<Tdata7400>(false), base);
  EXPECT_EQ(BuiltQueries<Tdata7400>(true), all);
}

// A prefixed reply is a settings line: the indicator's answers to the extended
// queries, behind their prefixes, load as the set commands would.
TEST(W830Model, PrefixedRepliesLoadLikeSetCommands) {
  const Lines replies = {"\"Line 9\",\"SN77\",\"2.10\"", "5", "1,2,3,4,0,1,0", "1,5000,2,3,1,50,1", "2,7000,2,4,1,50,1",
                         "2,1", "3", "60", "0", "1", "2", "0", "1", "2", "1,600", "4", "1,3,2,9", "2500", "-120",
                         "19990", "2222", "12,30,45,6,7,26", "1,3", "1,15,6,27", "80", "1,2,1500,1"};
  const Tdata7400 m = LoadedBaseReplies<Tdata7400>(replies);

  Tdata7400 want;
  want.InstrumentID = "Line 9"; want.SerialNumber = "SN77"; want.SoftwareVersion = "2.10"; want.Address = 5;
  want.AnalogType = 1; want.AnalogSource = 2; want.AnalogZero = 3; want.AnalogSpan = 4; want.AnalogAbsolute = 1;
  want.FullScale1 = 5000; want.DecimalPoint = 2; want.Resolution1 = 2; want.HighResolution = true;
  want.TareMax = 50; want.SenseLine = 1; want.FullScale2 = 7000; want.Resolution2 = 3;
  want.WeighMode = 1; want.OperatingMode = 1; want.Units = 3; want.SynchFrequency = 60;
  want.KeyLock = {0, 1, 2, 0, 1, 2}; want.ModbusEndian = 1; want.ModbusPort = 600; want.Motion = 4;
  want.AutoZero = 1; want.ZeroTracking = 3; want.ZeroRange = 1; want.ZeroBand = 9; want.CalWeight = 2500;
  want.DirectZero = -120; want.DirectSpan = 19990; want.SetWFP(2222);
  want.ClockHour = 12; want.ClockMinute = 30; want.ClockSecond = 45; want.ClockDay = 6; want.ClockMonth = 7;
  want.ClockYear = 26; want.TimeFormat = 1; want.DateFormat = 3; want.MaintEnabled = 1; want.MaintDay = 15;
  want.MaintMonth = 6; want.MaintYear = 27; want.Brightness = 80; want.SecondaryUnits = 1; want.TertiaryUnits = 2;
  want.ConversionFactor = 1500; want.ShowLbOz = 1;
  EXPECT_EQ(m, want);
}

TEST(W830Model, ProtectedCommandsAndTextHelpers) {
  EXPECT_FALSE(Tdata7400::HasProtectedCommands({"ADR1", "PFT\"x\""}));
  EXPECT_TRUE(Tdata7400::HasProtectedCommands({"ADR1", "ICR50"}));
  EXPECT_FALSE(Tdata7400::HasProtectedCommands({}));
  EXPECT_FALSE(Tdata7400::HasProtectedCommands({"IC"}));
  EXPECT_EQ(w830::JoinAddress({"192", "16a8", " 0", "1"}), "192.168.0.1");
  EXPECT_EQ(w830::JoinAddress({"192", "", "0", "1"}), "");
  EXPECT_EQ(w830::JoinAddress({"192", "x", "0", "1"}), "");
  EXPECT_EQ(w830::GetField("192.168.0.1", 2, '.'), "0");
  EXPECT_EQ(w830::GetField("192.168.0.1", 5, '.'), "");
  EXPECT_EQ(w830::GetField("a..b", 1, '.'), "");
  EXPECT_EQ(w830::GetField("a..b", -1, '.'), "a");
  EXPECT_TRUE(w830::IsStorableText("Plant, line 2"));
  for (const char* bad : {"a\"b", "a;b", "a\rb", "a\nb"}) EXPECT_FALSE(w830::IsStorableText(bad)) << bad;
}

TEST(W830Model, ClearSetpointsKeepsAlarmTimingAndReset) {
  Tdata7400 m = EverythingChanged();
  const Tdata7400 before = m;
  m.ClearSetpoints(3, false);
  for (std::size_t n = 0; n < 8; ++n) {
    const auto& s = m.Setpoints[n];
    if (n != 3) {
      EXPECT_EQ(s, before.Setpoints[n]);
      continue;
    }
    EXPECT_EQ(s.Type + s.Source + s.Logic + s.Lock + s.InFlight + s.Hysteresis + s.Target, 0);
    EXPECT_EQ(s.Alarm, before.Setpoints[n].Alarm);
    EXPECT_EQ(s.Timing, before.Setpoints[n].Timing);
    EXPECT_EQ(s.Reset, before.Setpoints[n].Reset);
  }
  m.ClearSetpoints(0, true);
  for (const auto& s : m.Setpoints) EXPECT_EQ(s.Type, 0);
}

}  // namespace
