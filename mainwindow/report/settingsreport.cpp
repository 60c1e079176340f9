#include "mainwindow/report/settingsreport.h"

#include <iterator>

#include "protocol/settingsengine.h"
#include "protocol/tools.h"

QString TReportWriter::Item(const char* box, int32_t value) const {
  const QStringList items = sources_.Items(QString::fromLatin1(box));
  return value >= 0 && value < items.size() ? items[value] : Number(value);
}

QString TReportWriter::Fixed(int32_t value, int decimals) const {
  return Latin1(IntToFixedStr(value, decimals, decimalChar_.toLatin1()));
}

QString TReportWriter::Step(int32_t resolution) const {
  if (resolution < 0 || resolution >= static_cast<int32_t>(std::size(ResolutionSteps))) return Number(resolution);
  return Scaled(ResolutionSteps[resolution]);
}

QString TReportWriter::Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

void ReportHeadAndBuild(const TSettingsModel& m, const char* model, TReportWriter& r) {
  const auto L = &TReportWriter::Latin1;
  r.Line(QStringLiteral("%1 SN:%2 Version %3 ID: %4"), QString::fromLatin1(model), L(m.SerialNumber),
         L(m.SoftwareVersion), L(m.InstrumentID));
  r.Line(QStringLiteral("Address = %1"), TReportWriter::Number(m.Address));
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
  r.Line(QStringLiteral("  Synch Frequency: %1 Hz"), TReportWriter::Number(m.SynchFrequency));
}

void ReportOptions(const TSettingsModel& m, TReportWriter& r) {
  r.Line(QString());
  r.Line(QStringLiteral(" --- OPTION ---"));
  r.Line(QStringLiteral("  Operating Mode: %1"), r.Item("CBxMode", m.OperatingMode));
  r.Line(QStringLiteral("  Average: %1 readings, Jitter: %2"), r.Item("CBxAvSetting", m.Average),
         r.Item("CBxJitter", m.Jitter));
  r.Line(QStringLiteral("  Motion: %1"), r.Item("CBxMotion", m.Motion));
  r.Line(QStringLiteral("  Zero Tracking: %1, Zero Range: %2, Auto Zero: %3, Zero Band: %4"),
         r.Item("CBxZTrac", m.ZeroTracking), r.Item("CBxZRange", m.ZeroRange), r.Item("CBxAZero", m.AutoZero),
         r.Scaled(m.ZeroBand));
}

void ReportEthernetAddresses(const TSettingsModel& m, TReportWriter& r) {
  const auto L = &TReportWriter::Latin1;
  r.Line(QStringLiteral(" --- ETHERNET ---"));
  r.Line(QStringLiteral("  DHCP: %1"), r.Text("cbEthDHCP"));
  r.Line(QStringLiteral("  Address: %1"), L(m.IPAddress));
  r.Line(QStringLiteral("  Mask: %1"), L(m.NetMask));
  r.Line(QStringLiteral("  Gateway: %1"), L(m.Gateway));
  r.Line(QStringLiteral("  DNS 1: %1"), L(m.Dns1));
  r.Line(QStringLiteral("  DNS 2: %1"), L(m.Dns2));
}

void ReportRemoteInputs(const int32_t* inputs, TReportWriter& r) {
  r.Line(QStringLiteral("  Rem 1: %1, Rem 2: %2, Rem 3: %3 Rem 4: %4 Rem 5: %5 Rem 6: %6 Rem 7: %7 Rem 8: %8"),
         r.Item("CBxRem1", inputs[0]), r.Item("CBxRem2", inputs[1]), r.Item("CBxRem3", inputs[2]),
         r.Item("CBxRem4", inputs[3]), r.Item("CBxRem5", inputs[4]), r.Item("CBxRem6", inputs[5]),
         r.Item("CBxRem7", inputs[6]), r.Item("CBxRem8", inputs[7]));
}

void ReportSerialPort(int port, const settings::TSerialPort& p, TReportWriter& r) {
  r.Line(QStringLiteral("  Serial %1: %2, %3, %4, %5, %6, %7, %8, %9"), TReportWriter::Number(port),
         r.Item("cbSerialUse", p.Use), r.Item("cbBaud", p.Baud), r.Item("cbParity", p.Parity),
         r.Item("cbDatabits", p.DataBits), r.Item("cbStopbits", p.StopBits), r.Item("cbTermEn", p.Termination),
         r.Item("cbDtrEn", p.Dtr), r.Item("cbHardware", p.Hardware));
}

void ReportPrinting(const TSettingsModel& m, bool extraIndent, TReportWriter& r) {
  const auto L = &TReportWriter::Latin1;
  const QString pad = extraIndent ? QStringLiteral(" ") : QString();
  r.Line(pad + QStringLiteral("       Mode: %1"), r.Item("CBxPMode", m.PrintMode));
  r.Line(pad + QStringLiteral("      Space: Rows: %1, Columns: %2"), TReportWriter::Number(m.PrintRows),
         TReportWriter::Number(m.PrintColumns));
  r.Line(pad + QStringLiteral("     Header: %1"), L(m.PrintHeader[0]));
  for (std::size_t i = 1; i < m.PrintHeader.size(); ++i) r.Line(QStringLiteral("             %1"), L(m.PrintHeader[i]));
  r.Line(pad + QStringLiteral("     Format: %1"), L(m.PrintFormat));
}
