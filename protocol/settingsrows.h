#pragma once
// The table rows both settings models share: the set-command lines they write alike
// and the loading rules they apply alike. Where the two indicators differ only in a
// range or a count, the rows take it from the model (its kLimits and the sizes of
// its arrays); where a model has a field the other lacks, the row handles it
// only for the model that has it.
#include <tuple>
#include <vector>

#include "protocol/settingsengine.h"

namespace settings::rows {

template <class M>
constexpr int kKeyLocks = static_cast<int>(std::tuple_size_v<decltype(M::KeyLock)>);
template <class M>
constexpr int kRemoteInputs = static_cast<int>(std::tuple_size_v<decltype(M::RemoteInput)>);

// IDN and ADR, the first two lines.
template <class M>
std::vector<TSetLine<M>> IdentityLines() {
  return {{"IDN\"%s\"", [](const M& m, int) { return TLineValues{m.InstrumentID}; }},
          {"ADR%d", [](const M& m, int) { return TLineValues{m.Address}; }}};
}

// From the calibration weight to the printout headers.
template <class M>
std::vector<TSetLine<M>> BuildLines() {
  return {{"CWT%d", [](const M& m, int) { return TLineValues{m.CalWeight}; }},
          {"WMD%d,%d", [](const M& m, int) { return TLineValues{m.WeighMode + 1, m.OperatingMode}; }},
          {"ENU%d", [](const M& m, int) { return TLineValues{m.Units}; }},
          {"ICR%d", [](const M& m, int) { return TLineValues{m.SynchFrequency}; }},
          {"ASF%d,%d", [](const M& m, int) { return TLineValues{m.Average, m.Jitter}; }},
          {"LBT%d,%d", [](const M& m, int k) { return TLineValues{k, m.KeyLock[static_cast<std::size_t>(k)]}; }, 0,
           kKeyLocks<M> - 1},
          {"MTD%d", [](const M& m, int) { return TLineValues{m.Motion}; }},
          {"PFT\"%s\"", [](const M& m, int) { return TLineValues{m.PrintFormat}; }},
          {"AFT\"%s\"", [](const M& m, int) { return TLineValues{m.AutoFormat}; }},
          {"PST%d,\"%s\"", [](const M& m, int n) { return TLineValues{n, m.PrintHeader[static_cast<std::size_t>(n - 1)]}; },
           1, 6}};
}

// The automatic output format a second time, then the zero settings.
template <class M>
std::vector<TSetLine<M>> ZeroLines() {
  return {{"AFT\"%s\"", [](const M& m, int) { return TLineValues{m.AutoFormat}; }},
          {"ZST%d,%d,%d,%d",
           [](const M& m, int) { return TLineValues{m.AutoZero, m.ZeroTracking, m.ZeroRange + 1, m.ZeroBand}; }}};
}

// The remote inputs, numbered from the model's first, then the buzzer.
template <class M>
std::vector<TSetLine<M>> RemoteAndBuzzerLines() {
  return {{"RBT%d,%d",
           [](const M& m, int n) {
             return TLineValues{n, m.RemoteInput[static_cast<std::size_t>(n - M::kLimits.firstRemoteInput)]};
           },
           M::kLimits.firstRemoteInput, M::kLimits.firstRemoteInput + kRemoteInputs<M> - 1},
          {"BUZ%d", [](const M& m, int) { return TLineValues{m.BuzzerEnable}; }}};
}

// A serial port's BDX line: the port number, then its eight settings.
inline TLineValues SerialPortValues(int k, const TSerialPort& p) {
  return {k, p.Use, p.Baud + 1, p.Parity, p.DataBits + 7, p.StopBits + 1, p.Termination, p.Dtr, p.Hardware};
}
inline constexpr std::string_view kSerialPortLine = "BDX%d,%d,%d,%d,%d,%d,%d,%d,%d";

template <class M>
void LoadSerialPort(const TLineLoader& l, TSerialPort& p) {
  l.Int(1, 0, M::kLimits.maxSerialUse, p.Use);
  l.Int(2, 1, 10, p.Baud, 1);
  l.Int(3, 0, 2, p.Parity);
  l.Int(4, 7, 8, p.DataBits, 7);
  l.Int(5, 1, 2, p.StopBits, 1);
  l.Int(6, 0, 1, p.Termination);
  l.Int(7, 0, 1, p.Dtr);
  l.Int(8, 0, 1, p.Hardware);
}

// The direct calibration values, read under each model's own mnemonics.
template <class M>
void LoadDirectZero(M& m, const TLineLoader& l) {
  l.Int(0, -32000, 32000, m.DirectZero);
}
template <class M>
void LoadDirectSpan(M& m, const TLineLoader& l) {
  l.Int(0, -32000, 32000, m.DirectSpan);
}

// The loading rules of every mnemonic both models know.
template <class M>
std::map<TMnemonic, TLoadRule<M>> SharedLoaders() {
  return {
      {"IDN", [](M& m, const TLineLoader& l) {
         l.Text(0, 0, 10, m.InstrumentID);
         l.Text(1, 1, 10, m.SerialNumber);
         l.Text(2, 1, 6, m.SoftwareVersion);
       }},
      {"ADR", [](M& m, const TLineLoader& l) { l.Int(0, 0, 31, m.Address); }},
      {"IAD", [](M& m, const TLineLoader& l) {
         const int channel = l.Index(1, 2);
         if (channel == 1) {
           l.Int(1, 0, 999999, m.FullScale1);
           l.Int(2, 0, 5, m.DecimalPoint);
           l.Int(3, 1, 7, m.Resolution1, 1);
           l.Flag(4, m.HighResolution);
           l.Int(5, 0, 999999, m.TareMax);
           if constexpr (requires { m.SenseLine; }) l.Int(6, 0, 1, m.SenseLine);
         } else if (channel == 2) {
           l.Int(1, 0, 999999, m.FullScale2);
           l.Int(3, 1, 7, m.Resolution2, 1);
         }
       }},
      {"CWT", [](M& m, const TLineLoader& l) { l.Int(0, 0, 999999, m.CalWeight); }},
      {"WMD", [](M& m, const TLineLoader& l) {
         l.Int(0, 1, M::kLimits.weighModes, m.WeighMode, 1);
         l.Int(1, 0, M::kLimits.maxOperatingMode, m.OperatingMode);
       }},
      {"ENU", [](M& m, const TLineLoader& l) { l.Int(0, 0, M::kLimits.maxUnits, m.Units); }},
      {"ICR", [](M& m, const TLineLoader& l) { l.Int(0, 10, 100, m.SynchFrequency); }},
      {"ASF", [](M& m, const TLineLoader& l) {
         l.Int(0, 0, 14, m.Average);
         l.Int(1, 0, 2, m.Jitter);
       }},
      {"LBT", [](M& m, const TLineLoader& l) {
         const int key = l.Index(0, kKeyLocks<M> - 1);
         if (key >= 0) l.Int(1, 0, 2, m.KeyLock[static_cast<std::size_t>(key)]);
       }},
      {"MTD", [](M& m, const TLineLoader& l) { l.Int(0, 0, M::kLimits.maxMotion, m.Motion); }},
      {"ZST", [](M& m, const TLineLoader& l) {
         l.Int(0, 0, 1, m.AutoZero);
         l.Int(1, 0, M::kLimits.maxMotion, m.ZeroTracking);
         l.Int(2, 1, 4, m.ZeroRange, 1);
         l.Int(3, 0, 999999, m.ZeroBand);
       }},
      // The indicator numbers its ports from kFirstWfpReply; the model keeps the
      // port as the serial settings page counts it.
      {"WFP", [](M& m, const TLineLoader& l) {
         int32_t v = 0;
         if (l.Int(0, M::kLimits.firstWfpReply, 9999, v)) m.SetWFP(v - M::kLimits.firstWfpReply);
       }},
      {"LIC", [](M& m, const TLineLoader& l) {
         const int point = l.Index(1, 10);
         int32_t percent = 0, weight = 0;
         if (point > 0 && l.Int(1, -150, 150, percent) && l.Int(2, -99999, 999999, weight)) {
           m.LinPercent[static_cast<std::size_t>(point - 1)] = percent;
           m.LinWeight[static_cast<std::size_t>(point - 1)] = weight;
         }
       }},
      {"ETH", [](M& m, const TLineLoader& l) {
         l.Flag(0, m.Dhcp);
         l.Text(1, 7, 15, m.IPAddress);
         l.Text(2, 7, 15, m.NetMask);
         l.Text(3, 7, 15, m.Gateway);
         l.Text(4, 7, 15, m.Dns1);
         l.Text(5, 7, 15, m.Dns2);
         l.Text(6, 7, 23, m.MacAddress);
         l.Text(7, 0, 64, m.HostName);
         if constexpr (requires { m.SearchDomain; }) {
           l.Text(8, 0, 255, m.SearchDomain);
           l.Text(9, 7, 15, m.Dns3);
         }
       }},
      {"BUZ", [](M& m, const TLineLoader& l) { l.Flag(0, m.BuzzerEnable); }},
      {"PST", [](M& m, const TLineLoader& l) {
         const int header = l.Index(1, 6);
         if (header > 0) l.Text(1, 0, 30, m.PrintHeader[static_cast<std::size_t>(header - 1)]);
       }},
      {"PFT", [](M& m, const TLineLoader& l) { l.Text(0, 0, 100, m.PrintFormat); }},
      {"AFT", [](M& m, const TLineLoader& l) { l.Text(0, 0, 20, m.AutoFormat); }},
      {"PRS", [](M& m, const TLineLoader& l) {
         l.Int(1, 1, 8, m.PrintMode, 1);
         l.Int(2, 1, 6, m.AutoType, 1);
         l.Int(3, 0, 20, m.PrintColumns);
         l.Int(4, 0, 10, m.PrintRows);
         l.Int(5, 1, 4, m.AutoSource, 1);
         if constexpr (requires { m.Interlock; }) l.Int(6, 0, 2, m.Interlock);
       }},
      {"RBT", [](M& m, const TLineLoader& l) {
         const int input = l.Index(M::kLimits.firstRemoteInput, M::kLimits.firstRemoteInput + kRemoteInputs<M> - 1);
         if (input >= 0)
           l.Int(1, 0, M::kLimits.maxRemoteFunction, m.RemoteInput[static_cast<std::size_t>(input - M::kLimits.firstRemoteInput)]);
       }},
      {"LIV", [](M& m, const TLineLoader& l) {
         const int n = l.Index(1, 8);
         if (n <= 0) return;
         auto& s = m.Setpoints[static_cast<std::size_t>(n - 1)];
         l.Int(1, 0, M::kLimits.maxSetpointType, s.Type);
         l.Int(2, 1, 2, s.Source, 1);
         if constexpr (requires { s.Direction; }) l.Int(3, 1, 2, s.Direction, 1);
         l.Int(4, -99999, 999999, s.Target);
         l.Int(5, 0, 999999, s.InFlight);
         l.Int(6, 0, 999999, s.Hysteresis);
         l.Int(7, 1, 2, s.Logic, 1);
         l.Int(8, 0, 1, s.Lock);
         l.Int(9, 0, M::kLimits.maxAlarm, s.Alarm);
         if constexpr (requires { s.Timing; }) {
           l.Int(10, 0, 3, s.Timing);
           l.Int(11, 0, 2, s.Reset);
         }
       }},
  };
}

}  // namespace settings::rows
