#include <gtest/gtest.h>

#include <QTest>
#include <cerrno>
#include <functional>
#include <memory>

#include "platform/inifile.h"
#include "fake_device.h"
#include "pty_pair.h"
#include "serial/ComSetCtl.h"
#include "serial/CustomComPort.h"

TEST(TCustomComPort, ANewPortStoresOnlyTheBasicKeysWithTheirDefaults) {
  TCustomComPort port;
  port.setObjectName(QStringLiteral("ComPort1"));
  TMemIniFile ini;
  port.StoreToIni(ini);
  const QString s = QStringLiteral("ComPort1");
  EXPECT_EQ(ini.ReadSection(s), (QStringList{"Port", "BaudRate", "StopBits", "DataBits", "Parity", "FlowControl"}));
  EXPECT_EQ(ini.ReadString(s, "Port", ""), "COM1");
  EXPECT_EQ(ini.ReadString(s, "BaudRate", ""), "9600");
  EXPECT_EQ(ini.ReadString(s, "StopBits", ""), "1");
  EXPECT_EQ(ini.ReadString(s, "DataBits", ""), "8");
  EXPECT_EQ(ini.ReadString(s, "Parity", ""), "None");
  EXPECT_EQ(ini.ReadString(s, "FlowControl", ""), "None");
}

TEST(TCustomComPort, EveryGroupRoundTripsThroughTheIniFile) {
  TCustomComPort from;
  from.setObjectName(QStringLiteral("P"));
  from.StoredGroups = sgBasic | sgMisc | sgParity | sgBuffer | sgTimeouts | sgFlowControl;
  from.SetPort("/dev/ttyUSB3");
  from.SetBaudRate(brCustom);
  from.SetCustomBaudRate(250000);
  from.SetEventChar('\n');
  from.Parity().Set(&TComParity::Bits, prMark);
  from.Parity().Set(&TComParity::Check, true);
  from.Buffer().SetInputSize(4096);
  from.Timeouts().ReadInterval = 20;
  from.FlowControl().SetFlowControl(fcSoftware);
  from.FlowControl().Set(&TComFlowControl::XonChar, 'Q');
  TMemIniFile ini;
  from.StoreToIni(ini);
  EXPECT_EQ(ini.ReadString("P", "EventChar", ""), "#10");
  EXPECT_EQ(ini.ReadString("P", "CustomBaudRate", ""), "250000");

  TCustomComPort to;
  to.setObjectName(QStringLiteral("P"));
  to.StoredGroups = from.StoredGroups;
  to.LoadFromIni(ini);
  EXPECT_EQ(to.Port(), "/dev/ttyUSB3");
  EXPECT_EQ(to.BaudRate(), brCustom);
  EXPECT_EQ(to.CustomBaudRate(), 250000);
  EXPECT_EQ(to.EventChar(), '\n');
  EXPECT_EQ(to.Parity().Bits, prMark);
  EXPECT_TRUE(to.Parity().Check);
  EXPECT_EQ(to.Buffer().InputSize(), 4096);
  EXPECT_EQ(to.Timeouts().ReadInterval, 20);
  EXPECT_EQ(to.FlowControl().FlowControl(), fcSoftware);
  EXPECT_EQ(to.FlowControl().XonChar, 'Q');
}

TEST(TCustomComPort, AKeyTheIniLacksKeepsTheCurrentValue) {
  TCustomComPort port;
  port.setObjectName(QStringLiteral("P"));
  port.StoredGroups = sgFlowControl;
  port.FlowControl().Set(&TComFlowControl::OutDSRFlow, true);
  TMemIniFile ini;
  ini.WriteString("P", "FlowControl.OutCTSFlow", "Yes");
  port.LoadFromIni(ini);
  EXPECT_TRUE(port.FlowControl().OutDSRFlow);
  EXPECT_TRUE(port.FlowControl().OutCTSFlow);
}

TEST(TComFlowControl, TheDerivedValueFollowsTheFourFlags) {
  TComFlowControl f;
  f.SetFlowControl(fcHardware);
  EXPECT_EQ(f.FlowControl(), fcHardware);
  f.Set(&TComFlowControl::XonXoffIn, true);
  EXPECT_EQ(f.FlowControl(), fcCustom);
  f.SetFlowControl(fcCustom);
  EXPECT_EQ(f.FlowControl(), fcCustom);
  f.SetFlowControl(fcNone);
  EXPECT_EQ(f.FlowControl(), fcNone);
  EXPECT_EQ(f.ControlRTS, rtsDisable);
}

TEST(TComBuffer, APositiveOddSizeIsLoweredByOne) {
  TComBuffer b;
  b.SetInputSize(1025);
  EXPECT_EQ(b.InputSize(), 1024);
  b.SetInputSize(1024);
  EXPECT_EQ(b.InputSize(), 1024);
  b.SetOutputSize(-3);
  EXPECT_EQ(b.OutputSize(), -3);
}

TEST(CharText, PrintableAsItselfOthersByCode) {
  EXPECT_EQ(CharText('A'), "A");
  EXPECT_EQ(CharText(' '), "#32");
  EXPECT_EQ(CharText('\x80'), "#128");
  EXPECT_EQ(CharFromText(""), 0);
  EXPECT_EQ(CharFromText("#13"), 13);
  EXPECT_EQ(CharFromText("#x"), 0);
  EXPECT_EQ(CharFromText("#"), '#');
  EXPECT_EQ(CharFromText("Zed"), 'Z');
  EXPECT_TRUE(BoolFromText("yes"));
  EXPECT_FALSE(BoolFromText("y"));
}

TEST(TCustomComPort, OpeningAMissingDeviceRaisesCode1WithErrno) {
  TCustomComPort port;
  port.SetPort("/dev/no-such-serial-port");
  try {
    port.Open();
    FAIL() << "opened";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorCode, 1);
    EXPECT_EQ(e.WinErrorCode, ENOENT);
  }
  EXPECT_FALSE(port.Connected());
}

TEST(TCustomComPort, ReceivedCharactersAreReportedOnTheGuiThread) {
  TPtyPair pty;
  TCustomComPort port;
  port.SetPort(pty.SlavePath());
  std::string got;
  port.OnRxChar = [&](TCustomComPort* p, int count) {
    std::string chunk(static_cast<size_t>(count), '\0');
    got += chunk.substr(0, static_cast<size_t>(p->Read(chunk.data(), count)));
  };
  port.Open();
  pty.Write("ping");
  ASSERT_TRUE(QTest::qWaitFor([&] { return got == "ping"; }, 10000));
  port.Close();
  EXPECT_FALSE(port.Connected());
}

TEST(TComComboBoxLinked, ShowsThePortsValueAppliesPicksOnlyWithAutoApplyAndForgetsAGonePort) {
  auto port = std::make_unique<TCustomComPort>();
  port->SetBaudRate(static_cast<TBaudRateCode>(9));  // 19200
  TComComboBox box;
  box.SetComProperty(cpBaudRate);
  EXPECT_EQ(box.Text(), QStringLiteral("Custom"));
  box.SetComPort(port.get());
  EXPECT_EQ(box.Text(), QStringLiteral("19200"));

  box.setCurrentIndex(13);
  emit box.activated(13);
  EXPECT_EQ(port->BaudRate(), 9);  // AutoApply is off
  box.SetAutoApply(true);
  emit box.activated(13);
  EXPECT_EQ(port->BaudRate(), 13);

  box.SetComProperty(cpParity);
  EXPECT_EQ(box.Text(), QStringLiteral("None"));
  port.reset();
  EXPECT_EQ(box.ComPort(), nullptr);
  EXPECT_EQ(box.currentIndex(), 0);
}

namespace {

// A component set port on a device the test controls.
class ComPortOnFake : public ::testing::Test {
 protected:
  void SetUp() override {
    device->hasModemLines = true;
    port.SetPort("/dev/fake");
    port.SetDeviceFactory([this] { return std::make_unique<TFakeDevice>(device); });
  }
  std::shared_ptr<TFakeDeviceState> device = std::make_shared<TFakeDeviceState>();
  TCustomComPort port;
};

}  // namespace

TEST_F(ComPortOnFake, ModemLineChangesAreReportedWhileOpen) {
  std::vector<std::pair<char, bool>> seen;
  port.OnCTSChange = [&](TCustomComPort*, bool on) { seen.push_back({'C', on}); };
  port.OnDSRChange = [&](TCustomComPort*, bool on) { seen.push_back({'D', on}); };
  port.OnRLSDChange = [&](TCustomComPort*, bool on) { seen.push_back({'R', on}); };
  port.Open();
  seen.clear();
  device->SetModemLines(SerModem::CTS | SerModem::RLSD);
  ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 2; }, 10000)) << seen.size();
  EXPECT_EQ(seen, (std::vector<std::pair<char, bool>>{{'C', true}, {'R', true}}));
  device->SetModemLines(SerModem::RLSD | SerModem::DSR);
  ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 4; }, 10000));
  EXPECT_EQ(seen[2], std::make_pair('C', false));
  EXPECT_EQ(seen[3], std::make_pair('D', true));
}

// Every failing device call is the component set's exception, with the system's
// error number, never a library exception or the driver's own code.
TEST_F(ComPortOnFake, EachFailureRaisesItsCodeWithTheSystemsErrorNumber) {
  struct Case {
    const char* what;
    int code;
    std::function<void()> fail;
    std::function<void()> act;
  } cases[] = {
      {"a baud code outside the table", 7, [] {}, [&] { port.SetBaudRate(static_cast<TBaudRateCode>(42)); }},
      {"purge", 5, [&] { device->failPurge = -162; }, [&] { port.Close(); }},
      {"modem status", 11, [&] { device->failModemStatus = -162; }, [&] { port.ModemSignals(); }},
      {"DTR", 12, [&] { device->failSetDTR = -162; },
       [&] { port.FlowControl().Set(&TComFlowControl::ControlDTR, dtrEnable); }},
  };
  for (const Case& c : cases) {
    device = std::make_shared<TFakeDeviceState>();
    device->hasModemLines = true;
    device->systemError = EIO;
    port.Open();
    c.fail();
    try {
      c.act();
      ADD_FAILURE() << c.what << " raised nothing";
    } catch (const EComPort& e) {
      EXPECT_EQ(e.ErrorCode, c.code) << c.what;
      EXPECT_EQ(e.WinErrorCode, c.code == 7 ? EINVAL : EIO) << c.what;
    }
    device->failPurge = device->failModemStatus = device->failSetDTR = 0;
    port.SetBaudRate(br9600);
    port.FlowControl().Set(&TComFlowControl::ControlDTR, dtrDisable);
    port.Close();
  }
}
