#pragma once
// The W830 indicator's settings, one plain value each: those the W840 shares (in
// TSettingsModel) and the W830's own, with the W830's tables for the settings engine.
#include <array>
#include <cstdint>
#include <string>

#include "protocol/settingsengine.h"

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

// A port of any kind; serial ports use the serial settings, network ports the rest.
struct TPortSettings : settings::TSerialPort {
  int32_t NetPort = 0;
  int32_t Timeout = 0;
  std::string DestAddress;

  bool operator==(const TPortSettings&) const = default;
};

class Tdata7400 final : public settings::TTableModel<Tdata7400> {
 public:
  static constexpr settings::TLimits kLimits{.weighModes = 3, .maxOperatingMode = 2, .maxUnits = 6,
                                             .maxMotion = 15, .firstRemoteInput = 1, .maxRemoteFunction = 22,
                                             .firstWfpReply = 0, .maxSetpointType = 11, .maxAlarm = 4,
                                             .maxSerialUse = 9};

  static settings::TSettingsTables<Tdata7400> MakeTables();
  // Alarm, timing and reset stay.
  static void ClearSetpoint(TSetpointSettings& s);

  int32_t SenseLine = 0;
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
  std::string Dns3 = "0.0.0.0";
  std::string SearchDomain;
  std::array<TPortSettings, 15> Ports{};
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
};

using settings::FilterChars;
using settings::GetField;
using settings::IsStorableText;
using settings::JoinAddress;

}  // namespace w830
