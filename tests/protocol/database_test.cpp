#include "protocol/database.h"

#include <gtest/gtest.h>

namespace {

using w830::Tdata7400;
using Lines = std::vector<std::string>;

Lines SetCommands(const Tdata7400& m) {
  Lines l;
  m.BuildSetCommands(l);
  return l;
}

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
      p = {9, 9, 2, 1, 1, 1, 1, 1, 0, 0, {}};
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
  const Tdata7400 changed = EverythingChanged();
  Tdata7400 loaded;
  loaded.LoadReplies(SetCommands(changed));
  EXPECT_EQ(SetCommands(loaded), SetCommands(changed));
  EXPECT_EQ(loaded, changed);
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
      {"unwritten port", {"BDX9,3,6,1,8,2,1,1,1"}, with([](Tdata7400& m) { m.Ports[9] = {3, 5, 1, 1, 1, 1, 1, 1, 0, 0, {}}; })},
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
      {"prefixed replies", {"LBT2,0", "PST3,\"hi\"", "PRS,2,3,4,5,2,1"},
       with([](Tdata7400& m) {
         m.KeyLock[2] = 0; m.PrintHeader[2] = "hi"; m.PrintMode = 1; m.AutoType = 2; m.PrintColumns = 4;
         m.PrintRows = 5; m.AutoSource = 1; m.Interlock = 1;
       })},
  };
  for (const auto& c : cases) {
    Tdata7400 m;
    m.LoadReplies(c.lines);
    EXPECT_EQ(SetCommands(m), SetCommands(c.want)) << c.name;
    EXPECT_TRUE(m == c.want) << c.name;
  }
}

TEST(W830Model, QueriesAndPrefixesGoTogether) {
  Tdata7400 m;
  Lines queries, prefixes;
  m.BuildQueries(false, queries, prefixes);
  const Lines base = {"IDN?", "ADR?", "AOC?", "IAD?1", "IAD?2", "WMD?", "ENU?", "ICR?", "LBT?0", "LBT?1",
                      "LBT?2", "LBT?3", "LBT?4", "LBT?5", "MBS?", "MTD?", "ZST?", "CWT?", "LDN?", "LWN?",
                      "WFP?", "CLK?", "CFM?", "QAF?", "BRT?", "UNT?"};
  EXPECT_EQ(queries, base);
  EXPECT_EQ(prefixes[3], "IAD");
  EXPECT_EQ(prefixes[8], "LBT0,");
  m.BuildQueries(true, queries, prefixes);
  ASSERT_EQ(queries.size(), 80u);
  ASSERT_EQ(prefixes.size(), 80u);
  const struct {
    std::size_t i;
    const char* query;
    const char* prefix;
  } picks[] = {{26, "ASF?", "ASF"}, {29, "BDX?0", "BDX"}, {37, "BDX?11", "BDX"}, {42, "PST?1", "PST1,"},
               {48, "PRS?", "PRS"}, {50, "FBT?1", "FBT1,"}, {53, "RBT?1", "RBT1,"}, {61, "LIC?1", "LIC1,"},
               {70, "LIC?10", "LIC10,"}, {71, "LIV?1", "LIV"}, {79, "LIW?", "LIW"}};
  for (const auto& p : picks) {
    EXPECT_EQ(queries[p.i], p.query);
    EXPECT_EQ(prefixes[p.i], p.prefix);
  }
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
