#include "mainwindow/settings/settingsbindings.h"

const TPageBindings& SharedBindings() {
  using K = TEditBinding;
  static const TPageBindings b = {
      .combos =
          {
              {"CBxWeighMode", Field([](TSettingsModel& m) -> auto& { return m.WeighMode; })},
              {"CBxUnits", Field([](TSettingsModel& m) -> auto& { return m.Units; })},
              {"CBxRes1", Field([](TSettingsModel& m) -> auto& { return m.Resolution1; })},
              {"CBxRes2", Field([](TSettingsModel& m) -> auto& { return m.Resolution2; })},
              {"CBxMode", Field([](TSettingsModel& m) -> auto& { return m.OperatingMode; })},
              {"CBxAvSetting", Field([](TSettingsModel& m) -> auto& { return m.Average; })},
              {"CBxJitter", Field([](TSettingsModel& m) -> auto& { return m.Jitter; })},
              {"CBxMotion", Field([](TSettingsModel& m) -> auto& { return m.Motion; })},
              {"CBxAZero", Field([](TSettingsModel& m) -> auto& { return m.AutoZero; })},
              {"CBxZTrac", Field([](TSettingsModel& m) -> auto& { return m.ZeroTracking; })},
              {"CBxZRange", Field([](TSettingsModel& m) -> auto& { return m.ZeroRange; })},
              {"cbBuzEn", Field([](TSettingsModel& m) -> auto& { return m.BuzzerEnable; })},
              {"cbAddress", Field([](TSettingsModel& m) -> auto& { return m.Address; })},
              {"CBxPMode", Field([](TSettingsModel& m) -> auto& { return m.PrintMode; })},
              {"CBxAType", Field([](TSettingsModel& m) -> auto& { return m.AutoType; })},
              {"CBxASrc", Field([](TSettingsModel& m) -> auto& { return m.AutoSource; })},
              {"cbEthDHCP", Field([](TSettingsModel& m) -> auto& { return m.Dhcp; })},
          },
      .checks = {{"CkBHiRes", Field([](TSettingsModel& m) -> auto& { return m.HighResolution; })}},
      .edits =
          {
              {"edtAddTare", Field([](TSettingsModel& m) -> auto& { return m.TareMax; }), K::kScaled, {0, 999999}},
              {"EdtFS1", Field([](TSettingsModel& m) -> auto& { return m.FullScale1; }), K::kScaled, {0, 999999}},
              {"EdtFs2", Field([](TSettingsModel& m) -> auto& { return m.FullScale2; }), K::kScaled, {0, 999999}},
              {"EdtZband", Field([](TSettingsModel& m) -> auto& { return m.ZeroBand; }), K::kScaled, {0, 999999}},
          },
      .texts =
          {
              {"EdtID", Text([](TSettingsModel& m) -> std::string& { return m.InstrumentID; })},
              {"EdtPFmt", Text([](TSettingsModel& m) -> std::string& { return m.PrintFormat; })},
              {"EdtAFmt", Text([](TSettingsModel& m) -> std::string& { return m.AutoFormat; })},
              {"edtEthHostname", Text([](TSettingsModel& m) -> std::string& { return m.HostName; })},
          },
      .addresses =
          {
              {"edtEthAddr", Text([](TSettingsModel& m) -> std::string& { return m.IPAddress; })},
              {"edtEthMask", Text([](TSettingsModel& m) -> std::string& { return m.NetMask; })},
              {"edtEthGW", Text([](TSettingsModel& m) -> std::string& { return m.Gateway; })},
          },
  };
  return b;
}
