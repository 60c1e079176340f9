#pragma once
// The W840 indicator's settings: those it shares with the W830 (in TSettingsModel)
// and its own, with the W840's tables for the settings engine. The W840 has five
// front keys, nine remote key functions numbered from 0, four serial ports and two
// network ports, and setpoints with a direction.
#include <array>
#include <cstdint>

#include "protocol/settingsengine.h"

namespace w840 {

struct TSetpointSettings {
  int32_t Type = 0;
  int32_t Source = 0;
  int32_t Direction = 0;
  int32_t Logic = 0;
  int32_t Lock = 0;
  int32_t Alarm = 0;
  int32_t InFlight = 0;
  int32_t Hysteresis = 0;
  int32_t Target = 0;

  bool operator==(const TSetpointSettings&) const = default;
};

using settings::TSerialPort;

class Tdata7400 final : public settings::TTableModel<Tdata7400> {
 public:
  // Weigh mode 3 is Direct, which the W830 lacks.
  static constexpr settings::TLimits kLimits{.weighModes = 4, .maxOperatingMode = 1, .maxUnits = 4,
                                             .maxMotion = 12, .firstRemoteInput = 0, .maxRemoteFunction = 21,
                                             .firstWfpReply = 1, .maxSetpointType = 50, .maxAlarm = 3,
                                             .maxSerialUse = 7};
  static constexpr int32_t kMaxWfp = 6;
  static constexpr int32_t kDirectWeighMode = 3;
  static constexpr int kFirstNetPort = 5;

  static settings::TSettingsTables<Tdata7400> MakeTables();
  // Alarm and target stay.
  static void ClearSetpoint(TSetpointSettings& s);
  // A port above the last one the pages show is kept as that last one.
  void SetWFP(int32_t value) override { TSettingsModel::SetWFP(value > kMaxWfp ? kMaxWfp : value); }

  std::array<int32_t, 5> KeyLock{1, 1, 1, 1, 1};
  // Entry 0 is the front Function key's function, entries 1..8 the remote inputs.
  std::array<int32_t, 9> RemoteInput{};
  std::array<TSetpointSettings, 8> Setpoints{};  // setpoint n is index n-1
  std::array<TSerialPort, 4> SerialPorts{};      // port n is index n-1
  std::array<int32_t, 2> NetPorts{2222, 2223};   // port n is index n-kFirstNetPort

  bool operator==(const Tdata7400&) const = default;
};

using settings::FilterChars;
using settings::GetField;
using settings::IsStorableText;
using settings::JoinAddress;

}  // namespace w840
