// The W840 settings report in the words of the W840's own pages: each section, the
// one range of the Direct weigh mode, the serial and network ports, and the three
// ways a setpoint is reported (the calibration page's mV/V edits are not shown here).
#include "mainwindow/report/settingsreport_w840.h"

#include <gtest/gtest.h>

#include "mainwindow/report/reportsources.h"
#include "mainwindow/settings/settingspages840.h"

namespace {

TEST(SettingsReport840, ReadsAsTheW840sPagesShowTheSettings) {
  w840::Tdata7400 m;
  m.SerialNumber = "SN7";
  m.SoftwareVersion = "1.07";
  m.InstrumentID = "Bay 7";
  m.Address = 3;
  m.WeighMode = 3;  // Direct: one range
  m.DecimalPoint = 1;
  m.RemoteInput = {3, 1, 0, 0, 0, 0, 0, 0, 17};
  m.KeyLock[4] = 0;
  m.SerialPorts[1] = {5, 6, 2, 1, 1, 1, 1, 1};
  m.NetPorts = {4001, 4002};
  m.PrintHeader[1] = "Two";
  m.Setpoints[0] = {1, 1, 1, 1, 1, 2, 25, 5, 100};
  m.Setpoints[2] = {4, 0, 0, 0, 0, 3, 0, 0, 0};
  m.Setpoints[5] = {3, 0, 1, 0, 1, 0, 10, 20, 0};
  w840::TSettingsPages pages;
  pages.SetModel(&m);
  pages.SettingsToControls(false);
  QStringList lines;
  w840::SettingsReport(m, TControlReportSources({&pages}), u'.', lines);
  const QStringList want = {
      "W840 SN:SN7 Version 1.07 ID: Bay 7",
      "Address = 3",
      "",
      " --- BUILD ---",
      "  Weighing Mode: Direct",
      "  Units: kg",
      "  Max1 = 400.0, e1 = 0.1",
      "  High Resolution: off",
      "  Additive Tare Maximum: 0.0",
      "  Direct Cal mV/V Zero: ",
      "  Direct Cal mV/V Fullscale: ",
      "  Synch Frequency: 50 Hz",
      "",
      " --- OPTION ---",
      "  Operating Mode: Trade",
      "  Average: 1 readings, Jitter: Off",
      "  Motion: 0.5 div in 1 second",
      "  Zero Tracking: None, Zero Range: -1% to 3%, Auto Zero: Off, Zero Band: 0.0",
      "",
      " --- SPECIAL ---",
      "  Buzzer enable: Off",
      "  Zero key: Normal, Tare key: Normal, Gross/Net key: Normal, Print key: Normal, Function key: Lock",
      "  Function: Memory - (Undo)",
      "  Rem 1: Zero, Rem 2: None, Rem 3: None Rem 4: None Rem 5: None Rem 6: None Rem 7: None Rem 8: Single Ser 4",
      "",
      " --- ETHERNET ---",
      "  DHCP: ON",
      "  Address: 0.0.0.0",
      "  Mask: 255.255.255.255",
      "  Gateway: 0.0.0.0",
      "  DNS 1: 0.0.0.0",
      "  DNS 2: 0.0.0.0",
      "  MAC Address: 0.0.0.0.0.0",
      "  Hostname: ",
      "",
      " --- SERIAL ---",
      "  Serial 1: Port Off, 300 baud , No parity, 7 data bits, 1 stop bits, RS485 unterminated, DTR Off, RS485",
      "  Serial 2: Net, 19200 baud, Even parity, 8 data bits, 2 stop bits, RS485 terminated, DTR On, RS232",
      "  Serial 3: Port Off, 300 baud , No parity, 7 data bits, 1 stop bits, RS485 unterminated, DTR Off, RS485",
      "  Serial 4: Port Off, 300 baud , No parity, 7 data bits, 1 stop bits, RS485 unterminated, DTR Off, RS485",
      "  Serial 5: Port: 4001",
      "  Serial 6: Port: 4002",
      "  Printing",
      "       Mode: Single",
      "      Space: Rows: 0, Columns: 0",
      "     Header: ",
      "             Two",
      "             ",
      "             ",
      "             ",
      "             ",
      "     Format: ",
      "  Auto Output",
      "       Type: Auto A,  Source: Display",
      "     Format: ",
      "",
      " --- SETPOINT ---",
      "   Setpoint 1:  Active",
      "          Source: Net, Direction: Under, Logic: Low, Lock: On, Alarm: Double Beep",
      "       In-flight: 2.5, Hysteresis: 0.5",
      "   Setpoint 3:  Error,   Alarm: Continuous Beep",
      "   Setpoint 6:  Zero",
      "          Source: Gross, Direction: Under  Lock: On, Alarm: None",
      "       In-flight: 1.0, Tolerance: 2.0",
  };
  EXPECT_EQ(lines, want);
}

}  // namespace
