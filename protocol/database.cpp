#include "protocol/database.h"

#include <algorithm>
#include <initializer_list>

namespace w830 {
namespace {

// One value of a set-command line: an integer for %d, a text for %s.
struct TLineArg {
  TLineArg(int32_t v) : number(v) {}
  TLineArg(const std::string& t) : text(t), isText(true) {}
  int32_t number = 0;
  std::string_view text;
  bool isText = false;
};

// Builds a line from a format of the indicator's command language, which holds only
// %d and %s. Texts go out byte for byte (a NUL does not end them, as it would with
// printf) and numbers are plain decimal digits, so no locale plays a part.
std::string Format(std::string_view format, std::initializer_list<TLineArg> args) {
  std::string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size() || next == args.end()) {
      out += format[i];
      continue;
    }
    ++i;
    if (next->isText)
      out += next->text;
    else
      out += std::to_string(next->number);
    ++next;
  }
  return out;
}

}  // namespace

Tdata7400::Tdata7400() { SetWFP(0); }

void Tdata7400::BuildSetCommands(std::vector<std::string>& list) const {
  list.clear();
  list.push_back(Format("IDN\"%s\"", {InstrumentID}));
  list.push_back(Format("ADR%d", {Address}));
  list.push_back(Format("IAD1,%d,%d,%d,%d,%d,%d",
                        {FullScale1, DecimalPoint, Resolution1 + 1, int32_t{HighResolution}, TareMax, SenseLine}));
  list.push_back(Format("IAD2,%d,%d,%d,%d,%d,%d",
                        {FullScale2, DecimalPoint, Resolution2 + 1, int32_t{HighResolution}, TareMax, SenseLine}));
  list.push_back(Format("CWT%d", {CalWeight}));
  list.push_back(Format("WMD%d,%d", {WeighMode + 1, OperatingMode}));
  list.push_back(Format("ENU%d", {Units}));
  list.push_back(Format("ICR%d", {SynchFrequency}));
  list.push_back(Format("ASF%d,%d", {Average, Jitter}));
  for (int k = 0; k < 6; ++k) list.push_back(Format("LBT%d,%d", {k, KeyLock[static_cast<std::size_t>(k)]}));
  list.push_back(Format("MTD%d", {Motion}));
  list.push_back(Format("PFT\"%s\"", {PrintFormat}));
  list.push_back(Format("AFT\"%s\"", {AutoFormat}));
  for (int n = 1; n <= 6; ++n)
    list.push_back(Format("PST%d,\"%s\"", {n, PrintHeader[static_cast<std::size_t>(n - 1)]}));
  list.push_back(Format("PRS,%d,%d,%d,%d,%d,%d",
                        {PrintMode + 1, AutoType + 1, PrintColumns, PrintRows, AutoSource + 1, Interlock}));
  list.push_back(Format("AFT\"%s\"", {AutoFormat}));
  list.push_back(Format("ZST%d,%d,%d,%d", {AutoZero, ZeroTracking, ZeroRange + 1, ZeroBand}));
  for (int n = 1; n <= 3; ++n) list.push_back(Format("FBT%d,%d", {n, FunctionKey[static_cast<std::size_t>(n - 1)]}));
  for (int n = 1; n <= 8; ++n) list.push_back(Format("RBT%d,%d", {n, RemoteInput[static_cast<std::size_t>(n - 1)]}));
  list.push_back(Format("BUZ%d", {int32_t{BuzzerEnable}}));
  list.push_back(
      Format("ETH%d,\"%s\",\"%s\",\"%s\",\"%s\",\"%s\",\"%s\",\"%s\",\"%s\",\"%s\"",
             {int32_t{Dhcp}, IPAddress, NetMask, Gateway, Dns1, Dns2, MacAddress, HostName, SearchDomain, Dns3}));
  for (int k = 0; k <= 14; ++k) {
    const TPortSettings& p = Ports[static_cast<std::size_t>(k)];
    switch (k) {
      case 8:
      case 9:
      case 10:
        break;  // never written
      case 4:
      case 5:
        list.push_back(Format("BDX%d,,,,,,,,,%d,%d", {k, p.NetPort, p.Timeout}));
        break;
      case 11:
      case 12:
        list.push_back(Format("BDX%d,%d,,,,,,,,%d,,\"%s\"", {k, p.Use, p.NetPort, p.DestAddress}));
        break;
      case 13:
      case 14:
        list.push_back(Format("BDX%d,%d,,,,,,,,%d", {k, p.Use, p.NetPort}));
        break;
      default:
        list.push_back(Format("BDX%d,%d,%d,%d,%d,%d,%d,%d,%d", {k, p.Use, p.Baud + 1, p.Parity, p.DataBits + 7,
                                                                p.StopBits + 1, p.Termination, p.Dtr, p.Hardware}));
    }
  }
  for (int n = 1; n <= 8; ++n) {
    const TSetpointSettings& s = Setpoints[static_cast<std::size_t>(n - 1)];
    list.push_back(
        Format("LIV%d,%d,%d,,%d,%d,%d,%d,%d,%d,%d,%d", {n, s.Type, s.Source + 1, s.Target, s.InFlight, s.Hysteresis,
                                                        s.Logic + 1, s.Lock, s.Alarm, s.Timing, s.Reset}));
  }
  list.push_back(
      Format("LIW%d,%d,%d,%d,%d,%d", {JogOnTime, JogOffTime, JogsInSet, MaxJogSets, FeederType, DelayCheck}));
  list.push_back(Format("MBS%d,%d", {ModbusEndian, ModbusPort}));
  list.push_back(Format("AOC%d,%d,%d,%d,%d,%d,%d",
                        {AnalogType, AnalogSource, AnalogZero, AnalogSpan, AnalogForce, AnalogAbsolute, AnalogClip}));
  list.push_back(
      Format("CLK%d,%d,%d,%d,%d,%d", {ClockHour, ClockMinute, ClockSecond, ClockDay, ClockMonth, ClockYear}));
  list.push_back(Format("CFM%d,%d", {TimeFormat, DateFormat}));
  list.push_back(Format("QAF%d,%d,%d,%d", {MaintEnabled, MaintDay, MaintMonth, MaintYear}));
  list.push_back(Format("BRT%d", {Brightness}));
  list.push_back(Format("UNT%d,%d,%d,%d", {SecondaryUnits, TertiaryUnits, ConversionFactor, ShowLbOz}));
}

void Tdata7400::BuildQueries(bool extended, std::vector<std::string>& queries,
                             std::vector<std::string>& prefixes) const {
  queries.clear();
  prefixes.clear();
  auto add = [&](std::string query, std::string prefix) {
    queries.push_back(std::move(query));
    prefixes.push_back(std::move(prefix));
  };
  add("IDN?", "IDN");
  add("ADR?", "ADR");
  add("AOC?", "AOC");
  add("IAD?1", "IAD");
  add("IAD?2", "IAD");
  add("WMD?", "WMD");
  add("ENU?", "ENU");
  add("ICR?", "ICR");
  for (int k = 0; k <= 5; ++k) add(Format("LBT?%d", {k}), Format("LBT%d,", {k}));
  for (const char* m : {"MBS", "MTD", "ZST", "CWT", "LDN", "LWN", "WFP", "CLK", "CFM", "QAF", "BRT", "UNT"})
    add(std::string(m) + "?", m);
  if (!extended) return;
  for (const char* m : {"ASF", "ETH", "BUZ"}) add(std::string(m) + "?", m);
  for (int k = 0; k <= 14; ++k)
    if (k < 8 || k > 10) add(Format("BDX?%d", {k}), "BDX");
  add("PFT?", "PFT");
  for (int n = 1; n <= 6; ++n) add(Format("PST?%d", {n}), Format("PST%d,", {n}));
  add("PRS?", "PRS");
  add("AFT?", "AFT");
  for (int n = 1; n <= 3; ++n) add(Format("FBT?%d", {n}), Format("FBT%d,", {n}));
  for (int n = 1; n <= 8; ++n) add(Format("RBT?%d", {n}), Format("RBT%d,", {n}));
  for (int n = 1; n <= 10; ++n) add(Format("LIC?%d", {n}), Format("LIC%d,", {n}));
  for (int n = 1; n <= 8; ++n) add(Format("LIV?%d", {n}), "LIV");
  add("LIW?", "LIW");
}

bool Tdata7400::HasProtectedCommands(const std::vector<std::string>& list) {
  static constexpr std::string_view kProtected[] = {"CWT", "ENU", "IAD", "ICR", "LBT", "MTD", "WMD", "ZST"};
  return std::any_of(list.begin(), list.end(), [](const std::string& line) {
    if (line.size() < 3) return false;
    const std::string_view m = std::string_view(line).substr(0, 3);
    return std::find(std::begin(kProtected), std::end(kProtected), m) != std::end(kProtected);
  });
}

void Tdata7400::ClearSetpoints(int n, bool all) {
  for (int i = 0; i < 8; ++i) {
    if (!all && i != n) continue;
    TSetpointSettings& s = Setpoints[static_cast<std::size_t>(i)];
    s.Type = s.Source = s.Logic = s.Lock = s.InFlight = s.Hysteresis = s.Target = 0;
  }
}

bool IsStorableText(std::string_view text) { return text.find_first_of("\";\r\n") == std::string_view::npos; }

std::string GetField(std::string_view text, int n, char separator) {
  for (int i = 0; i < std::max(n, 0); ++i) {
    const std::size_t p = text.find(separator);
    if (p == std::string_view::npos) return std::string();
    text.remove_prefix(p + 1);
  }
  return std::string(text.substr(0, text.find(separator)));
}

void FilterChars(std::string& text, std::string_view allowed) {
  std::erase_if(text, [&](char c) { return allowed.find(c) == std::string_view::npos; });
}

std::string JoinAddress(const std::vector<std::string>& parts) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    std::string part = parts[i];
    FilterChars(part, "0123456789");
    if (part.empty()) return std::string();
    if (i) out += '.';
    out += part;
  }
  return out;
}

}  // namespace w830
