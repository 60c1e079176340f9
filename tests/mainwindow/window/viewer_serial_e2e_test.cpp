// The main window against the simulated indicator on a pseudo-terminal, connected
// through the connection dialog as a technician connects to a serial port.
#include <unistd.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

#include "dialogs/comdialog.h"
#include "mainwindow/settings/settingspages.h"
#include "serial/SerComPort.h"
#include "tests/mainwindow/fixture/viewer_fixture.h"

using TViewerSerialTest = TViewerTest;

TEST_F(TViewerSerialTest, ConnectsOverSerialPollsTheDisplayAndAnswersRequests) {
  ConnectSerial();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= 3; }, kWaitMs));
  EXPECT_EQ(Wire().rfind("S98;STP;S99;ENU?;FPL?;FPL?;", 0), 0u) << Wire();
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(indicator.Display()); }, kWaitMs));
  indicator.SetWeight(4321);
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(indicator.Display()); }, kWaitMs));
  EXPECT_EQ(window->StatusPanelText(2), QStringLiteral("Port: ") + device);
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(window->Query("S99;ADR?;", false, IntegerReply, "ADR")) << i;
    EXPECT_EQ(window->FReplyValue(), 1);
  }
}

TEST_F(TViewerSerialTest, ReadSettingsFillsThePagesWithTheIndicatorsValues) {
  for (const char* line : {"IDN\"Scale 4\"", "IAD1,9000,2,3,1,50,1", "ENU1", "PST2,\"Hello, world\"", "ICR60"})
    ASSERT_EQ(indicator.Feed(std::string(line) + ";"), "0\r\n") << line;
  ConnectSerial();
  ReadSettings();

  auto& pages = window->SettingsPages();
  EXPECT_EQ(Control<QLineEdit>(pages, "EdtID").text(), "Scale 4");
  EXPECT_EQ(Control<QLineEdit>(pages, "EdtFS1").text(), "90.00");
  EXPECT_EQ(Control<QComboBox>(pages, "CBxUnits").currentIndex(), 1);
  EXPECT_EQ(Control<QComboBox>(pages, "cbxFilter").currentText(), "60");
  EXPECT_EQ(Control<QPlainTextEdit>(pages, "MemoHeader").toPlainText(), "\nHello, world\n\n\n\n");
  EXPECT_EQ(window->WorkingData().SerialNumber, "SIM00001");
}

TEST_F(TViewerSerialTest, APulledCableShowsDisconnectedAndANewConnectWorks) {
  ConnectSerial();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= 2; }, kWaitMs));
  server.ClosePty();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Connected(); }, kWaitMs));
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdAll(true); }, kWaitMs));
  ConnectSerial();
  const std::size_t polls = FplPolls();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() > polls + 2; }, kWaitMs));
}

TEST_F(TViewerSerialTest, APortThatCannotOpenSaysWhyAndLeavesTheWindowDisconnected) {
  struct Case {
    bool held;  // another port holds the device
    const char* message;
  } cases[] = {{false, "ie_BadId - Specified comport doesn't exist"},
               {true, "ie_Open - device already open: %1 is locked by test_mainwindow (process %2)."}};
  for (const auto& c : cases) {
    TSerComPort holder;
    device = QString::fromStdString(server.OpenPty());
    if (c.held) {
      holder.SetDeviceName(device.toStdString());
      holder.SetOpen(true);
    } else {
      device = QStringLiteral("/dev/no-such-serial-port");
    }
    prompter.Clear();
    prompter.AnswerDialog([this](QDialog& dialog) {
      auto& com = dynamic_cast<TFrmComDialog&>(dialog);
      com.SetTcp(false);
      com.SetSerialPort(device);
      return static_cast<int>(mrOk);
    });
    prompter.AnswerMessage(mrOk);
    window->findChild<QToolButton*>(QStringLiteral("ToolButton4"))->click();
    EXPECT_EQ(prompter.Messages(), std::vector<QString>{c.held ? QString::fromLatin1(c.message).arg(device).arg(::getpid()) : QString::fromLatin1(c.message)});
    EXPECT_FALSE(window->Connected());
  }
}
