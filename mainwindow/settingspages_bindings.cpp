#include "mainwindow/settingspages_bindings.h"

using w830::Tdata7400;

const std::vector<TComboBinding>& ComboBindings() {
  static const std::vector<TComboBinding> b = [] {
    std::vector<TComboBinding> v = {
        {"CBxWeighMode", Field([](Tdata7400& m) -> auto& { return m.WeighMode; })},
        {"CBxUnits", Field([](Tdata7400& m) -> auto& { return m.Units; })},
        {"CBxRes1", Field([](Tdata7400& m) -> auto& { return m.Resolution1; })},
        {"CBxRes2", Field([](Tdata7400& m) -> auto& { return m.Resolution2; })},
        {"CBxMode", Field([](Tdata7400& m) -> auto& { return m.OperatingMode; })},
        {"CBxAvSetting", Field([](Tdata7400& m) -> auto& { return m.Average; })},
        {"CBxJitter", Field([](Tdata7400& m) -> auto& { return m.Jitter; })},
        {"CBxMotion", Field([](Tdata7400& m) -> auto& { return m.Motion; })},
        {"CBxAZero", Field([](Tdata7400& m) -> auto& { return m.AutoZero; })},
        {"CBxZTrac", Field([](Tdata7400& m) -> auto& { return m.ZeroTracking; })},
        {"CBxZRange", Field([](Tdata7400& m) -> auto& { return m.ZeroRange; })},
        {"CBxZBut", Field([](Tdata7400& m) -> auto& { return m.KeyLock[0]; })},
        {"CBxTbut", Field([](Tdata7400& m) -> auto& { return m.KeyLock[1]; })},
        {"CBxGbut", Field([](Tdata7400& m) -> auto& { return m.KeyLock[2]; })},
        {"cbF1Enable", Field([](Tdata7400& m) -> auto& { return m.KeyLock[3]; })},
        {"cbF2Enable", Field([](Tdata7400& m) -> auto& { return m.KeyLock[4]; })},
        {"cbF3Enable", Field([](Tdata7400& m) -> auto& { return m.KeyLock[5]; })},
        {"cbFunction1", Field([](Tdata7400& m) -> auto& { return m.FunctionKey[0]; })},
        {"cbFunction2", Field([](Tdata7400& m) -> auto& { return m.FunctionKey[1]; })},
        {"cbFunction3", Field([](Tdata7400& m) -> auto& { return m.FunctionKey[2]; })},
        {"cbBuzEn", Field([](Tdata7400& m) -> auto& { return m.BuzzerEnable; })},
        {"cbBrightness", Field([](Tdata7400& m) -> auto& { return m.Brightness; })},
        {"CBSecondaryUnits", Field([](Tdata7400& m) -> auto& { return m.SecondaryUnits; })},
        {"CBTertiaryUnits", Field([](Tdata7400& m) -> auto& { return m.TertiaryUnits; })},
        {"CBShowLbOz", Field([](Tdata7400& m) -> auto& { return m.ShowLbOz; })},
        {"cbAddress", Field([](Tdata7400& m) -> auto& { return m.Address; })},
        {"CBxPMode", Field([](Tdata7400& m) -> auto& { return m.PrintMode; })},
        {"CBPrintInterlock", Field([](Tdata7400& m) -> auto& { return m.Interlock; })},
        {"CBxAType", Field([](Tdata7400& m) -> auto& { return m.AutoType; })},
        {"CBxASrc", Field([](Tdata7400& m) -> auto& { return m.AutoSource; })},
        {"cbMbEndian", Field([](Tdata7400& m) -> auto& { return m.ModbusEndian; })},
        {"cbUdpDest1Use", Field([](Tdata7400& m) -> auto& { return m.Ports[11].Use; })},
        {"cbUdpDest2Use", Field([](Tdata7400& m) -> auto& { return m.Ports[12].Use; })},
        {"cbUdpListen1Use", Field([](Tdata7400& m) -> auto& { return m.Ports[13].Use; })},
        {"cbUdpListen2Use", Field([](Tdata7400& m) -> auto& { return m.Ports[14].Use; })},
        {"cbEthDHCP", Field([](Tdata7400& m) -> auto& { return m.Dhcp; })},
        {"CBSetpOptFeederType", Field([](Tdata7400& m) -> auto& { return m.FeederType; })},
        {"cbAnlType", Field([](Tdata7400& m) -> auto& { return m.AnalogType; })},
        {"cbAnlSource", Field([](Tdata7400& m) -> auto& { return m.AnalogSource; })},
        {"CBTimeFormat", Field([](Tdata7400& m) -> auto& { return m.TimeFormat; })},
        {"CBDateFormat", Field([](Tdata7400& m) -> auto& { return m.DateFormat; })},
        {"cbQafDay", Field([](Tdata7400& m) -> auto& { return m.MaintDay; }), 1},
        {"cbQafMonth", Field([](Tdata7400& m) -> auto& { return m.MaintMonth; }), 1},
        {"cbQafYear", Field([](Tdata7400& m) -> auto& { return m.MaintYear; })},
    };
    static const char* const kRemote[] = {"CBxRem1", "CBxRem2", "CBxRem3", "CBxRem4",
                                          "CBxRem5", "CBxRem6", "CBxRem7", "CBxRem8"};
    for (std::size_t i = 0; i < 8; ++i)
      v.push_back({kRemote[i], Field([i](Tdata7400& m) -> auto& { return m.RemoteInput[i]; })});
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

const std::vector<TComboBinding>& CheckBindings() {
  static const std::vector<TComboBinding> b = {
      {"CkBHiRes", Field([](Tdata7400& m) -> auto& { return m.HighResolution; })},
      {"CkBSenseLine", Field([](Tdata7400& m) -> auto& { return m.SenseLine; })},
      {"CkBAbsolute", Field([](Tdata7400& m) -> auto& { return m.AnalogAbsolute; })},
      {"CkBClip", Field([](Tdata7400& m) -> auto& { return m.AnalogClip; })},
      {"CkBQafEnable", Field([](Tdata7400& m) -> auto& { return m.MaintEnabled; })},
  };
  return b;
}

const std::vector<TEditBinding>& EditBindings() {
  using K = TEditBinding;
  static const std::vector<TEditBinding> b = {
      {"edtAddTare", Field([](Tdata7400& m) -> auto& { return m.TareMax; }), K::kScaled},
      {"EdtFS1", Field([](Tdata7400& m) -> auto& { return m.FullScale1; }), K::kScaled},
      {"EdtFs2", Field([](Tdata7400& m) -> auto& { return m.FullScale2; }), K::kScaled},
      {"EdtZband", Field([](Tdata7400& m) -> auto& { return m.ZeroBand; }), K::kScaled},
      {"EdtConversionFactor", Field([](Tdata7400& m) -> auto& { return m.ConversionFactor; }), K::kThousandths},
      {"EdtSetpJogOn", Field([](Tdata7400& m) -> auto& { return m.JogOnTime; }), K::kInteger},
      {"EdtSetpJogOff", Field([](Tdata7400& m) -> auto& { return m.JogOffTime; }), K::kInteger},
      {"EdtSetpOptJogSet", Field([](Tdata7400& m) -> auto& { return m.JogsInSet; }), K::kInteger},
      {"EdtSetpOptMaxJogSets", Field([](Tdata7400& m) -> auto& { return m.MaxJogSets; }), K::kInteger},
      {"EdtSetpOptDelayCheck", Field([](Tdata7400& m) -> auto& { return m.DelayCheck; }), K::kInteger},
      {"EdtMbPort", Field([](Tdata7400& m) -> auto& { return m.ModbusPort; }), K::kInteger},
      {"EdtAnlZero", Field([](Tdata7400& m) -> auto& { return m.AnalogZero; }), K::kInteger},
      {"EdtAnlSpan", Field([](Tdata7400& m) -> auto& { return m.AnalogSpan; }), K::kInteger},
      {"edtSerialNetPort", Field([](Tdata7400& m) -> auto& { return m.Ports[4].NetPort; }), K::kInteger},
      {"edtSerialNetTimeout", Field([](Tdata7400& m) -> auto& { return m.Ports[4].Timeout; }), K::kInteger},
      {"edtSerialAutoPort", Field([](Tdata7400& m) -> auto& { return m.Ports[5].NetPort; }), K::kInteger},
      {"edtSerialAutoTimeout", Field([](Tdata7400& m) -> auto& { return m.Ports[5].Timeout; }), K::kInteger},
      {"edtUdpDest1", Field([](Tdata7400& m) -> auto& { return m.Ports[11].NetPort; }), K::kInteger},
      {"edtUdpDest2", Field([](Tdata7400& m) -> auto& { return m.Ports[12].NetPort; }), K::kInteger},
      {"edtUdpListen1", Field([](Tdata7400& m) -> auto& { return m.Ports[13].NetPort; }), K::kInteger},
      {"edtUdpListen2", Field([](Tdata7400& m) -> auto& { return m.Ports[14].NetPort; }), K::kInteger},
  };
  return b;
}

const std::vector<TTextBinding>& TextBindings() {
  static const std::vector<TTextBinding> b = {
      {"EdtID", [](Tdata7400& m) -> std::string& { return m.InstrumentID; }},
      {"EdtPFmt", [](Tdata7400& m) -> std::string& { return m.PrintFormat; }},
      {"EdtAFmt", [](Tdata7400& m) -> std::string& { return m.AutoFormat; }},
      {"edtEthHostname", [](Tdata7400& m) -> std::string& { return m.HostName; }},
      {"edtEthSearchDomain", [](Tdata7400& m) -> std::string& { return m.SearchDomain; }},
  };
  return b;
}

const std::vector<TAddressBinding>& AddressBindings() {
  static const std::vector<TAddressBinding> b = {
      {"edtEthAddr", [](Tdata7400& m) -> std::string& { return m.IPAddress; }},
      {"edtEthMask", [](Tdata7400& m) -> std::string& { return m.NetMask; }},
      {"edtEthGW", [](Tdata7400& m) -> std::string& { return m.Gateway; }},
      {"edtEthDns1Octet", [](Tdata7400& m) -> std::string& { return m.Dns1; }},
      {"edtEthDns2Octet", [](Tdata7400& m) -> std::string& { return m.Dns2; }},
      {"edtEthDns3Octet", [](Tdata7400& m) -> std::string& { return m.Dns3; }},
      {"edtDest1IP", [](Tdata7400& m) -> std::string& { return m.Ports[11].DestAddress; }},
      {"edtDest2IP", [](Tdata7400& m) -> std::string& { return m.Ports[12].DestAddress; }},
  };
  return b;
}
