#pragma once
// The W830 indicator's settings, one plain value each, and the indicator's command
// language for them: set-command lines, the query list with its reply prefixes, and
// the loading of replies and settings-file lines back into the fields.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace w830 {

struct TSetpointSettings {
  int32_t Type = 0;
  int32_t Source = 0;
  int32_t Logic = 0;
  int32_t Lock = 0;
  int32_t Alarm = 0;
  int32_t Timing = 0;
  int32_t Reset = 0;
  int32_t InFlight = 0;
  int32_t Hysteresis = 0;
  int32_t Target = 0;

  bool operator==(const TSetpointSettings&) const = default;
};

struct TPortSettings {
  int32_t Use = 0;
  int32_t Baud = 0;
  int32_t Parity = 0;
  int32_t DataBits = 0;
  int32_t StopBits = 0;
  int32_t Termination = 0;
  int32_t Dtr = 0;
  int32_t Hardware = 0;
  int32_t NetPort = 0;
  int32_t Timeout = 0;
  std::string DestAddress;

  bool operator==(const TPortSettings&) const = default;
};

class Tdata7400 {
 public:
  Tdata7400();

  // The 68 set-command lines of these settings, in the indicator's order.
  void BuildSetCommands(std::vector<std::string>& list) const;
  // The query commands and, in parallel, the text put before each reply to make it
  // a settings line. The extended list adds everything a full read needs.
  void BuildQueries(bool extended, std::vector<std::string>& queries, std::vector<std::string>& prefixes) const;
  // Applies settings lines (prefixed replies, settings-file lines, set commands) in
  // order. Never fails: a bad field (a number out of range, a text that IsStorableText
  // refuses) keeps its value; an unknown mnemonic or an index out of range drops the line.
  void LoadReplies(const std::vector<std::string>& lines);
  // Whether any line needs the indicator's passcode.
  static bool HasProtectedCommands(const std::vector<std::string>& list);
  // Setpoint n (0-based) or all eight back to off; alarm, timing and reset stay.
  void ClearSetpoints(int n, bool all);

  int32_t GetWFP() const { return WFP; }
  void SetWFP(int32_t value) { WFP = value; }

  int32_t WeighMode = 0;
  int32_t OperatingMode = 0;
  int32_t DecimalPoint = 0;
  int32_t FullScale1 = 4000;
  int32_t FullScale2 = 6000;
  int32_t CalWeight = 3000;
  int32_t SenseLine = 0;
  int32_t Resolution1 = 0;
  int32_t Resolution2 = 1;
  bool HighResolution = false;
  int32_t TareMax = 0;
  int32_t DirectZero = 0;
  int32_t DirectSpan = 20000;
  int32_t Units = 2;
  int32_t Average = 0;
  int32_t Jitter = 0;
  int32_t SynchFrequency = 50;
  int32_t Motion = 1;
  int32_t ZeroTracking = 0;
  int32_t ZeroRange = 3;
  int32_t ZeroBand = 0;
  int32_t AutoZero = 0;
  std::array<int32_t, 10> LinPercent{};  // point n is index n-1
  std::array<int32_t, 10> LinWeight{};
  std::string InstrumentID;
  std::string SerialNumber;
  std::string SoftwareVersion;
  std::array<int32_t, 6> KeyLock{1, 1, 1, 1, 1, 1};
  int32_t SecondaryUnits = 0;
  int32_t TertiaryUnits = 0;
  int32_t ConversionFactor = 0;
  int32_t ShowLbOz = 0;
  std::array<int32_t, 8> RemoteInput{};   // input n is index n-1
  std::array<int32_t, 3> FunctionKey{};   // key n is index n-1
  std::array<TSetpointSettings, 8> Setpoints{};
  int32_t JogOnTime = 0;
  int32_t JogOffTime = 0;
  int32_t JogsInSet = 0;
  int32_t MaxJogSets = 0;
  int32_t FeederType = 0;
  int32_t DelayCheck = 0;
  bool Dhcp = true;
  std::string IPAddress = "0.0.0.0";
  std::string NetMask = "255.255.255.255";
  std::string Gateway = "0.0.0.0";
  std::string Dns1 = "0.0.0.0";
  std::string Dns2 = "0.0.0.0";
  std::string Dns3 = "0.0.0.0";
  std::string MacAddress = "0.0.0.0.0.0";
  std::string HostName;
  std::string SearchDomain;
  bool BuzzerEnable = false;
  int32_t Address = 0;
  std::array<TPortSettings, 15> Ports{};
  std::array<std::string, 6> PrintHeader{};  // header n is index n-1
  std::string PrintFormat;
  std::string AutoFormat;
  int32_t PrintMode = 0;
  int32_t AutoType = 0;
  int32_t PrintColumns = 0;
  int32_t PrintRows = 0;
  int32_t AutoSource = 0;
  int32_t Interlock = 0;
  int32_t ModbusPort = 0;
  int32_t ModbusEndian = 0;
  int32_t AnalogType = 0;
  int32_t AnalogSource = 0;
  int32_t AnalogZero = 0;
  int32_t AnalogSpan = 0;
  int32_t AnalogForce = 0;
  int32_t AnalogAbsolute = 0;
  int32_t AnalogClip = 0;
  int32_t ClockHour = 0;
  int32_t ClockMinute = 0;
  int32_t ClockSecond = 0;
  int32_t ClockDay = 0;
  int32_t ClockMonth = 0;
  int32_t ClockYear = 0;
  int32_t TimeFormat = 0;
  int32_t DateFormat = 0;
  int32_t MaintEnabled = 0;
  int32_t MaintYear = 0;
  int32_t MaintMonth = 0;
  int32_t MaintDay = 0;
  int32_t Brightness = 0;

  bool operator==(const Tdata7400&) const = default;

 private:
  int32_t WFP = 0;
};

// A text the set-line format can carry: no '"' (it would end the field), nor the
// command or line terminators.
bool IsStorableText(std::string_view text);

// Field n (0-based) of text split at separator; empty when there is none.
std::string GetField(std::string_view text, int n, char separator);
// Removes every character of text that is not in allowed.
void FilterChars(std::string& text, std::string_view allowed);
// The parts reduced to their digits and joined with '.'; empty when a part has none.
std::string JoinAddress(const std::vector<std::string>& parts);

}  // namespace w830
