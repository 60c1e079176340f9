#include <functional>
#include <map>
#include <utility>

#include "protocol/comms.h"
#include "protocol/database.h"

namespace w830 {
namespace {

// One line being loaded: every setter takes its field through the parser's range
// check and leaves the target alone when the field is refused.
class TLineLoader {
 public:
  explicit TLineLoader(const Tcommsobj& parser) : p_(parser) {}

  // target := field - offset, when field is in min..max.
  bool Int(int field, int32_t min, int32_t max, int32_t& target, int32_t offset = 0) const {
    int32_t v = 0;
    if (!p_.GetInteger(field, v, min, max)) return false;
    target = v - offset;
    return true;
  }
  bool Flag(int field, bool& target) const {
    int32_t v = 0;
    if (!p_.GetInteger(field, v, 0, 1)) return false;
    target = v == 1;
    return true;
  }
  // A text the line format cannot carry back (a hand-edited settings file may hold a
  // ';', which would split the set command on the wire) is refused like a bad number.
  void Text(int field, std::size_t minLen, std::size_t maxLen, std::string& target) const {
    std::string text;
    if (p_.GetString(field, text, minLen, maxLen) && IsStorableText(text)) target = std::move(text);
  }
  // The line's leading index, or -1 when it is out of min..max.
  int Index(int32_t min, int32_t max) const {
    int32_t v = 0;
    return p_.GetInteger(0, v, min, max) ? v : -1;
  }

 private:
  const Tcommsobj& p_;
};

using Loader = std::function<void(Tdata7400&, const TLineLoader&)>;

void LoadPort(Tdata7400& m, const TLineLoader& l) {
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
    l.Int(1, 0, 9, p.Use);
    l.Int(2, 1, 10, p.Baud, 1);
    l.Int(3, 0, 2, p.Parity);
    l.Int(4, 7, 8, p.DataBits, 7);
    l.Int(5, 1, 2, p.StopBits, 1);
    l.Int(6, 0, 1, p.Termination);
    l.Int(7, 0, 1, p.Dtr);
    l.Int(8, 0, 1, p.Hardware);
  }
}

const std::map<std::string_view, Loader>& Loaders() {
  static const std::map<std::string_view, Loader> loaders = {
      {"IDN", [](Tdata7400& m, const TLineLoader& l) {
         l.Text(0, 0, 10, m.InstrumentID);
         l.Text(1, 1, 10, m.SerialNumber);
         l.Text(2, 1, 6, m.SoftwareVersion);
       }},
      {"ADR", [](Tdata7400& m, const TLineLoader& l) { l.Int(0, 0, 31, m.Address); }},
      {"IAD", [](Tdata7400& m, const TLineLoader& l) {
         const int channel = l.Index(1, 2);
         if (channel == 1) {
           l.Int(1, 0, 999999, m.FullScale1);
           l.Int(2, 0, 5, m.DecimalPoint);
           l.Int(3, 1, 7, m.Resolution1, 1);
           l.Flag(4, m.HighResolution);
           l.Int(5, 0, 999999, m.TareMax);
           l.Int(6, 0, 1, m.SenseLine);
         } else if (channel == 2) {
           l.Int(1, 0, 999999, m.FullScale2);
           l.Int(3, 1, 7, m.Resolution2, 1);
         }
       }},
      {"CWT", [](Tdata7400& m, const TLineLoader& l) { l.Int(0, 0, 999999, m.CalWeight); }},
      {"WMD", [](Tdata7400& m, const TLineLoader& l) {
         l.Int(0, 1, 3, m.WeighMode, 1);
         l.Int(1, 0, 2, m.OperatingMode);
       }},
      {"ENU", [](Tdata7400& m, const TLineLoader& l) { l.Int(0, 0, 6, m.Units); }},
      {"ICR", [](Tdata7400& m, const TLineLoader& l) { l.Int(0, 10, 100, m.SynchFrequency); }},
      {"ASF", [](Tdata7400& m, const TLineLoader& l) {
         l.Int(0, 0, 14, m.Average);
         l.Int(1, 0, 2, m.Jitter);
       }},
      {"LBT", [](Tdata7400& m, const TLineLoader& l) {
         const int key = l.Index(0, 5);
         if (key >= 0) l.Int(1, 0, 2, m.KeyLock[static_cast<std::size_t>(key)]);
       }},
      {"MTD", [](Tdata7400& m, const TLineLoader& l) { l.Int(0, 0, 15, m.Motion); }},
      {"ZST", [](Tdata7400& m, const TLineLoader& l) {
         l.Int(0, 0, 1, m.AutoZero);
         l.Int(1, 0, 15, m.ZeroTracking);
         l.Int(2, 1, 4, m.ZeroRange, 1);
         l.Int(3, 0, 999999, m.ZeroBand);
       }},
      {"LDN", [](Tdata7400& m, const TLineLoader& l) { l.Int(0, -32000, 32000, m.DirectZero); }},
      {"LWN", [](Tdata7400& m, const TLineLoader& l) { l.Int(0, -32000, 32000, m.DirectSpan); }},
      {"WFP", [](Tdata7400& m, const TLineLoader& l) {
         int32_t v = 0;
         if (l.Int(0, 0, 9999, v)) m.SetWFP(v);
       }},
      {"LIC", [](Tdata7400& m, const TLineLoader& l) {
         const int point = l.Index(1, 10);
         int32_t percent = 0, weight = 0;
         if (point > 0 && l.Int(1, -150, 150, percent) && l.Int(2, -99999, 999999, weight)) {
           m.LinPercent[static_cast<std::size_t>(point - 1)] = percent;
           m.LinWeight[static_cast<std::size_t>(point - 1)] = weight;
         }
       }},
      {"CLK", [](Tdata7400& m, const TLineLoader& l) {
         l.Int(0, 0, 23, m.ClockHour);
         l.Int(1, 0, 59, m.ClockMinute);
         l.Int(2, 0, 59, m.ClockSecond);
         l.Int(3, 0, 31, m.ClockDay);
         l.Int(4, 1, 12, m.ClockMonth);
         l.Int(5, 0, 99, m.ClockYear);
       }},
      {"CFM", [](Tdata7400& m, const TLineLoader& l) {
         l.Int(0, 0, 1, m.TimeFormat);
         l.Int(1, 0, 5, m.DateFormat);
       }},
      // The maintenance date takes the day and year ranges the clock and the pages use.
      {"QAF", [](Tdata7400& m, const TLineLoader& l) {
         l.Int(0, 0, 1, m.MaintEnabled);
         l.Int(1, 0, 31, m.MaintDay);
         l.Int(2, 1, 12, m.MaintMonth);
         l.Int(3, 0, 99, m.MaintYear);
       }},
      {"BRT", [](Tdata7400& m, const TLineLoader& l) { l.Int(0, 0, 100, m.Brightness); }},
      {"UNT", [](Tdata7400& m, const TLineLoader& l) {
         l.Int(0, 0, 6, m.SecondaryUnits);
         l.Int(1, 0, 5, m.TertiaryUnits);
         l.Int(2, 1, 999999, m.ConversionFactor);
         l.Int(3, 0, 1, m.ShowLbOz);
       }},
      {"AOC", [](Tdata7400& m, const TLineLoader& l) {
         l.Int(0, 0, 1, m.AnalogType);
         l.Int(1, 0, 3, m.AnalogSource);
         l.Int(2, 0, 65535, m.AnalogZero);
         l.Int(3, 0, 65535, m.AnalogSpan);
         l.Int(4, 0, 2, m.AnalogForce);
         l.Int(5, 0, 1, m.AnalogAbsolute);
         l.Int(6, 0, 1, m.AnalogClip);
       }},
      {"MBS", [](Tdata7400& m, const TLineLoader& l) {
         l.Int(0, 0, 1, m.ModbusEndian);
         l.Int(1, 502, 65535, m.ModbusPort);
       }},
      {"ETH", [](Tdata7400& m, const TLineLoader& l) {
         l.Flag(0, m.Dhcp);
         l.Text(1, 7, 15, m.IPAddress);
         l.Text(2, 7, 15, m.NetMask);
         l.Text(3, 7, 15, m.Gateway);
         l.Text(4, 7, 15, m.Dns1);
         l.Text(5, 7, 15, m.Dns2);
         l.Text(6, 7, 23, m.MacAddress);
         l.Text(7, 0, 64, m.HostName);
         l.Text(8, 0, 255, m.SearchDomain);
         l.Text(9, 7, 15, m.Dns3);
       }},
      {"BUZ", [](Tdata7400& m, const TLineLoader& l) { l.Flag(0, m.BuzzerEnable); }},
      {"BDX", LoadPort},
      {"PST", [](Tdata7400& m, const TLineLoader& l) {
         const int header = l.Index(1, 6);
         if (header > 0) l.Text(1, 0, 30, m.PrintHeader[static_cast<std::size_t>(header - 1)]);
       }},
      {"PFT", [](Tdata7400& m, const TLineLoader& l) { l.Text(0, 0, 100, m.PrintFormat); }},
      {"AFT", [](Tdata7400& m, const TLineLoader& l) { l.Text(0, 0, 20, m.AutoFormat); }},
      {"PRS", [](Tdata7400& m, const TLineLoader& l) {
         l.Int(1, 1, 8, m.PrintMode, 1);
         l.Int(2, 1, 6, m.AutoType, 1);
         l.Int(3, 0, 20, m.PrintColumns);
         l.Int(4, 0, 10, m.PrintRows);
         l.Int(5, 1, 4, m.AutoSource, 1);
         l.Int(6, 0, 2, m.Interlock);
       }},
      {"FBT", [](Tdata7400& m, const TLineLoader& l) {
         const int key = l.Index(1, 3);
         if (key > 0) l.Int(1, 0, 14, m.FunctionKey[static_cast<std::size_t>(key - 1)]);
       }},
      {"RBT", [](Tdata7400& m, const TLineLoader& l) {
         const int input = l.Index(1, 8);
         if (input > 0) l.Int(1, 0, 22, m.RemoteInput[static_cast<std::size_t>(input - 1)]);
       }},
      {"LIV", [](Tdata7400& m, const TLineLoader& l) {
         const int n = l.Index(1, 8);
         if (n <= 0) return;
         TSetpointSettings& s = m.Setpoints[static_cast<std::size_t>(n - 1)];
         l.Int(1, 0, 11, s.Type);
         l.Int(2, 1, 2, s.Source, 1);
         l.Int(4, -99999, 999999, s.Target);
         l.Int(5, 0, 999999, s.InFlight);
         l.Int(6, 0, 999999, s.Hysteresis);
         l.Int(7, 1, 2, s.Logic, 1);
         l.Int(8, 0, 1, s.Lock);
         l.Int(9, 0, 4, s.Alarm);
         l.Int(10, 0, 3, s.Timing);
         l.Int(11, 0, 2, s.Reset);
       }},
      {"LIW", [](Tdata7400& m, const TLineLoader& l) {
         l.Int(0, 100, 60000, m.JogOnTime);
         l.Int(1, 100, 60000, m.JogOffTime);
         l.Int(2, 1, 20, m.JogsInSet);
         l.Int(3, 0, 20, m.MaxJogSets);
         l.Int(4, 0, 1, m.FeederType);
         l.Int(5, 0, 60000, m.DelayCheck);
       }},
  };
  return loaders;
}

}  // namespace

void Tdata7400::LoadReplies(const std::vector<std::string>& lines) {
  Tcommsobj parser;
  const TLineLoader loader(parser);
  for (const std::string& line : lines) {
    if (line.size() < 3) continue;
    const auto it = Loaders().find(std::string_view(line).substr(0, 3));
    if (it == Loaders().end()) continue;
    parser.ParseReply(line, false, true);
    it->second(*this, loader);
  }
}

}  // namespace w830
