#include "mainwindow/report/settingsreport_w840.h"

namespace w840 {
namespace {

using N = TReportWriter;

// Setpoint types by how much the report tells of them: "Active" in full, "Error"
// and "Net" (and any type from 4 to 8) with their alarm only, the rest without logic.
constexpr int32_t kActive = 1;
bool AlarmOnly(int32_t type) { return type >= 4 && type <= 8; }

void Setpoints(const Tdata7400& m, TReportWriter& r) {
  r.Line(QStringLiteral(" --- SETPOINT ---"));
  for (int n = 1; n <= static_cast<int>(m.Setpoints.size()); ++n) {
    const TSetpointSettings& s = m.Setpoints[static_cast<std::size_t>(n - 1)];
    if (s.Type == 0) continue;
    const QString type = r.Item("CBxSetpType", s.Type);
    if (AlarmOnly(s.Type)) {
      r.Line(QStringLiteral("   Setpoint %1:  %2,   Alarm: %3"), N::Number(n), type, r.Item("CBxSetpAlarm", s.Alarm));
      continue;
    }
    r.Line(QStringLiteral("   Setpoint %1:  %2"), N::Number(n), type);
    if (s.Type == kActive) {
      r.Line(QStringLiteral("          Source: %1, Direction: %2, Logic: %3, Lock: %4, Alarm: %5"),
             r.Item("CBxSetpSrc", s.Source), r.Item("CBxSetpDirn", s.Direction), r.Item("CBxSetpLogic", s.Logic),
             r.Item("CbxSetpLock", s.Lock), r.Item("CBxSetpAlarm", s.Alarm));
      r.Line(QStringLiteral("       In-flight: %1, Hysteresis: %2"), r.Scaled(s.InFlight), r.Scaled(s.Hysteresis));
    } else {
      r.Line(QStringLiteral("          Source: %1, Direction: %2  Lock: %3, Alarm: %4"), r.Item("CBxSetpSrc", s.Source),
             r.Item("CBxSetpDirn", s.Direction), r.Item("CbxSetpLock", s.Lock), r.Item("CBxSetpAlarm", s.Alarm));
      r.Line(QStringLiteral("       In-flight: %1, Tolerance: %2"), r.Scaled(s.InFlight), r.Scaled(s.Hysteresis));
    }
  }
}

void Build(const Tdata7400& m, TReportWriter& r) {
  const auto L = &TReportWriter::Latin1;
  ReportHeadAndBuild(m, "W840", r);
  ReportOptions(m, r);

  r.Line(QString());
  r.Line(QStringLiteral(" --- SPECIAL ---"));
  r.Line(QStringLiteral("  Buzzer enable: %1"), r.Text("cbBuzEn"));
  r.Line(QStringLiteral("  Zero key: %1, Tare key: %2, Gross/Net key: %3, Print key: %4, Function key: %5"),
         r.Item("CBxZBut", m.KeyLock[0]), r.Item("CBxTbut", m.KeyLock[1]), r.Item("CBxGbut", m.KeyLock[2]),
         r.Item("CBxPbut", m.KeyLock[3]), r.Item("CBxFbut", m.KeyLock[4]));
  r.Line(QStringLiteral("  Function: %1"), r.Item("cbFunctionKey", m.RemoteInput[0]));
  ReportRemoteInputs(m.RemoteInput.data() + 1, r);
  r.Line(QString());

  ReportEthernetAddresses(m, r);
  r.Line(QStringLiteral("  MAC Address: %1"), L(m.MacAddress));
  r.Line(QStringLiteral("  Hostname: %1"), L(m.HostName));
  r.Line(QString());

  r.Line(QStringLiteral(" --- SERIAL ---"));
  for (std::size_t k = 0; k < m.SerialPorts.size(); ++k) ReportSerialPort(static_cast<int>(k + 1), m.SerialPorts[k], r);
  for (std::size_t k = 0; k < m.NetPorts.size(); ++k)
    r.Line(QStringLiteral("  Serial %1: Port: %2"), N::Number(static_cast<int32_t>(k) + Tdata7400::kFirstNetPort),
           N::Number(m.NetPorts[k]));
  r.Line(QStringLiteral("  Printing"));
  ReportPrinting(m, false, r);
  r.Line(QStringLiteral("  Auto Output"));
  r.Line(QStringLiteral("       Type: %1,  Source: %2"), r.Item("CBxAType", m.AutoType), r.Item("CBxASrc", m.AutoSource));
  r.Line(QStringLiteral("     Format: %1"), L(m.AutoFormat));
  r.Line(QString());
  Setpoints(m, r);
}

}  // namespace

void SettingsReport(const Tdata7400& model, const TReportSources& sources, QChar decimalChar, QStringList& lines) {
  BuildReport(Build, model, sources, decimalChar, lines);
}

}  // namespace w840
