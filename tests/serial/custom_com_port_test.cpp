#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include <cerrno>
#include <functional>
#include <memory>

#include "platform/inifile.h"
#include "fake_device.h"
#include "pty_pair.h"
#include "serial/ComSetCtl.h"
#include "serial/CustomComPort.h"
#include "tests/support/scripted_prompter.h"

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

// Any of RTS control, CTS output flow and the two XON/XOFF flags set makes the
// flow control custom unless it is exactly hardware or software.
TEST(TComFlowControl, AnyOfTheFourSetAloneReadsCustom) {
  struct Case {
    const char* what;
    std::function<void(TComFlowControl&)> set;
  } cases[] = {
      {"RTS enable", [](TComFlowControl& f) { f.ControlRTS = rtsEnable; }},
      {"RTS handshake", [](TComFlowControl& f) { f.ControlRTS = rtsHandshake; }},
      {"RTS toggle", [](TComFlowControl& f) { f.ControlRTS = rtsToggle; }},
      {"CTS output flow", [](TComFlowControl& f) { f.OutCTSFlow = true; }},
      {"XON/XOFF in", [](TComFlowControl& f) { f.XonXoffIn = true; }},
      {"XON/XOFF out", [](TComFlowControl& f) { f.XonXoffOut = true; }},
  };
  for (const Case& c : cases) {
    TComFlowControl f;
    c.set(f);
    EXPECT_EQ(f.FlowControl(), fcCustom) << c.what;
  }
  EXPECT_EQ(TComFlowControl().FlowControl(), fcNone);
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

  // Each kind keeps its own pick; a change of property applies only the new kind's.
  box.SetAutoApply(false);
  box.SetComProperty(cpParity);
  EXPECT_EQ(box.Text(), QStringLiteral("None"));
  box.setCurrentIndex(2);
  emit box.activated(2);
  EXPECT_EQ(box.Selector().Parity, prEven);
  EXPECT_EQ(box.Selector().BaudRate, 13);
  port->SetBaudRate(static_cast<TBaudRateCode>(7));
  box.Selector().ApplyToPort();
  EXPECT_EQ(port->Parity().Bits, prEven);
  EXPECT_EQ(port->BaudRate(), 7);
  port.reset();
  EXPECT_EQ(box.ComPort(), nullptr);
  EXPECT_EQ(box.currentIndex(), 0);
}

namespace {

constexpr int kWaitMs = 10000;

// A component set port on a device the test controls.
// Handlers that capture a test's locals go with a port declared after them.
class ComPortOnFake : public ::testing::Test {
 protected:
  void SetUp() override { device->hasModemLines = true; }
  std::unique_ptr<TCustomComPort> NewPort() {
    auto p = std::make_unique<TCustomComPort>();
    p->SetPort("/dev/fake");
    p->SetDeviceFactory([this] { return std::make_unique<TFakeDevice>(device); });
    return p;
  }
  std::shared_ptr<TFakeDeviceState> device = std::make_shared<TFakeDeviceState>();
};

}  // namespace

TEST_F(ComPortOnFake, APortLoadedAsConnectedOpensWhenTheLoadingEndsOrShowsWhyNot) {
  TScriptedPrompter prompter;
  auto owned = NewPort();
  TCustomComPort& port = *owned;
  port.BeginLoading();
  port.SetConnected(true);
  EXPECT_FALSE(port.Connected());
  port.Loaded();
  EXPECT_TRUE(port.Connected());
  port.SetConnected(false);
  EXPECT_FALSE(port.Connected());

  device->openResult = -2001;
  device->systemError = ENOENT;
  prompter.AnswerMessage(mrOk);
  port.BeginLoading();
  port.SetConnected(true);
  port.Loaded();
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{QStringLiteral("Unable to open com port (win error code: 2)")});
}

TEST_F(ComPortOnFake, ModemLineChangesAreReportedWhileOpen) {
  std::vector<std::pair<char, bool>> seen;
  auto owned = NewPort();
  TCustomComPort& port = *owned;
  port.OnCTSChange = [&](TCustomComPort*, bool on) { seen.push_back({'C', on}); };
  port.OnDSRChange = [&](TCustomComPort*, bool on) { seen.push_back({'D', on}); };
  port.OnRLSDChange = [&](TCustomComPort*, bool on) { seen.push_back({'R', on}); };
  port.Open();
  seen.clear();
  device->SetModemLines(SerModem::CTS | SerModem::RLSD);
  ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 2; }, kWaitMs)) << seen.size();
  EXPECT_EQ(seen, (std::vector<std::pair<char, bool>>{{'C', true}, {'R', true}}));
  device->SetModemLines(SerModem::RLSD | SerModem::DSR);
  ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 4; }, kWaitMs));
  EXPECT_EQ(seen[2], std::make_pair('C', false));
  EXPECT_EQ(seen[3], std::make_pair('D', true));
}

// Every failing device call is the component set's exception, with the system's
// error number, never a library exception or the driver's own code.
TEST_F(ComPortOnFake, EachFailureRaisesItsCodeWithTheSystemsErrorNumber) {
  auto owned = NewPort();
  TCustomComPort& port = *owned;
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

TEST_F(ComPortOnFake, WithoutWatchedEventsNoThreadRunsAndReadTakesFromTheDevice) {
  int rx = 0;
  auto owned = NewPort();
  TCustomComPort& port = *owned;
  port.OnRxChar = [&](TCustomComPort*, int) { ++rx; };
  port.SetEvents(0);
  port.Open();
  device->Feed("abc");
  EXPECT_EQ(port.InputCount(), 3);
  char buffer[8];
  EXPECT_EQ(port.Read(buffer, 8), 3);
  EXPECT_EQ(std::string(buffer, 3), "abc");
  QCoreApplication::processEvents();
  EXPECT_EQ(rx, 0);
}

// Each condition of the line raises its own event, in every delivery mode, on the
// GUI thread in modes 0 and 1 and on the event thread in mode 2.
TEST_F(ComPortOnFake, EachWatchedEventReachesItsHandlerByDeliveryMode) {
  struct Case {
    const char* event;
    std::function<void(TCustomComPort&)> setUp;
    std::function<void(TCustomComPort&)> cause;
  } cases[] = {
      {"error 1", [](TCustomComPort&) {}, [&](TCustomComPort&) { device->RaiseLineErrors(SerLineError::Framing); }},
      {"error 2", [](TCustomComPort& p) { p.Parity().Set(&TComParity::Check, true); },
       [&](TCustomComPort&) { device->RaiseLineErrors(SerLineError::Parity); }},
      {"break", [](TCustomComPort&) {}, [&](TCustomComPort&) { device->RaiseLineErrors(SerLineError::Break); }},
      {"ring", [](TCustomComPort&) {}, [&](TCustomComPort&) { device->SetModemLines(SerModem::Ring); }},
      {"flag", [](TCustomComPort& p) { p.SetEventChar('\n'); }, [&](TCustomComPort&) { device->Feed("ab\n"); }},
      {"80%", [](TCustomComPort& p) { p.Buffer().SetInputSize(100); },
       [&](TCustomComPort&) { device->Feed(std::string(85, 'x')); }},
      {"tx empty", [](TCustomComPort&) {}, [](TCustomComPort& p) { p.Write("x", 1); }},
  };
  for (int mode : {0, 1, 2}) {
    for (const Case& c : cases) {
      device = std::make_shared<TFakeDeviceState>();
      device->hasModemLines = true;
      std::mutex lock;
      std::vector<std::string> seen;
      bool onGui = true;
      auto note = [&](const std::string& what) {
        std::lock_guard l(lock);
        seen.push_back(what);
        onGui = onGui && QThread::currentThread() == QCoreApplication::instance()->thread();
      };
      TCustomComPort p;
      p.SetPort("/dev/fake");
      p.SetDeviceFactory([this] { return std::make_unique<TFakeDevice>(device); });
      p.SetDeliveryMode(mode);
      p.OnError = [&](TCustomComPort*, int errors) { note("error " + std::to_string(errors)); };
      p.OnBreak = [&](TCustomComPort*) { note("break"); };
      p.OnRing = [&](TCustomComPort*) { note("ring"); };
      p.OnRxFlag = [&](TCustomComPort*) { note("flag"); };
      p.OnRx80Full = [&](TCustomComPort*) { note("80%"); };
      p.OnTxEmpty = [&](TCustomComPort*) { note("tx empty"); };
      c.setUp(p);
      p.Open();
      c.cause(p);
      const bool came = QTest::qWaitFor(
          [&] {
            std::lock_guard l(lock);
            return std::find(seen.begin(), seen.end(), c.event) != seen.end();
          },
          kWaitMs);
      EXPECT_TRUE(came) << c.event << " in mode " << mode;
      std::lock_guard l(lock);
      EXPECT_EQ(onGui, mode != 2) << c.event << " in mode " << mode;
    }
  }
}

// What one read brings (bytes, an event character, line errors) reaches the
// handlers in the one fixed order, whatever the delivery mode.
TEST_F(ComPortOnFake, OneWakeUpsEventsComeInTheirOrderInEveryMode) {
  struct Case {
    const char* bytes;
    int errors;
    const char* order;
  } cases[] = {
      {"hi!", 0, "rx flag "},
      {"ab", SerLineError::Framing, "error rx "},
      {"!", SerLineError::Break, "rx break flag "},
  };
  for (int mode : {0, 1, 2}) {
    for (const Case& c : cases) {
      device = std::make_shared<TFakeDeviceState>();
      std::mutex lock;
      std::string seen;
      auto note = [&](const char* what) {
        std::lock_guard l(lock);
        seen += what;
        seen += ' ';
      };
      auto owned = NewPort();
      TCustomComPort& p = *owned;
      p.SetDeliveryMode(mode);
      p.SetEventChar('!');
      p.OnRxChar = [&](TCustomComPort* cp, int count) {
        std::string bytes(static_cast<size_t>(count), '\0');
        cp->Read(bytes.data(), count);
        note("rx");
      };
      p.OnRxFlag = [&](TCustomComPort*) { note("flag"); };
      p.OnError = [&](TCustomComPort*, int) { note("error"); };
      p.OnBreak = [&](TCustomComPort*) { note("break"); };
      p.Open();
      // The errors show with the read of the bytes, as a driver's counters do.
      device->Put(&TFakeDeviceState::lineErrors, c.errors);
      device->Feed(c.bytes);
      const size_t length = std::string(c.order).size();
      ASSERT_TRUE(QTest::qWaitFor(
          [&] {
            std::lock_guard l(lock);
            return seen.size() >= length;
          },
          kWaitMs))
          << c.order << " in mode " << mode;
      std::lock_guard l(lock);
      EXPECT_EQ(seen, c.order) << "mode " << mode;
    }
  }
}

// In delivery mode 2 every handler runs on the event thread, the modem lines'
// included, so no two ever run at once.
TEST_F(ComPortOnFake, DeliveryModeTwoRunsEveryHandlerOnTheOneEventThread) {
  std::mutex lock;
  std::vector<std::thread::id> threads;
  auto note = [&] {
    std::lock_guard l(lock);
    threads.push_back(std::this_thread::get_id());
  };
  auto owned = NewPort();
  TCustomComPort& port = *owned;
  port.SetDeliveryMode(2);
  port.Open();
  port.OnCTSChange = [&](TCustomComPort*, bool) { note(); };
  port.OnRing = [&](TCustomComPort*) { note(); };
  port.OnRxChar = [&](TCustomComPort* p, int count) {
    std::string bytes(static_cast<size_t>(count), '\0');
    p->Read(bytes.data(), count);
    note();
  };
  device->SetModemLines(SerModem::CTS | SerModem::Ring);
  device->Feed("x");
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        std::lock_guard l(lock);
        return threads.size() == 3;
      },
      kWaitMs));
  std::lock_guard l(lock);
  EXPECT_NE(threads[0], std::this_thread::get_id());
  EXPECT_EQ(std::count(threads.begin(), threads.end(), threads[0]), 3);
}

// A handler's exception is shown in the application's error box in every mode,
// and the port goes on delivering.
TEST_F(ComPortOnFake, AHandlersExceptionIsShownInEveryMode) {
  for (int mode : {0, 1, 2}) {
    device = std::make_shared<TFakeDeviceState>();
    TScriptedPrompter prompter;
    prompter.AnswerMessage(mrOk);
    std::atomic<int> calls{0};
    auto owned = NewPort();
    TCustomComPort& port = *owned;
    port.SetDeliveryMode(mode);
    port.OnRxChar = [&](TCustomComPort* p, int count) {
      std::string bytes(static_cast<size_t>(count), '\0');
      p->Read(bytes.data(), count);
      if (++calls == 1) throw std::runtime_error("handler failed");
    };
    port.Open();
    device->Feed("a");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.Messages().empty(); }, kWaitMs)) << mode;
    EXPECT_EQ(prompter.Messages(), std::vector<QString>{QStringLiteral("handler failed")}) << mode;
    device->Feed("b");
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls == 2; }, kWaitMs)) << mode;
  }
}

// A device that hung up cannot purge: the port still stops its threads and lets
// the device go, then says why the purge failed.
TEST_F(ComPortOnFake, ClosingADeviceThatCannotPurgeStillClosesIt) {
  auto owned = NewPort();
  TCustomComPort& port = *owned;
  bool afterClose = false;
  port.OnAfterClose = [&](TCustomComPort*) { afterClose = true; };
  port.Open();
  device->failPurge = -162;
  device->systemError = EIO;
  try {
    port.Close();
    ADD_FAILURE() << "the failed purge went unreported";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorCode, 5);
    EXPECT_EQ(e.WinErrorCode, EIO);
  }
  EXPECT_FALSE(port.Connected());
  EXPECT_TRUE(afterClose);
  EXPECT_TRUE(device->Get(&TFakeDeviceState::woken));
  owned.reset();  // with its threads still running this would end the program
}

TEST_F(ComPortOnFake, ChangesBetweenBeginAndEndUpdateApplyOnceAtTheEnd) {
  auto owned = NewPort();
  TCustomComPort& port = *owned;
  port.Open();
  const int calls = device->SetLineCalls();
  port.BeginUpdate();
  port.SetBaudRate(static_cast<TBaudRateCode>(9));
  port.SetDataBits(dbSeven);
  port.Parity().Set(&TComParity::Check, true);
  EXPECT_EQ(device->SetLineCalls(), calls);
  port.EndUpdate();
  EXPECT_EQ(device->SetLineCalls(), calls + 1);
  const TSerLineState line = device->Get(&TFakeDeviceState::line);
  EXPECT_EQ(line.Baud, 19200);
  EXPECT_EQ(line.ByteSize, 7);
  EXPECT_TRUE(line.CheckParity);
}

namespace {

struct TRecordingLink final : TComLink {
  std::vector<std::string> heard;
  bool buffers = false;
  void CTSChange(bool on) override { heard.push_back(std::string("cts ") + (on ? "on" : "off")); }
  void RxActivity(bool on) override { heard.push_back(std::string("rx ") + (on ? "on" : "off")); }
  void TxActivity(bool on) override { heard.push_back(std::string("tx ") + (on ? "on" : "off")); }
  bool TakesRxBuffer() const override { return buffers; }
  void RxBuffer(const char* data, int count) override { heard.push_back("buffer " + std::string(data, count)); }
};

}  // namespace

TEST_F(ComPortOnFake, LinkedComponentsHearOfTheLinesAndActivityAndTakeBuffers) {
  TRecordingLink link;
  link.buffers = true;
  std::string buffered;
  int counted = 0;
  auto owned = NewPort();
  TCustomComPort& port = *owned;
  port.RegisterLink(&link);
  EXPECT_THROW(port.RegisterLink(&link), EComPort);
  port.RxCountSwitch = false;
  port.OnRxBuf = [&](TCustomComPort*, const char* data, int count) { buffered.append(data, count); };
  port.OnRxChar = [&](TCustomComPort*, int) { ++counted; };
  port.Open();
  EXPECT_EQ(link.heard, std::vector<std::string>{"cts off"});
  link.heard.clear();
  device->SetModemLines(SerModem::CTS);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !link.heard.empty(); }, kWaitMs));
  device->Feed("hi");
  ASSERT_TRUE(QTest::qWaitFor([&] { return buffered == "hi" && link.heard.size() >= 4; }, kWaitMs));
  EXPECT_EQ(link.heard, (std::vector<std::string>{"cts on", "rx on", "rx off", "buffer hi"}));
  EXPECT_EQ(counted, 0);
  link.heard.clear();
  port.Write("x", 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return link.heard.size() == 2; }, kWaitMs));
  EXPECT_EQ(link.heard, (std::vector<std::string>{"tx on", "tx off"}));
  port.UnregisterLink(&link);
  EXPECT_THROW(port.UnregisterLink(&link), EComPort);
}

// With the default time-outs a read gives what is there at once; with none at all
// it waits until every byte asked for has come.
TEST_F(ComPortOnFake, ReadWaitsAsItsTimeOutsSay) {
  auto owned = NewPort();
  TCustomComPort& port = *owned;
  port.Open();
  device->Feed("ab");
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.InputCount() == 2; }, kWaitMs));
  char buffer[8];
  EXPECT_EQ(port.Read(buffer, 5), 2);
  port.Timeouts().ReadInterval = 0;
  std::thread farEnd([this] {
    device->Feed("cd");
    device->Feed("e");
  });
  EXPECT_EQ(port.Read(buffer, 3), 3);
  farEnd.join();
  EXPECT_EQ(std::string(buffer, 3), "cde");
  port.Timeouts().ReadTotalConstant = 20;
  EXPECT_EQ(port.Read(buffer, 1), 0);
}
