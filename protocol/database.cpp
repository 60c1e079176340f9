#include "protocol/database.h"

#include "protocol/settingsrows.h"

namespace w830 {
namespace {

using namespace settings;
using M = Tdata7400;

std::vector<TSetLine<M>> SetLines() {
  return Join<M>({
      rows::IdentityLines<M>(),
      {{"IAD1,%d,%d,%d,%d,%d,%d",
        [](const M& m, int) {
          return TLineValues{m.FullScale1, m.DecimalPoint, m.Resolution1 + 1, m.HighResolution, m.TareMax, m.SenseLine};
        }},
       {"IAD2,%d,%d,%d,%d,%d,%d",
        [](const M& m, int) {
          return TLineValues{m.FullScale2, m.DecimalPoint, m.Resolution2 + 1, m.HighResolution, m.TareMax, m.SenseLine};
        }}},
      rows::BuildLines<M>(),
      {{"PRS,%d,%d,%d,%d,%d,%d",
        [](const M& m, int) {
          return TLineValues{m.PrintMode + 1, m.AutoType + 1, m.PrintColumns, m.PrintRows, m.AutoSource + 1, m.Interlock};
        }}},
      rows::ZeroLines<M>(),
      {{"FBT%d,%d", [](const M& m, int n) { return TLineValues{n, m.FunctionKey[static_cast<std::size_t>(n - 1)]}; }, 1,
        3}},
      rows::RemoteAndBuzzerLines<M>(),
      {{"ETH%d,\"%s\",\"%s\",\"%s\",\"%s\",\"%s\",\"%s\",\"%s\",\"%s\",\"%s\"",
        [](const M& m, int) {
          return TLineValues{m.Dhcp, m.IPAddress, m.NetMask,  m.Gateway,      m.Dns1,
                             m.Dns2, m.MacAddress, m.HostName, m.SearchDomain, m.Dns3};
        }},
       // Ports 8, 9 and 10 exist in the model but are never written.
       {rows::kSerialPortLine,
        [](const M& m, int k) { return rows::SerialPortValues(k, m.Ports[static_cast<std::size_t>(k)]); }, 0, 3},
       {"BDX%d,,,,,,,,,%d,%d",
        [](const M& m, int k) {
          const TPortSettings& p = m.Ports[static_cast<std::size_t>(k)];
          return TLineValues{k, p.NetPort, p.Timeout};
        },
        4, 5},
       {rows::kSerialPortLine,
        [](const M& m, int k) { return rows::SerialPortValues(k, m.Ports[static_cast<std::size_t>(k)]); }, 6, 7},
       {"BDX%d,%d,,,,,,,,%d,,\"%s\"",
        [](const M& m, int k) {
          const TPortSettings& p = m.Ports[static_cast<std::size_t>(k)];
          return TLineValues{k, p.Use, p.NetPort, p.DestAddress};
        },
        11, 12},
       {"BDX%d,%d,,,,,,,,%d",
        [](const M& m, int k) {
          const TPortSettings& p = m.Ports[static_cast<std::size_t>(k)];
          return TLineValues{k, p.Use, p.NetPort};
        },
        13, 14},
       {"LIV%d,%d,%d,,%d,%d,%d,%d,%d,%d,%d,%d",
        [](const M& m, int n) {
          const TSetpointSettings& s = m.Setpoints[static_cast<std::size_t>(n - 1)];
          return TLineValues{n, s.Type, s.Source + 1, s.Target, s.InFlight, s.Hysteresis, s.Logic + 1, s.Lock, s.Alarm,
                             s.Timing, s.Reset};
        },
        1, 8},
       {"LIW%d,%d,%d,%d,%d,%d",
        [](const M& m, int) {
          return TLineValues{m.JogOnTime, m.JogOffTime, m.JogsInSet, m.MaxJogSets, m.FeederType, m.DelayCheck};
        }},
       {"MBS%d,%d", [](const M& m, int) { return TLineValues{m.ModbusEndian, m.ModbusPort}; }},
       {"AOC%d,%d,%d,%d,%d,%d,%d",
        [](const M& m, int) {
          return TLineValues{m.AnalogType,  m.AnalogSource,   m.AnalogZero, m.AnalogSpan,
                             m.AnalogForce, m.AnalogAbsolute, m.AnalogClip};
        }},
       {"CLK%d,%d,%d,%d,%d,%d",
        [](const M& m, int) {
          return TLineValues{m.ClockHour, m.ClockMinute, m.ClockSecond, m.ClockDay, m.ClockMonth, m.ClockYear};
        }},
       {"CFM%d,%d", [](const M& m, int) { return TLineValues{m.TimeFormat, m.DateFormat}; }},
       {"QAF%d,%d,%d,%d",
        [](const M& m, int) { return TLineValues{m.MaintEnabled, m.MaintDay, m.MaintMonth, m.MaintYear}; }},
       {"BRT%d", [](const M& m, int) { return TLineValues{m.Brightness}; }},
       {"UNT%d,%d,%d,%d",
        [](const M& m, int) { return TLineValues{m.SecondaryUnits, m.TertiaryUnits, m.ConversionFactor, m.ShowLbOz}; }}},
  });
}

// The field counts are those of the replies the loading rules read. The replies
// that the W840 gives shorter (the channel, the print settings, the network, the
// setpoints and the network ports) are taken at the W840's length or longer, as
// the indicator's firmware grows a reply by settings at its end.
std::vector<TQuery> BaseQueries() {
  return {{"IDN", {3}},
          {"ADR", {1}},
          {"AOC", {7}},
          {"IAD", AtLeast(6), "1", "", 0, 0, true},
          {"IAD", AtLeast(6), "2", "", 0, 0, true},
          {"WMD", {2}},
          {"ENU", {1}},
          {"ICR", {1}},
          {"LBT", {1}, "%d", "%d,", 0, 5},
          {"MBS", {2}},
          {"MTD", {1}},
          {"ZST", {4}},
          {"CWT", {1}},
          {"LDN", {2}},  // the direct value and the calibration status
          {"LWN", {2}},
          {"WFP", {1}},
          {"CLK", {6}},
          {"CFM", {2}},
          {"QAF", {4}},
          {"BRT", {1}},
          {"UNT", {4}}};
}

std::vector<TQuery> ExtendedQueries() {
  return {{"ASF", {2}},
          {"ETH", AtLeast(8)},
          {"BUZ", {1}},
          {"BDX", {9}, "%d", "", 0, 3, true},
          {"BDX", AtLeast(10), "%d", "", 4, 5, true},
          {"BDX", {9}, "%d", "", 6, 7, true},
          {"BDX", {12}, "%d", "", 11, 12, true},
          {"BDX", {10}, "%d", "", 13, 14, true},
          {"PFT", {1}},
          {"PST", {1}, "%d", "%d,", 1, 6},
          {"PRS", AtLeast(6)},
          {"AFT", {1}},
          {"FBT", {1}, "%d", "%d,", 1, 3},
          {"RBT", {1}, "%d", "%d,", 1, 8},
          {"LIC", {2}, "%d", "%d,", 1, 10},
          {"LIV", AtLeast(10), "%d", "", 1, 8, true},
          {"LIW", {6}}};
}

void LoadPort(M& m, const TLineLoader& l) {
  const int k = l.Index(0, 14);
  if (k < 0) return;
  TPortSettings& p = m.Ports[static_cast<std::size_t>(k)];
  if (k == 4 || k == 5) {
    l.Int(9, 0, 65535, p.NetPort);
    l.Int(10, 0, 86400, p.Timeout);
  } else if (k == 11 || k == 12) {
    l.Int(1, 0, 5, p.Use);
    l.Int(9, 0, 65535, p.NetPort);
    l.Text(11, 7, 15, p.DestAddress);
  } else if (k == 13 || k == 14) {
    l.Int(1, 0, 5, p.Use);
    l.Int(9, 0, 65535, p.NetPort);
  } else {
    rows::LoadSerialPort<M>(l, p);
  }
}

std::map<TMnemonic, TLoadRule<M>> Loaders() {
  auto loaders = rows::SharedLoaders<M>();
  loaders.insert({
      {"LDN", rows::LoadDirectZero<M>},
      {"LWN", rows::LoadDirectSpan<M>},
      {"BDX", LoadPort},
      {"FBT", [](M& m, const TLineLoader& l) {
         const int key = l.Index(1, 3);
         if (key > 0) l.Int(1, 0, 14, m.FunctionKey[static_cast<std::size_t>(key - 1)]);
       }},
      {"CLK", [](M& m, const TLineLoader& l) {
         l.Int(0, 0, 23, m.ClockHour);
         l.Int(1, 0, 59, m.ClockMinute);
         l.Int(2, 0, 59, m.ClockSecond);
         l.Int(3, 0, 31, m.ClockDay);
         l.Int(4, 1, 12, m.ClockMonth);
         l.Int(5, 0, 99, m.ClockYear);
       }},
      {"CFM", [](M& m, const TLineLoader& l) {
         l.Int(0, 0, 1, m.TimeFormat);
         l.Int(1, 0, 5, m.DateFormat);
       }},
      // The maintenance date takes the day and year ranges the clock and the pages use.
      {"QAF", [](M& m, const TLineLoader& l) {
         l.Int(0, 0, 1, m.MaintEnabled);
         l.Int(1, 0, 31, m.MaintDay);
         l.Int(2, 1, 12, m.MaintMonth);
         l.Int(3, 0, 99, m.MaintYear);
       }},
      {"BRT", [](M& m, const TLineLoader& l) { l.Int(0, 0, 100, m.Brightness); }},
      {"UNT", [](M& m, const TLineLoader& l) {
         l.Int(0, 0, 6, m.SecondaryUnits);
         l.Int(1, 0, 5, m.TertiaryUnits);
         l.Int(2, 1, 999999, m.ConversionFactor);
         l.Int(3, 0, 1, m.ShowLbOz);
       }},
      {"AOC", [](M& m, const TLineLoader& l) {
         l.Int(0, 0, 1, m.AnalogType);
         l.Int(1, 0, 3, m.AnalogSource);
         l.Int(2, 0, 65535, m.AnalogZero);
         l.Int(3, 0, 65535, m.AnalogSpan);
         l.Int(4, 0, 2, m.AnalogForce);
         l.Int(5, 0, 1, m.AnalogAbsolute);
         l.Int(6, 0, 1, m.AnalogClip);
       }},
      {"MBS", [](M& m, const TLineLoader& l) {
         l.Int(0, 0, 1, m.ModbusEndian);
         l.Int(1, 502, 65535, m.ModbusPort);
       }},
      {"LIW", [](M& m, const TLineLoader& l) {
         l.Int(0, 100, 60000, m.JogOnTime);
         l.Int(1, 100, 60000, m.JogOffTime);
         l.Int(2, 1, 20, m.JogsInSet);
         l.Int(3, 0, 20, m.MaxJogSets);
         l.Int(4, 0, 1, m.FeederType);
         l.Int(5, 0, 60000, m.DelayCheck);
       }},
  });
  return loaders;
}

}  // namespace

TSettingsTables<Tdata7400> Tdata7400::MakeTables() { return {SetLines(), BaseQueries(), ExtendedQueries(), Loaders()}; }

void Tdata7400::ClearSetpoint(TSetpointSettings& s) {
  s.Type = s.Source = s.Logic = s.Lock = s.InFlight = s.Hysteresis = s.Target = 0;
}

}  // namespace w830
