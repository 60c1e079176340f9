#pragma once
// What every settings model offers, whichever indicator it describes: the settings
// the W830 and the W840 share, under the same names, ranges and defaults, and the
// command language operations. The main window, the settings transfer and the
// pages work on this; only what one indicator alone has needs the model's own type.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TSettingsModel {
 public:
  virtual ~TSettingsModel() = default;

  // The set-command lines of these settings, in the indicator's order.
  virtual void BuildSetCommands(std::vector<std::string>& list) const = 0;
  // The query commands and, in parallel, the text put before each reply to make it
  // a settings line. The extended list adds everything a full read needs.
  virtual void BuildQueries(bool extended, std::vector<std::string>& queries,
                            std::vector<std::string>& prefixes) const = 0;
  // False when the reply to this query of the read cannot be its answer: it has
  // another number of fields than the query's reply, or echoes another index than
  // the one asked. "?" and the replies to queries the model does not ask always fit.
  virtual bool ReplyFits(const std::string& query, const std::string& reply) const = 0;
  // Applies settings lines (prefixed replies, settings-file lines, set commands) in
  // order. Never fails: a bad field (a number out of range, a text that IsStorableText
  // refuses) keeps its value; an unknown mnemonic or an index out of range drops the line.
  virtual void LoadReplies(const std::vector<std::string>& lines) = 0;
  // Setpoint n (0-based) or all eight back to off; what each model keeps is its own.
  virtual void ClearSetpoints(int n, bool all) = 0;
  // Whether any line needs the indicator's passcode.
  static bool HasProtectedCommands(const std::vector<std::string>& list);

  // The port the indicator answered "WFP?" with: its serial settings page keeps
  // that port's record from being changed.
  int32_t GetWFP() const { return WFP; }
  virtual void SetWFP(int32_t value) { WFP = value; }

  int32_t WeighMode = 0;
  int32_t OperatingMode = 0;
  int32_t DecimalPoint = 0;
  int32_t FullScale1 = 4000;
  int32_t FullScale2 = 6000;
  int32_t CalWeight = 3000;
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
  bool Dhcp = true;
  std::string IPAddress = "0.0.0.0";
  std::string NetMask = "255.255.255.255";
  std::string Gateway = "0.0.0.0";
  std::string Dns1 = "0.0.0.0";
  std::string Dns2 = "0.0.0.0";
  std::string MacAddress = "0.0.0.0.0.0";
  std::string HostName;
  bool BuzzerEnable = false;
  int32_t Address = 0;
  std::array<std::string, 6> PrintHeader{};  // header n is index n-1
  std::string PrintFormat;
  std::string AutoFormat;
  int32_t PrintMode = 0;
  int32_t AutoType = 0;
  int32_t PrintColumns = 0;
  int32_t PrintRows = 0;
  int32_t AutoSource = 0;

  // The shared settings only: a whole model compares through its own type.
  bool operator==(const TSettingsModel&) const = default;

 protected:
  TSettingsModel() = default;
  TSettingsModel(const TSettingsModel&) = default;
  TSettingsModel& operator=(const TSettingsModel&) = default;

 private:
  int32_t WFP = 0;
};
