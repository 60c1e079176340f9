#include "mainwindow/report/settingsreport_w830.h"

namespace w830 {

namespace {

using N = TReportWriter;

void Build(const Tdata7400& m, TReportWriter& r) {
  const auto L = &TReportWriter::Latin1;
  ReportHeadAndBuild(m, "W830", r);
  r.Line(QStringLiteral("  Sense Line: %1"), N::Number(m.SenseLine));
  ReportOptions(m, r);

  r.Line(QString());
  r.Line(QStringLiteral(" --- SPECIAL ---"));
  r.Line(QStringLiteral("  Buzzer enable: %1"), r.Text("cbBuzEn"));
  r.Line(QStringLiteral("  Brightness: %1"), N::Number(m.Brightness));
  r.Line(QStringLiteral("  Zero key: %1, Tare key: %2, Gross/Net key: %3, F1 key: %4, F2 key: %5, F3 key: %6"),
         r.Item("CBxZBut", m.KeyLock[0]), r.Item("CBxTbut", m.KeyLock[1]), r.Item("CBxGbut", m.KeyLock[2]),
         r.Item("cbF1Enable", m.KeyLock[3]), r.Item("cbF2Enable", m.KeyLock[4]), r.Item("cbF3Enable", m.KeyLock[5]));
  r.Line(QStringLiteral("  Function 1: %1, Function 2: %2, Function 3: %3"), r.Item("cbFunction1", m.FunctionKey[0]),
         r.Item("cbFunction2", m.FunctionKey[1]), r.Item("cbFunction3", m.FunctionKey[2]));
  ReportRemoteInputs(m.RemoteInput.data(), r);
  r.Line(QStringLiteral("  Secondary Units: %1"), r.Item("CBSecondaryUnits", m.SecondaryUnits));
  r.Line(QStringLiteral("  Tertiary Units: %1"), r.Item("CBTertiaryUnits", m.TertiaryUnits));
  r.Line(QStringLiteral("  Conversion Factor: %1"), r.Fixed(m.ConversionFactor, 3));
  r.Line(QStringLiteral("  Show LB:OZ: %1"), r.Item("CBShowLbOz", m.ShowLbOz));
  r.Line(QString());

  ReportEthernetAddresses(m, r);
  r.Line(QStringLiteral("  DNS 3: %1"), L(m.Dns3));
  r.Line(QStringLiteral("  MAC Address: %1"), L(m.MacAddress));
  r.Line(QStringLiteral("  Hostname: %1"), L(m.HostName));
  r.Line(QStringLiteral("  Search Domain: %1"), L(m.SearchDomain));
  r.Line(QString());

  r.Line(QStringLiteral(" --- SERIAL ---"));
  for (int k = 0; k < static_cast<int>(m.Ports.size()); ++k) {
    const TPortSettings& p = m.Ports[static_cast<std::size_t>(k)];
    const QString port = N::Number(k + 1);
    switch (k) {
      case 4:
      case 5:
        r.Line(QStringLiteral("  Serial %1: Port: %2 Timeout: %3"), port, N::Number(p.NetPort), N::Number(p.Timeout));
        break;
      case 8:
      case 9:
      case 10:
        break;
      case 11:
      case 12:
        r.Line(QStringLiteral("  Serial %1: UDP Destination: %2:%3"), port, L(p.DestAddress), N::Number(p.NetPort));
        break;
      case 13:
      case 14:
        r.Line(QStringLiteral("  Serial %1: Port: %2"), port, N::Number(p.NetPort));
        break;
      default:
        ReportSerialPort(k + 1, p, r);
    }
  }
  r.Line(QStringLiteral("  Printing"));
  ReportPrinting(m, true, r);
  r.Line(QStringLiteral("      I.Lock: %1"), r.Item("CBPrintInterlock", m.Interlock));
  r.Line(QStringLiteral("  Auto Output"));
  r.Line(QStringLiteral("       Type: %1,  Source: %2"), r.Item("CBxAType", m.AutoType), r.Item("CBxASrc", m.AutoSource));
  r.Line(QStringLiteral("     Format: %1"), L(m.AutoFormat));
  r.Line(QStringLiteral("  Modbus Options"));
  r.Line(QStringLiteral("  Port: %1"), N::Number(m.ModbusPort));
  r.Line(QStringLiteral("  Endian: %1"), r.Item("cbMbEndian", m.ModbusEndian));
  r.Line(QString());

  r.Line(QStringLiteral(" --- SETPOINT ---"));
  for (int n = 1; n <= static_cast<int>(m.Setpoints.size()); ++n) {
    const TSetpointSettings& s = m.Setpoints[static_cast<std::size_t>(n - 1)];
    const bool simple = s.Type == 1 || (s.Type >= 4 && s.Type <= 9);
    const bool weighing = s.Type == 2 || s.Type == 3 || s.Type == 10 || s.Type == 11;
    if (!simple && !weighing) continue;
    r.Line(QStringLiteral("   Setpoint %1:  %2"), N::Number(n), r.Item("CBxSetpType", s.Type));
    if (simple) {
      r.Line(QStringLiteral("       Logic: %1, Alarm: %2, Timing: %3, Reset: %4"), r.Item("CBxSetpLogic", s.Logic),
             r.Item("CBxSetpAlarm", s.Alarm), r.Item("CBSetpTiming", s.Timing), r.Item("CBSetpReset", s.Reset));
    } else {
      r.Line(QStringLiteral("       Source: %1, Logic: %2, Lock: %3, Alarm: %4, Timing: %5, Reset: %6"),
             r.Item("CBxSetpSrc", s.Source), r.Item("CBxSetpLogic", s.Logic), r.Item("CbxSetpLock", s.Lock),
             r.Item("CBxSetpAlarm", s.Alarm), r.Item("CBSetpTiming", s.Timing), r.Item("CBSetpReset", s.Reset));
      r.Line(QStringLiteral("       Target: %1, In-flight: %2, Hysteresis: %3"), r.Scaled(s.Target),
             r.Scaled(s.InFlight), r.Scaled(s.Hysteresis));
    }
  }

  r.Line(QString());
  r.Line(QStringLiteral(" --- SETPOINT OPTIONS ---"));
  r.Line(QStringLiteral("  Jog On Time: %1 ms"), r.Fixed(m.JogOnTime, 0));
  r.Line(QStringLiteral("  Jog Off Time: %1 ms"), r.Fixed(m.JogOffTime, 0));
  r.Line(QStringLiteral("  Jogs In Set: %1"), r.Fixed(m.JogsInSet, 0));
  r.Line(QStringLiteral("  Max Jog Sets: %1"), r.Fixed(m.MaxJogSets, 0));
  r.Line(QStringLiteral("  Feeder Type: %1"), r.Item("CBSetpOptFeederType", m.FeederType));
  r.Line(QStringLiteral("  Delay Check: %1 ms"), r.Fixed(m.DelayCheck, 0));
  r.Line(QString());

  r.Line(QStringLiteral(" --- ANALOG ---"));
  r.Line(QStringLiteral("  Type: %1"), r.Item("cbAnlType", m.AnalogType));
  r.Line(QStringLiteral("  Source: %1"), r.Item("cbAnlSource", m.AnalogSource));
  r.Line(QStringLiteral("  Zero: %1"), N::Number(m.AnalogZero));
  r.Line(QStringLiteral("  Span: %1"), N::Number(m.AnalogSpan));
  r.Line(QStringLiteral("  Force: %1"), N::Number(m.AnalogForce));
  r.Line(QStringLiteral("  Absolute: %1"), N::Number(m.AnalogAbsolute));
  r.Line(QStringLiteral("  Clip: %1"), N::Number(m.AnalogClip));
  r.Line(QString());

  r.Line(QStringLiteral(" --- CLOCK ---"));
  r.Line(QStringLiteral("  Hour: %1"), N::Number(m.ClockHour));
  r.Line(QStringLiteral("  Minute: %1"), N::Number(m.ClockMinute));
  r.Line(QStringLiteral("  Second: %1"), N::Number(m.ClockSecond));
  r.Line(QStringLiteral("  Year: %1"), N::Number(m.ClockYear));
  r.Line(QStringLiteral("  Month: %1"), N::Number(m.ClockMonth));
  r.Line(QStringLiteral("  Day: %1"), N::Number(m.ClockDay));
  r.Line(QStringLiteral("  Time Format: %1"), r.Item("CBTimeFormat", m.TimeFormat));
  r.Line(QStringLiteral("  Date Format: %1"), r.Item("CBDateFormat", m.DateFormat));
  r.Line(QString());

  r.Line(QStringLiteral(" --- MAINTENANCE ---"));
  r.Line(QStringLiteral("  Enabled: %1"), N::Number(m.MaintEnabled));
  r.Line(QStringLiteral("  Year: %1"), N::Number(m.MaintYear));
  r.Line(QStringLiteral("  Month: %1"), N::Number(m.MaintMonth));
  r.Line(QStringLiteral("  Day: %1"), N::Number(m.MaintDay));
}

}  // namespace

void SettingsReport(const Tdata7400& model, const TReportSources& sources, QChar decimalChar, QStringList& lines) {
  BuildReport(Build, model, sources, decimalChar, lines);
}

}  // namespace w830
