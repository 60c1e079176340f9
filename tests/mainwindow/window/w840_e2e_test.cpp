// The W840 main window against the simulated W840, over TCP on 127.0.0.1 and over a
// pseudo-terminal: its timer polls, its keys, its settings pages filled, and the
// W840's read and write sequences on the wire.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>

#include "mainwindow/settings/settingspagescore.h"
#include "mimic/voxMimicDisp.h"
#include "protocol/database840.h"
#include "tests/mainwindow/fixture/viewer_fixture.h"

namespace {

class TW840Test : public TW840ViewerTest {
 protected:
  // The commands after the units query that connecting sends: display polls and,
  // every tenth time, the status behind the address prefix.
  void ExpectNineDisplayPollsThenTheStatus() {
    const std::vector<std::string> start = {"S98", "STP", "S99", "ENU?"};
    ASSERT_TRUE(QTest::qWaitFor([&] { return indicator.Commands().size() >= start.size() + 22; }, kWaitMs));
    const std::vector<std::string> all = indicator.Commands();
    ASSERT_EQ(std::vector<std::string>(all.begin(), all.begin() + 4), start);
    std::vector<std::string> round(9, "FPL?");
    round.push_back("S99");
    round.push_back("ESR?");
    std::vector<std::string> want = round;
    want.insert(want.end(), round.begin(), round.end());
    EXPECT_EQ(std::vector<std::string>(all.begin() + 4, all.begin() + 26), want);
  }
  // Setting lines the simulator takes before the viewer reads them.
  void Hold(std::initializer_list<const char*> lines) {
    for (const char* line : lines) ASSERT_EQ(indicator.Feed(std::string(line) + ";"), "0\r\n") << line;
    indicator.ClearLog();
  }
  QComboBox& Box(const char* name) { return Control<QComboBox>(window->SettingsPages(), name); }
  QLineEdit& Edit(const char* name) { return Control<QLineEdit>(window->SettingsPages(), name); }
};

TEST_F(TW840Test, StartsAsTheW840Viewer) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Velmacor W840 Viewer"));
  EXPECT_TRUE(LcdAll(true));
  EXPECT_EQ(window->DisplayMimic().LCD().SegmentCount(), 80);
}

TEST_F(TW840Test, ConnectedItPollsNineDisplaysThenTheStatusAndShowsTheDisplay) {
  Connect();
  ExpectNineDisplayPollsThenTheStatus();
  indicator.SetWeight(1234);
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(indicator.Display()); }, kWaitMs));
}

TEST_F(TW840Test, ASilentIndicatorIsPolledOnWithoutAMessage) {
  indicator.SetFaults({.silent = true});
  // Connecting asks for the display units, which goes unanswered: the box opens
  // while that query still holds the link.
  Connect(true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.Messages().empty(); }, kWaitMs));
  const std::size_t polls = FplPolls();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= polls + 3; }, kWaitMs));
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{QStringLiteral("Instrument Not Responding")});
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdAll(false); }, kWaitMs));
  indicator.SetFaults({});
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(indicator.Display()) && !LcdAll(false); }, kWaitMs));
}

TEST_F(TW840Test, KeysSendTheirTableCommandsAndKeyFiveNothing) {
  Connect();
  auto& keys = window->DisplayMimic().Buttons();
  const std::pair<int, int> presses[] = {{0, 150}, {1, 150}, {2, 2500}, {3, 150}, {4, 2000}, {5, 150}, {0, 150}};
  for (const auto& [key, holdMs] : presses) keys.OnKeyPressed(&keys, key, holdMs);
  const std::vector<std::string> want = {"FPL1", "FPL2", "FPL3,1", "FPL4", "FPL6,1", "FPL1"};
  auto keyCommands = [&] {
    std::vector<std::string> sent = SentCommands();
    std::erase_if(sent, [](const std::string& c) { return c.rfind("FPL", 0) != 0; });
    return sent;
  };
  ASSERT_TRUE(QTest::qWaitFor([&] { return keyCommands().size() >= want.size(); }, kWaitMs));
  EXPECT_EQ(keyCommands(), want);
}

TEST_F(TW840Test, ReadSettingsFillsTheSixPagesAndTheyHoldEverySetting) {
  Hold({"IDN\"Bay 7\"", "IAD1,9000,2,3,1,50", "WMD4,1", "ENU1", "MTD12", "LBT4,0", "RBT0,3", "RBT8,17",
        "PST2,\"Hello, world\"", "BDX2,5,7,2,8,2,1,1,0", "BDX5,,,,,,,,,4001",
        "ETH0,\"10.0.0.9\",\"255.255.0.0\",\"10.0.0.1\",\"10.0.0.2\",\"10.0.0.3\",\"0.0.0.0.0.0\",\"bay-7\"",
        "LIV3,1,2,2,150,5,6,2,1,3"});
  Connect();
  ReadSettings();
  ShowPage("TSSettings");
  EXPECT_EQ(Box("CBxWeighMode").currentText(), "Direct");
  EXPECT_EQ(Edit("EdtFS1").text(), "90.00");
  EXPECT_EQ(Box("CBxMode").currentText(), "Industrial");
  EXPECT_EQ(Box("CBxMotion").currentText(), "5.0 div in 0.2 seconds");
  EXPECT_EQ(Box("CBxFbut").currentText(), "Lock");
  EXPECT_EQ(Box("cbFunctionKey").currentText(), "Memory - (Undo)");
  EXPECT_EQ(Box("CBxRem8").currentText(), "Single Ser 4");
  EXPECT_EQ(Edit("EdtID").text(), "Bay 7");
  EXPECT_EQ(Control<QPlainTextEdit>(window->SettingsPages(), "MemoHeader").toPlainText(), "\nHello, world\n\n\n\n");
  Control<QTabBar>(window->SettingsPages(), "tcSerial").setCurrentIndex(1);
  EXPECT_EQ(Box("cbSerialUse").currentText(), "Net");
  EXPECT_EQ(Box("cbBaud").currentText(), "19200 baud");
  EXPECT_TRUE(Box("cbBaud").isEnabled());
  EXPECT_EQ(Edit("edtSerial5Port").text(), "4001");
  EXPECT_EQ(Box("cbEthDHCP").currentText(), "OFF");
  EXPECT_EQ(Edit("edtEthMask2").text(), "255");
  EXPECT_EQ(Edit("edtEthDNS4").text(), "2");
  EXPECT_EQ(Edit("edtEthHostname").text(), "bay-7");
  Control<QTabBar>(window->SettingsPages(), "CtrlSetpoint").setCurrentIndex(2);
  EXPECT_EQ(Box("CBxSetpType").currentText(), "Active");
  EXPECT_EQ(Box("CBxSetpDirn").currentText(), "Under");
  EXPECT_EQ(Edit("EdtTarget").text(), "1.50");
  EXPECT_EQ(Box("CBxSetpAlarm").currentText(), "Continuous Beep");
  // Every setting survives the pages: storing them back leaves nothing unsent.
  ShowPage("TSDisplay");
  EXPECT_TRUE(window->InSync());
  EXPECT_EQ(window->WorkingData().SerialNumber, "SIM00002");
}

// A read asks every query of the model; a write reads the base settings again,
// unlocks, sends the one changed line and saves before it locks again; a write with
// nothing to send only saves, twice.
TEST_F(TW840Test, ReadAndWritePutTheW840sSequencesOnTheWire) {
  indicator.SetPasscode("1234");
  Connect();
  indicator.ClearLog();
  ReadSettings();
  std::vector<std::string> all, prefixes;
  w840::Tdata7400().BuildQueries(true, all, prefixes);
  EXPECT_EQ(SentCommands(), all);

  ShowPage("TSSettings");
  Box("CBxUnits").setCurrentIndex(4);
  ShowPage("TSDisplay");
  EXPECT_FALSE(window->InSync());
  indicator.ClearLog();
  AnswerTraffic();
  AnswerPasscode("1234");
  AnswerTraffic();
  Control<QAction>(*window, "WriteSettings1").trigger();
  std::vector<std::string> queries;
  w840::Tdata7400().BuildQueries(false, queries, prefixes);
  for (const char* c : {"PCD?", "PCD1234", "ENU4", "TDD1", "PCD", "TDD1"}) queries.push_back(c);
  EXPECT_EQ(SentCommands(), queries);
  EXPECT_EQ(indicator.Setting("ENU"), "ENU4");
  EXPECT_EQ(indicator.Saves(), 2);
  EXPECT_EQ(window->InstrumentData().Units, 4);
  EXPECT_TRUE(window->InSync());

  indicator.ClearLog();
  Control<QAction>(*window, "WriteSettings1").trigger();
  EXPECT_EQ(SentCommands(), (std::vector<std::string>{"TDD1", "TDD1"}));
  EXPECT_TRUE(window->InSync());
}

TEST_F(TW840Test, OverAPseudoTerminalItPollsAndReads) {
  Hold({"IDN\"Tty 2\""});
  ConnectSerial();
  ExpectNineDisplayPollsThenTheStatus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(indicator.Display()); }, kWaitMs));
  ReadSettings();
  EXPECT_EQ(Edit("EdtID").text(), "Tty 2");
  EXPECT_EQ(window->StatusPanelText(2).right(device.size() + 6), QStringLiteral("Port: ") + device);
}

// The W840 answers "WFP?" with 1 for its first port, which its first serial tab shows.
TEST_F(TW840Test, OpeningASettingsFileAsksWhichPortIsInUseInTheW840sNumbering) {
  exe.Write(QStringLiteral("bay.vis"), "IDN\"From file\"\r\nBDX1,4,6,0,8,1,0,0,1\r\n");
  Connect();
  indicator.ClearLog();
  prompter.AnswerFile(exe.Path(QStringLiteral("bay.vis")));
  Control<QAction>(*window, "Open1").trigger();
  EXPECT_EQ(SentCommands(), std::vector<std::string>{"WFP?"});
  EXPECT_EQ(window->WorkingData().GetWFP(), 0);
  ShowPage("TSSettings");
  EXPECT_EQ(Edit("EdtID").text(), "From file");
  EXPECT_EQ(Box("cbSerialUse").currentText(), "Single");
  EXPECT_FALSE(Box("cbSerialUse").isEnabled());
}

TEST_F(TW840Test, DisconnectedOnTheLogPageItKeepsItsPollMode) {
  Connect();
  ShowPage("TSLog");
  server.DropConnections();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Connected(); }, kWaitMs));
  EXPECT_EQ(window->PollMode(), pmLog);
  EXPECT_TRUE(LcdAll(true));
}

// A stored time-out of 0 would leave the first poll outstanding for good.
class TW840NoTimeOutTest : public TW840Test {
 protected:
  QByteArray IniText() const override {
    return TW840Test::IniText().replace("[Connection]\r\n", "[Connection]\r\nTcpTimeout=0\r\n");
  }
};

TEST_F(TW840NoTimeOutTest, AStoredTimeOutOfZeroIsOneTickAndPollingGoesOn) {
  indicator.SetFaults({.silent = true});
  // Connecting asks for the display units, which goes unanswered: the box opens
  // while that query still holds the link.
  Connect(true);
  EXPECT_EQ(window->ReplyTimeout(), 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= 10; }, kWaitMs));
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{QStringLiteral("Instrument Not Responding")});
}

}  // namespace
