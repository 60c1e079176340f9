#include "protocol/database840.h"

#include "protocol/settingsrows.h"

namespace w840 {
namespace {

using namespace settings;
using M = Tdata7400;

std::vector<TQuery> BaseQueries() {
  return {{"IDN"}, {"ADR"}, {"IAD", "1", "", 0, 0, true}, {"IAD", "2", "", 0, 0, true}, {"WMD"}, {"ENU"}, {"ICR"},
          {"LBT", "%d", "%d,", 0, 4}, {"MTD"}, {"ZST"}, {"CWT"}, {"LDW", "1"}, {"LWT", "1"}, {"WFP"}};
}

std::vector<TQuery> ExtendedQueries() {
  return {{"ASF"}, {"ETH"}, {"BUZ"}, {"BDX", "%d", "", 1, 6, true}, {"PFT"}, {"PST", "%d", "%d,", 1, 6}, {"PRS"},
          {"AFT"}, {"RBT", "%d", "%d,", 0, 8}, {"LIC", "%d", "%d,", 1, 10}, {"LIV", "%d", "", 1, 8, true}};
}

void LoadPort(M& m, const TLineLoader& l) {
  const int k = l.Index(1, 6);
  if (k >= M::kFirstNetPort)
    l.Int(9, 0, 65535, m.NetPorts[static_cast<std::size_t>(k - M::kFirstNetPort)]);
  else if (k > 0)
    rows::LoadSerialPort<M>(l, m.SerialPorts[static_cast<std::size_t>(k - 1)]);
}

std::vector<TSetLine<M>> SetLines() {
  return Join<M>({
      rows::IdentityLines<M>(),
      {{"IAD1,%d,%d,%d,%d,%d",
        [](const M& m, int) {
          return TLineValues{m.FullScale1, m.DecimalPoint, m.Resolution1 + 1, m.HighResolution, m.TareMax};
        }},
       {"IAD2,%d,%d,%d,%d,%d",
        [](const M& m, int) {
          return TLineValues{m.FullScale2, m.DecimalPoint, m.Resolution2 + 1, m.HighResolution, m.TareMax};
        }}},
      rows::BuildLines<M>(),
      {{"PRS,%d,%d,%d,%d,%d",
        [](const M& m, int) {
          return TLineValues{m.PrintMode + 1, m.AutoType + 1, m.PrintColumns, m.PrintRows, m.AutoSource + 1};
        }}},
      rows::ZeroLines<M>(),
      rows::RemoteAndBuzzerLines<M>(),
      {{"ETH%d,\"%s\",\"%s\",\"%s\",\"%s\",\"%s\",\"%s\",\"%s\"",
        [](const M& m, int) {
          return TLineValues{m.Dhcp, m.IPAddress, m.NetMask, m.Gateway, m.Dns1, m.Dns2, m.MacAddress, m.HostName};
        }},
       {rows::kSerialPortLine,
        [](const M& m, int k) { return rows::SerialPortValues(k, m.SerialPorts[static_cast<std::size_t>(k - 1)]); }, 1,
        4},
       {"BDX%d,,,,,,,,,%d",
        [](const M& m, int k) { return TLineValues{k, m.NetPorts[static_cast<std::size_t>(k - M::kFirstNetPort)]}; },
        5, 6},
       {"LIV%d,%d,%d,%d,%d,%d,%d,%d,%d,%d",
        [](const M& m, int n) {
          const TSetpointSettings& s = m.Setpoints[static_cast<std::size_t>(n - 1)];
          return TLineValues{n, s.Type, s.Source + 1, s.Direction + 1, s.Target, s.InFlight, s.Hysteresis,
                             s.Logic + 1, s.Lock, s.Alarm};
        },
        1, 8}},
  });
}

}  // namespace

void Tdata7400::ClearSetpoint(TSetpointSettings& s) {
  s.Type = s.Source = s.Direction = s.Logic = s.Lock = s.InFlight = s.Hysteresis = 0;
}

TSettingsTables<Tdata7400> Tdata7400::MakeTables() {
  auto loaders = rows::SharedLoaders<M>();
  loaders.insert({{"LDW", rows::LoadDirectZero<M>}, {"LWT", rows::LoadDirectSpan<M>}, {"BDX", LoadPort}});
  return {SetLines(), BaseQueries(), ExtendedQueries(), std::move(loaders)};
}

}  // namespace w840
