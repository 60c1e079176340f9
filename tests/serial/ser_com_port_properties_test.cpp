#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "port_on_fake.h"
#include "serial/SerComPort.h"
#include "serial/SerExceptions.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"

using PortSurface = PortOnFake;

TEST_F(PortSurface, PropertiesThatLinuxKeepsStoredOrFixed) {
  port.SetDeviceLayer(dlWinsock);
  EXPECT_EQ(port.DeviceLayer(), dlWin32);
  port.SetUseMSRShadow(false);
  EXPECT_TRUE(port.UseMSRShadow());
  EXPECT_EQ(port.CommNotificationLevel(), 10);
  EXPECT_EQ(port.TapiMode(), tmAuto);
  EXPECT_EQ(port.Version(), QStringLiteral("v4.07"));
  // Opening through a telephony line needs its handle, which no line gives here.
  port.SetTapiMode(tmOn);
  EXPECT_THROW(port.SetOpen(true), ENotOpenedByTapi);
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.State(), TSerComPort::psClosed);
}

// A port restored open opens only when the loading ends; until then nothing opens
// by itself and failures come back as codes.
TEST_F(PortSurface, ALoadedPortOpensWhenTheLoadingEnds) {
  port.BeginLoading();
  port.SetBaud(9600);
  port.SetOpen(true);
  EXPECT_TRUE(port.Open());
  EXPECT_EQ(port.State(), TSerComPort::psClosed);
  EXPECT_EQ(port.AddTimerTrigger(), -2007);
  port.PutString("x");
  port.Loaded();
  EXPECT_EQ(port.State(), TSerComPort::psOpen);
  EXPECT_EQ(device->Get(&TFakeDeviceState::line).Baud, 9600);
  EXPECT_EQ(device->Written(), "");
}

TEST_F(PortSurface, APortThatFailsToOpenAfterLoadingShowsWhyAndStaysClosed) {
  device->openResult = -2008;
  prompter.AnswerMessage(mrOk);
  port.BeginLoading();
  port.SetOpen(true);
  port.Loaded();
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.State(), TSerComPort::psClosed);
  EXPECT_EQ(prompter.Messages(),
            std::vector<QString>{QStringLiteral("ie_Open - device already open: /dev/fake is in use by another program.")});
}

// Handshaking holds at 90 % and resumes at 10 % of InSize on the lines, at 75 %
// and 25 % for XON/XOFF; levels of its own that fit are kept.
TEST_F(PortSurface, TheHandshakeLevelsFollowTheFlowOptions) {
  struct Case {
    int hw;
    TSWFlowOptions sw;
    int full, resume;
    int expectFull, expectResume;
  } cases[] = {
      {0, swfNone, 0, 0, 0, 0},
      {THWFlow::hwfUseRTS, swfNone, 0, 0, 3686, 410},
      {0, swfReceive, 0, 0, 3072, 1024},
      {THWFlow::hwfRequireCTS, swfNone, 3000, 500, 3000, 500},
      {THWFlow::hwfRequireCTS, swfNone, 5000, 500, 3686, 500},
      {THWFlow::hwfRequireCTS, swfNone, 3000, 3500, 3000, 300},
  };
  for (const Case& c : cases) {
    TSerComPort p;
    p.SetBufferFull(c.full);
    p.SetBufferResume(c.resume);
    p.SetSWFlowOptions(c.sw);
    p.SetHWFlowOptions(c.hw);
    EXPECT_EQ(p.BufferFull(), c.expectFull) << c.hw << " " << c.full;
    EXPECT_EQ(p.BufferResume(), c.expectResume) << c.hw << " " << c.resume;
  }
}

TEST_F(PortSurface, RS485TakesRTSAndRTSHandshakingEndsIt) {
  port.SetHWFlowOptions(THWFlow::hwfUseRTS | THWFlow::hwfUseDTR);
  port.SetOpen(true);
  port.SetRS485Mode(true);
  EXPECT_EQ(port.HWFlowOptions(), THWFlow::hwfUseDTR);
  EXPECT_FALSE(port.RTS());
  EXPECT_TRUE(device->Get(&TFakeDeviceState::rs485));
  port.SetHWFlowOptions(THWFlow::hwfRequireCTS);
  EXPECT_FALSE(port.RS485Mode());
}

// Under DTR handshaking the DTR setter leaves the line alone, also when the option
// is chosen while open; without it, the line takes the last state asked for.
TEST_F(PortSurface, DTRHandshakingChosenWhileOpenLeavesTheLineAlone) {
  port.SetOpen(true);
  EXPECT_TRUE(device->Get(&TFakeDeviceState::dtr));
  port.SetHWFlowOptions(THWFlow::hwfUseDTR);
  port.SetDTR(false);
  EXPECT_TRUE(port.DTR());
  EXPECT_TRUE(device->Get(&TFakeDeviceState::dtr));
  port.SetHWFlowOptions(0);
  port.SetDTR(false);
  EXPECT_FALSE(device->Get(&TFakeDeviceState::dtr));
}

TEST_F(PortSurface, UsersHearOfTheOpenTheClosingAndTheClose) {
  std::vector<int> heard;
  const int id = port.RegisterUser([&](TSerComPort*, int message) { heard.push_back(message); });
  port.OnPortClose = [&](TSerComPort*) { heard.push_back(0); };
  port.SetOpen(true);
  port.SetOpen(false);
  EXPECT_EQ(heard, (std::vector<int>{SerMsg::PortOpened, SerMsg::PortClosing, SerMsg::PortClosed, 0}));
  port.DeregisterUser(id);
  port.OnPortClose = nullptr;
  heard.clear();
  port.SetOpen(true);
  port.SetOpen(false);
  EXPECT_TRUE(heard.empty());
}

// Assign takes the settings, the users and the first trigger events; an open
// source's triggers come with the next open.
TEST_F(PortSurface, AssignTakesSettingsEventsAndAnOpenSourcesTriggers) {
  std::string got;
  port.SetBaud(38400);
  port.SetRTS(false);
  port.SetOnTriggerAvail([&](TSerComPort* cp, int count) { got += cp->GetBlock(count); });
  port.SetOnTriggerData([&](TSerComPort*, int) { got += "|"; });
  port.SetOpen(true);
  port.AddDataTrigger(";", false);
  TSerComPort copy;
  copy.Assign(port);
  EXPECT_EQ(copy.Baud(), 38400);
  EXPECT_FALSE(copy.RTS());
  EXPECT_FALSE(copy.Open());
  port.SetOpen(false);
  copy.SetOpen(true);
  device->Feed("a;b");
  ASSERT_TRUE(QTest::qWaitFor([&] { return got.size() == 4; }, kWaitMs));
  EXPECT_EQ(got, "a|;b");
}

TEST_F(PortSurface, TheDispatchLogTellsOfAFullRingAndWritesAllHexWhenAsked) {
  TTempExeDir exe;
  port.SetLogging(tlOn);
  port.SetLogAllHex(true);
  port.SetOpen(true);
  port.PutString("AB");
  device->Feed(std::string(9000, 'x'));
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.InBuffUsed() == 8192; }, kWaitMs));
  // A byte taken off a full ring is made up from those waiting behind it.
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.GetChar() && port.InBuffUsed() == 8192; }, kWaitMs));
  port.SetOpen(false);
  const QByteArray log = exe.Read(QStringLiteral("SERIAL.LOG"));
  EXPECT_TRUE(log.contains("Dispatch buffer full.")) << log.constData();
  EXPECT_TRUE(log.contains("[41][42]")) << log.constData();
  EXPECT_TRUE(log.contains("    Time  Kind      Sub-kind      Value")) << log.constData();
}

TEST_F(PortSurface, LineErrorAndBreakQueriesReportAndClear) {
  port.SetOpen(true);
  device->RaiseLineErrors(SerLineError::Framing | SerLineError::Break);
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.LineBreak(); }, kWaitMs));
  EXPECT_FALSE(port.LineBreak());
  EXPECT_EQ(port.LineError(), 4);
  EXPECT_EQ(port.LineError(), 0);
  port.ProcessComm();
}
