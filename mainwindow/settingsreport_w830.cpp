#include "mainwindow/settingsreport_w830.h"

namespace w830 {

namespace {

using N = TReportWriter;

void Build(const Tdata7400& m, TReportWriter& r) {
  const auto L = &TReportWriter::Latin1;
  r.Line(QStringLiteral("W830 SN:%1 Version %2 ID: %3"), L(m.SerialNumber), L(m.SoftwareVersion), L(m.InstrumentID));
  r.Line(QStringLiteral("Address = %1"), N::Number(m.Address));
  r.Line(QString());
  r.Line(QStringLiteral(" --- BUILD ---"));
  r.Line(QStringLiteral("  Weighing Mode: %1"), r.Item("CBxWeighMode", m.WeighMode));
  r.Line(QStringLiteral("  Units: %1"), r.Item("CBxUnits", m.Units));
  r.Line(QStringLiteral("  Max1 = %1, e1 = %2"), r.Scaled(m.FullScale1), r.Step(m.Resolution1));
  if (m.WeighMode == 1 || m.WeighMode == 2)
    r.Line(QStringLiteral("  Max2 = %1, e2 = %2"), r.Scaled(m.FullScale2), r.Step(m.Resolution2));
  r.Line(QStringLiteral("  High Resolution: %1"), m.HighResolution ? QStringLiteral("on") : QStringLiteral("off"));
  r.Line(QStringLiteral("  Additive Tare Maximum: %1"), r.Scaled(m.TareMax));
  r.Line(QStringLiteral("  Direct Cal mV/V Zero: %1"), r.Text("edtCalDirectZero"));
  r.Line(QStringLiteral("  Direct Cal mV/V Fullscale: %1"), r.Text("edtCalDirectSpan"));
  r.Line(QStringLiteral("  Synch Frequency: %1 Hz"), N::Number(m.SynchFrequency));
  r.Line(QStringLiteral("  Sense Line: %1"), N::Number(m.SenseLine));

  r.Line(QString());
  r.Line(QStringLiteral(" --- OPTION ---"));
  r.Line(QStringLiteral("  Operating Mode: %1"), r.Item("CBxMode", m.OperatingMode));
  r.Line(QStringLiteral("  Average: %1 readings, Jitter: %2"), r.Item("CBxAvSetting", m.Average),
         r.Item("CBxJitter", m.Jitter));
  r.Line(QStringLiteral("  Motion: %1"), r.Item("CBxMotion", m.Motion));
  r.Line(QStringLiteral("  Zero Tracking: %1, Zero Range: %2, Auto Zero: %3, Zero Band: %4"),
         r.Item("CBxZTrac", m.ZeroTracking), r.Item("CBxZRange", m.ZeroRange), r.Item("CBxAZero", m.AutoZero),
         r.Scaled(m.ZeroBand));

  r.Line(QString());
  r.Line(QStringLiteral(" --- SPECIAL ---"));
  r.Line(QStringLiteral("  Buzzer enable: %1"), r.Text("cbBuzEn"));
  r.Line(QStringLiteral("  Brightness: %1"), N::Number(m.Brightness));
  r.Line(QStringLiteral("  Zero key: %1, Tare key: %2, Gross/Net key: %3, F1 key: %4, F2 key: %5, F3 key: %6"),
         r.Item("CBxZBut", m.KeyLock[0]), r.Item("CBxTbut", m.KeyLock[1]), r.Item("CBxGbut", m.KeyLock[2]),
         r.Item("cbF1Enable", m.KeyLock[3]), r.Item("cbF2Enable", m.KeyLock[4]), r.Item("cbF3Enable", m.KeyLock[5]));
  r.Line(QStringLiteral("  Function 1: %1, Function 2: %2, Function 3: %3"), r.Item("cbFunction1", m.FunctionKey[0]),
         r.Item("cbFunction2", m.FunctionKey[1]), r.Item("cbFunction3", m.FunctionKey[2]));
  r.Line(QStringLiteral("  Rem 1: %1, Rem 2: %2, Rem 3: %3 Rem 4: %4 Rem 5: %5 Rem 6: %6 Rem 7: %7 Rem 8: %8"),
         r.Item("CBxRem1", m.RemoteInput[0]), r.Item("CBxRem2", m.RemoteInput[1]), r.Item("CBxRem3", m.RemoteInput[2]),
         r.Item("CBxRem4", m.RemoteInput[3]), r.Item("CBxRem5", m.RemoteInput[4]), r.Item("CBxRem6", m.RemoteInput[5]),
         r.Item("CBxRem7", m.RemoteInput[6]), r.Item("CBxRem8", m.RemoteInput[7]));
  r.Line(QStringLiteral("  Secondary Units: %1"), r.Item("CBSecondaryUnits", m.SecondaryUnits));
  r.Line(QStringLiteral("  Tertiary Units: %1"), r.Item("CBTertiaryUnits", m.TertiaryUnits));
  r.Line(QStringLiteral("  Conversion Factor: %1"), r.Fixed(m.ConversionFactor, 3));
  r.Line(QStringLiteral("  Show LB:OZ: %1"), r.Item("CBShowLbOz", m.ShowLbOz));
  r.Line(QString());

  r.Line(QStringLiteral(" --- ETHERNET ---"));
  r.Line(QStringLiteral("  DHCP: %1"), r.Text("cbEthDHCP"));
  r.Line(QStringLiteral("  Address: %1"), L(m.IPAddress));
  r.Line(QStringLiteral("  Mask: %1"), L(m.NetMask));
  r.Line(QStringLiteral("  Gateway: %1"), L(m.Gateway));
  r.Line(QStringLiteral("  DNS 1: %1"), L(m.Dns1));
  r.Line(QStringLiteral("  DNS 2: %1"), L(m.Dns2));
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
        r.Line(QStringLiteral("  Serial %1: %2, %3, %4, %5, %6, %7, %8, %9"), port, r.Item("cbSerialUse", p.Use),
               r.Item("cbBaud", p.Baud), r.Item("cbParity", p.Parity), r.Item("cbDatabits", p.DataBits),
               r.Item("cbStopbits", p.StopBits), r.Item("cbTermEn", p.Termination), r.Item("cbDtrEn", p.Dtr),
               r.Item("cbHardware", p.Hardware));
    }
  }
  r.Line(QStringLiteral("  Printing"));
  r.Line(QStringLiteral("        Mode: %1"), r.Item("CBxPMode", m.PrintMode));
  r.Line(QStringLiteral("       Space: Rows: %1, Columns: %2"), N::Number(m.PrintRows), N::Number(m.PrintColumns));
  r.Line(QStringLiteral("      Header: %1"), L(m.PrintHeader[0]));
  for (std::size_t i = 1; i < m.PrintHeader.size(); ++i) r.Line(QStringLiteral("             %1"), L(m.PrintHeader[i]));
  r.Line(QStringLiteral("      Format: %1"), L(m.PrintFormat));
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
  lines.clear();
  TReportWriter writer(sources, model.DecimalPoint, decimalChar, lines);
  Build(model, writer);
}

}  // namespace w830
