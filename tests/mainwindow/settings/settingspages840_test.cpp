#include "mainwindow/settings/settingspages840.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

#include "mainwindow/settings/setpointtabbar.h"
#include "protocol/database840.h"
#include "tests/mainwindow/settings/pages_fixture.h"
#include "tests/protocol/model_lines.h"
#include "tests/support/accessible_names.h"

namespace {

using w840::Tdata7400;

// Every setting the pages carry away from its default and in its box's list.
Tdata7400 Edited() {
  Tdata7400 m;
  m.WeighMode = 3; m.OperatingMode = 1; m.DecimalPoint = 3; m.FullScale1 = 300000; m.FullScale2 = 600000;
  m.Resolution1 = 6; m.Resolution2 = 4; m.HighResolution = true; m.TareMax = 1234; m.Units = 4; m.Average = 14;
  m.Jitter = 2; m.SynchFrequency = 100; m.Motion = 12; m.ZeroTracking = 9; m.ZeroRange = 0; m.ZeroBand = 55;
  m.AutoZero = 1; m.InstrumentID = "Bay, 2"; m.KeyLock = {2, 0, 1, 2, 0}; m.BuzzerEnable = true;
  m.RemoteInput = {10, 17, 1, 2, 3, 4, 5, 6, 15}; m.Address = 17; m.PrintMode = 7; m.AutoType = 4;
  m.AutoSource = 3; m.PrintRows = 9; m.PrintColumns = 19; m.PrintHeader = {"One", "", "Three", "", "", "Six"};
  m.PrintFormat = "fmt"; m.AutoFormat = "auto"; m.NetPorts = {4001, 65535}; m.Dhcp = false;
  m.IPAddress = "10.1.2.3"; m.NetMask = "255.255.255.0"; m.Gateway = "10.1.2.1"; m.Dns1 = "10.1.2.4";
  m.HostName = "bay-2";
  for (std::size_t n = 0; n < 8; ++n)
    m.Setpoints[n] = {static_cast<int32_t>(n % 6), 1, 1, 1, 1, static_cast<int32_t>(n % 4), 10, 20, -30};
  return m;
}

using SettingsPages840 = TPagesTest<w840::TSettingsPages, Tdata7400>;

TEST_F(SettingsPages840, EveryPageSettingComesBackAsShown) {
  const Tdata7400 shown = Edited();
  model = shown;
  pages.SettingsToControls(false);
  Tdata7400 stored;
  pages.SetModel(&stored);
  pages.ControlsToSettings();
  const auto want = SetCommands(shown);
  const auto got = SetCommands(stored);
  for (std::size_t i = 0; i < want.size(); ++i) {
    // Setpoints and serial ports store themselves, one record at a time.
    if (want[i].rfind("LIV", 0) == 0 || (want[i].rfind("BDX", 0) == 0 && want[i][3] <= '4')) continue;
    EXPECT_EQ(got[i], want[i]);
  }
  for (int n = 0; n < 8; ++n) {
    pages.SetModel(&model);
    pages.LoadSetpoint(n);
    pages.SetModel(&stored);
    pages.StoreSetpoint(n);
  }
  EXPECT_EQ(stored.Setpoints, shown.Setpoints);
}

// A frequency the filter list lacks shows as "50", which stands in for it: the
// model keeps its value until the technician picks an entry.
TEST_F(SettingsPages840, BoxesWithoutAnEntryForTheValueKeepTheModelsValue) {
  model.KeyLock[4] = 2;  // the Function key offers no "Immediate"
  model.SynchFrequency = 12;
  pages.SettingsToControls(false);
  EXPECT_EQ(Find<QComboBox>("CBxFbut")->currentIndex(), -1);
  auto* filter = Find<QComboBox>("cbxFilter");
  EXPECT_EQ(filter->currentText(), "50");
  pages.ControlsToSettings();
  EXPECT_EQ(model.KeyLock[4], 2);
  EXPECT_EQ(model.SynchFrequency, 12);

  ClickSubPage("TSBuild");
  filter->setFocus();
  QTest::keyClick(filter, Qt::Key_Home);
  QTest::keyClick(filter, Qt::Key_Down);
  EXPECT_EQ(filter->currentText(), "12.5");
  pages.ControlsToSettings();
  EXPECT_EQ(model.SynchFrequency, 12);
  QTest::keyClick(filter, Qt::Key_End);
  pages.ControlsToSettings();
  EXPECT_EQ(model.SynchFrequency, 100);
}

// The W840 takes alarms 0 to 3: the box offers no more, so none is written that
// the indicator refuses and the file cannot give back.
TEST_F(SettingsPages840, TheAlarmBoxOffersOnlyWhatTheIndicatorTakes) {
  pages.SettingsToControls(false);
  ClickSubPage("TSSetpoint");
  auto* alarm = Find<QComboBox>("CBxSetpAlarm");
  alarm->setFocus();
  QTest::keyClick(alarm, Qt::Key_End);
  EXPECT_EQ(alarm->currentText(), "Continuous Beep");
  pages.StoreSetpoint(0);
  EXPECT_EQ(model.Setpoints[0].Alarm, 3);
}

TEST_F(SettingsPages840, TheSerialTabOfThePortInUseIsDisabled) {
  model.SetWFP(2);
  model.SerialPorts[2].Baud = 5;
  pages.SettingsToControls(false);
  auto* tabs = Find<QTabBar>("tcSerial");
  auto* baud = Find<QComboBox>("cbBaud");
  EXPECT_EQ(tabs->count(), 4);
  EXPECT_TRUE(baud->isEnabled());
  ClickSubPage("TSSerial");
  ClickTab(tabs, 2);
  EXPECT_FALSE(baud->isEnabled());
  EXPECT_EQ(baud->currentIndex(), 5);
  ClickTab(tabs, 3);
  EXPECT_TRUE(baud->isEnabled());
  Choose("cbBaud", 8);
  Choose("cbHardware", 1);
  EXPECT_EQ(model.SerialPorts[3].Baud, 8);
  EXPECT_EQ(model.SerialPorts[3].Hardware, 1);
}

TEST_F(SettingsPages840, DhcpOnLocksTheAddressesAndTheDnsToo) {
  pages.SettingsToControls(false);
  Choose("cbEthDHCP", 1);
  for (const char* e : {"edtEthAddr1", "edtEthMask2", "edtEthGW3", "edtEthDNS4"})
    EXPECT_FALSE(Find<QLineEdit>(e)->isEnabled()) << e;
  EXPECT_TRUE(Find<QLineEdit>("edtEthHostname")->isEnabled());
  Choose("cbEthDHCP", 0);
  EXPECT_TRUE(Find<QLineEdit>("edtEthDNS4")->isEnabled());
}

// The box takes typed text: a text that names no entry selects none, which frees the
// addresses and leaves the model's DHCP as it was; a typed entry name is that entry.
TEST_F(SettingsPages840, TextTypedIntoTheDhcpBoxIsTheEntryItNamesOrNone) {
  model.Dhcp = true;
  pages.SettingsToControls(false);
  auto* box = Find<QComboBox>("cbEthDHCP");
  ASSERT_TRUE(box->isEditable());
  ASSERT_FALSE(Find<QLineEdit>("edtEthAddr1")->isEnabled());
  auto typeOver = [box](const char* text) {
    box->lineEdit()->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), text);
  };
  typeOver("auto");
  for (const char* e : {"edtEthAddr1", "edtEthMask2", "edtEthGW3", "edtEthDNS4"})
    EXPECT_TRUE(Find<QLineEdit>(e)->isEnabled()) << e;
  pages.ControlsToSettings();
  EXPECT_TRUE(model.Dhcp);
  typeOver("ON");
  EXPECT_FALSE(Find<QLineEdit>("edtEthDNS4")->isEnabled());
  typeOver("OFF");
  EXPECT_TRUE(Find<QLineEdit>("edtEthDNS4")->isEnabled());
  pages.ControlsToSettings();
  EXPECT_FALSE(model.Dhcp);
}

TEST_F(SettingsPages840, ASetpointKeepsItsDirectionAndItsTabShowsItInUse) {
  model.DecimalPoint = 1;
  model.Units = 3;
  pages.SettingsToControls(false);
  auto* tabs = Find<QTabBar>("CtrlSetpoint");
  pages.LoadSetpoint(0);
  ClickSubPage("TSSetpoint");
  ClickTab(tabs, 2);
  EXPECT_EQ(Find<QLabel>("LblTolUnits")->text(), "lb");
  Choose("CBxSetpType", 1);
  Choose("CBxSetpDirn", 1);
  TypeOver("EdtFlight", "2.5");
  ClickTab(tabs, 0);
  EXPECT_EQ(model.Setpoints[2].Type, 1);
  EXPECT_EQ(model.Setpoints[2].Direction, 1);
  EXPECT_EQ(model.Setpoints[2].InFlight, 25);
  auto* used = static_cast<TSetpointTabBar*>(tabs);
  EXPECT_TRUE(used->Used(2));
  EXPECT_FALSE(used->Used(0));
}

TEST_F(SettingsPages840, EveryCaptionedFieldCarriesItForAssistiveTechnology) {
  // The octets and MAC parts after the first, and the serial port's boxes (their
  // entries name themselves), have no caption of their own.
  const QRegularExpression uncaptioned(
      QStringLiteral("^cb(SerialUse|Baud|Parity|Databits|Stopbits|TermEn|DtrEn|Hardware)$"));
  for (const QString& name : UncaptionedFields(pages))
    EXPECT_TRUE(uncaptioned.match(name).hasMatch()) << name.toStdString();
  EXPECT_EQ(Caption(*Find<QLineEdit>("EdtFlight")), "Inflight");
  EXPECT_EQ(Caption(*Find<QComboBox>("cbFunctionKey")), "Function");
  EXPECT_EQ(Caption(*Find<QLineEdit>("edtEthDNS1")), "DNS");
  EXPECT_EQ(AccessibleName(*Find<QLineEdit>("edtEthMask3")), "Mask, part 3");
}

}  // namespace
