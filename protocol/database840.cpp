#include "protocol/database840.h"

#include "protocol/settingsrows.h"

namespace w840 {
namespace {

using namespace settings;
using M = Tdata7400;

// The field counts are those of the replies the loading rules read. The replies
// that the W830 gives longer (the channel, the print settings, the network, the
// setpoints and the network ports) may be longer here too, as the indicator's
// firmware grows a reply by settings at its end.
std::vector<TQuery> BaseQueries() {
  return {{"IDN", {3}},
          {"ADR", {1}},
          {"IAD", AtLeast(6), "1", "", 0, 0, true},
          {"IAD", AtLeast(6), "2", "", 0, 0, true},
          {"WMD", {2}},
          {"ENU", {1}},
          {"ICR", {1}},
          {"LBT", {1}, "%d", "%d,", 0, 4},
          {"MTD", {1}},
          {"ZST", {4}},
          {"CWT", {1}},
          {"LDW", {1}, "1"},
          {"LWT", {1}, "1"},
          {"WFP", {1}}};
}

std::vector<TQuery> ExtendedQueries() {
  return {{"ASF", {2}},
          {"ETH", AtLeast(8)},
          {"BUZ", {1}},
          {"BDX", {9}, "%d", "", 1, 4, true},
          {"BDX", AtLeast(10), "%d", "", 5, 6, true},
          {"PFT", {1}},
          {"PST", {1}, "%d", "%d,", 1, 6},
          {"PRS", AtLeast(6)},
          {"AFT", {1}},
          {"RBT", {1}, "%d", "%d,", 0, 8},
          {"LIC", {2}, "%d", "%d,", 1, 10},
          {"LIV", AtLeast(10), "%d", "", 1, 8, true}};
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
