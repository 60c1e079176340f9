#include "mainwindow/settings/settingspages_bindings.h"

#include "protocol/database.h"

using w830::Tdata7400;

const TPageBindings& W830Bindings() {
  using K = TEditBinding;
  using S = w830::TSetpointSettings;
  static const TPageBindings b = [] {
    TPageBindings v = {
        .combos =
            {
                {"cbFunction1", Field([](Tdata7400& m) -> auto& { return m.FunctionKey[0]; })},
                {"cbFunction2", Field([](Tdata7400& m) -> auto& { return m.FunctionKey[1]; })},
                {"cbFunction3", Field([](Tdata7400& m) -> auto& { return m.FunctionKey[2]; })},
                {"cbBrightness", Field([](Tdata7400& m) -> auto& { return m.Brightness; })},
                {"CBSecondaryUnits", Field([](Tdata7400& m) -> auto& { return m.SecondaryUnits; })},
                {"CBTertiaryUnits", Field([](Tdata7400& m) -> auto& { return m.TertiaryUnits; })},
                {"CBShowLbOz", Field([](Tdata7400& m) -> auto& { return m.ShowLbOz; })},
                {"CBPrintInterlock", Field([](Tdata7400& m) -> auto& { return m.Interlock; })},
                {"cbMbEndian", Field([](Tdata7400& m) -> auto& { return m.ModbusEndian; })},
                {"cbUdpDest1Use", Field([](Tdata7400& m) -> auto& { return m.Ports[11].Use; })},
                {"cbUdpDest2Use", Field([](Tdata7400& m) -> auto& { return m.Ports[12].Use; })},
                {"cbUdpListen1Use", Field([](Tdata7400& m) -> auto& { return m.Ports[13].Use; })},
                {"cbUdpListen2Use", Field([](Tdata7400& m) -> auto& { return m.Ports[14].Use; })},
                {"CBSetpOptFeederType", Field([](Tdata7400& m) -> auto& { return m.FeederType; })},
                {"cbAnlType", Field([](Tdata7400& m) -> auto& { return m.AnalogType; })},
                {"cbAnlSource", Field([](Tdata7400& m) -> auto& { return m.AnalogSource; })},
                {"CBTimeFormat", Field([](Tdata7400& m) -> auto& { return m.TimeFormat; })},
                {"CBDateFormat", Field([](Tdata7400& m) -> auto& { return m.DateFormat; })},
                {"cbQafDay", Field([](Tdata7400& m) -> auto& { return m.MaintDay; }), 1},
                {"cbQafMonth", Field([](Tdata7400& m) -> auto& { return m.MaintMonth; }), 1},
                {"cbQafYear", Field([](Tdata7400& m) -> auto& { return m.MaintYear; })},
            },
        .checks =
            {
                {"CkBSenseLine", Field([](Tdata7400& m) -> auto& { return m.SenseLine; })},
                {"CkBAbsolute", Field([](Tdata7400& m) -> auto& { return m.AnalogAbsolute; })},
                {"CkBClip", Field([](Tdata7400& m) -> auto& { return m.AnalogClip; })},
                {"CkBQafEnable", Field([](Tdata7400& m) -> auto& { return m.MaintEnabled; })},
            },
        .edits =
            {
                {"EdtConversionFactor", Field([](Tdata7400& m) -> auto& { return m.ConversionFactor; }), K::kThousandths, {1, 999999}},
                {"EdtSetpJogOn", Field([](Tdata7400& m) -> auto& { return m.JogOnTime; }), K::kInteger, {100, 60000}},
                {"EdtSetpJogOff", Field([](Tdata7400& m) -> auto& { return m.JogOffTime; }), K::kInteger, {100, 60000}},
                {"EdtSetpOptJogSet", Field([](Tdata7400& m) -> auto& { return m.JogsInSet; }), K::kInteger, {1, 20}},
                {"EdtSetpOptMaxJogSets", Field([](Tdata7400& m) -> auto& { return m.MaxJogSets; }), K::kInteger, {0, 20}},
                {"EdtSetpOptDelayCheck", Field([](Tdata7400& m) -> auto& { return m.DelayCheck; }), K::kInteger, {0, 60000}},
                {"EdtMbPort", Field([](Tdata7400& m) -> auto& { return m.ModbusPort; }), K::kInteger, {502, 65535}},
                {"EdtAnlZero", Field([](Tdata7400& m) -> auto& { return m.AnalogZero; }), K::kInteger, {0, 65535}},
                {"EdtAnlSpan", Field([](Tdata7400& m) -> auto& { return m.AnalogSpan; }), K::kInteger, {0, 65535}},
                {"edtSerialNetPort", Field([](Tdata7400& m) -> auto& { return m.Ports[4].NetPort; }), K::kInteger, {0, 65535}},
                {"edtSerialNetTimeout", Field([](Tdata7400& m) -> auto& { return m.Ports[4].Timeout; }), K::kInteger, {0, 86400}},
                {"edtSerialAutoPort", Field([](Tdata7400& m) -> auto& { return m.Ports[5].NetPort; }), K::kInteger, {0, 65535}},
                {"edtSerialAutoTimeout", Field([](Tdata7400& m) -> auto& { return m.Ports[5].Timeout; }), K::kInteger, {0, 86400}},
                {"edtUdpDest1", Field([](Tdata7400& m) -> auto& { return m.Ports[11].NetPort; }), K::kInteger, {0, 65535}},
                {"edtUdpDest2", Field([](Tdata7400& m) -> auto& { return m.Ports[12].NetPort; }), K::kInteger, {0, 65535}},
                {"edtUdpListen1", Field([](Tdata7400& m) -> auto& { return m.Ports[13].NetPort; }), K::kInteger, {0, 65535}},
                {"edtUdpListen2", Field([](Tdata7400& m) -> auto& { return m.Ports[14].NetPort; }), K::kInteger, {0, 65535}},
            },
        .texts = {
            {"edtEthSearchDomain", Text([](Tdata7400& m) -> std::string& { return m.SearchDomain; })},
        },
        .addresses =
            {
                {"edtEthDns1Octet", Text([](Tdata7400& m) -> std::string& { return m.Dns1; })},
                {"edtEthDns2Octet", Text([](Tdata7400& m) -> std::string& { return m.Dns2; })},
                {"edtEthDns3Octet", Text([](Tdata7400& m) -> std::string& { return m.Dns3; })},
                {"edtDest1IP", Text([](Tdata7400& m) -> std::string& { return m.Ports[11].DestAddress; })},
                {"edtDest2IP", Text([](Tdata7400& m) -> std::string& { return m.Ports[12].DestAddress; })},
            },
        .setpointCombos = SetpointCombos<Tdata7400>(
            {{"CBSetpTiming", SetpointMember<Tdata7400>(&S::Timing)}, {"CBSetpReset", SetpointMember<Tdata7400>(&S::Reset)}}),
        .setpointEdits = SetpointEdits<Tdata7400>("EdtInflight", "lblInflightUnits", "EdtHysteresis",
                                                  "lblHysteresisUnits", "lblTargetUnits"),
        .unitLabels = {"lblFS1Units", "lblFS2Units", "lblZbandUnits", "lblAddTareUnits"},
    };
    const auto keys =
        KeyLockCombos<Tdata7400>({"CBxZBut", "CBxTbut", "CBxGbut", "cbF1Enable", "cbF2Enable", "cbF3Enable"});
    const auto remotes = RemoteInputCombos<Tdata7400>(0);
    v.combos.insert(v.combos.end(), keys.begin(), keys.end());
    v.combos.insert(v.combos.end(), remotes.begin(), remotes.end());
    return v;
  }();
  return b;
}

const std::vector<TComboBinding>& ClockBindings() {
  static const std::vector<TComboBinding> b = {
      {"cbClkHour", Field([](Tdata7400& m) -> auto& { return m.ClockHour; })},
      {"cbClkMinute", Field([](Tdata7400& m) -> auto& { return m.ClockMinute; })},
      {"cbClkSecond", Field([](Tdata7400& m) -> auto& { return m.ClockSecond; })},
      {"cbClkYear", Field([](Tdata7400& m) -> auto& { return m.ClockYear; })},
      {"cbClkMonth", Field([](Tdata7400& m) -> auto& { return m.ClockMonth; }), 1},
      {"cbClkDay", Field([](Tdata7400& m) -> auto& { return m.ClockDay; }), 1},
  };
  return b;
}
