// The main window against the simulated indicator over TCP on 127.0.0.1.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QAction>
#include <limits>

#include "mimic/voxMimicDisp.h"
#include "tests/mainwindow/fixture/viewer_fixture.h"

namespace {

template <class T>
T& Control(TFrmMain& window, const char* name) {
  T* control = window.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << name;
  return *control;
}

std::string Memo(TFrmMain& window) {
  return Control<QPlainTextEdit>(window, "MemoRx").toPlainText().toLatin1().toStdString();
}

}  // namespace

TEST_F(TViewerTest, StartsDisconnectedWithTheTitleAndOnlyTheDisplayAndLogPages) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Velmacor W830 Viewer"));
  QTabWidget& pages = Control<QTabWidget>(*window, "PgCMain");
  const QStringList names = {"TSDisplay", "TSSettings", "TSCal", "TSLog", "TSTest"};
  const QList<bool> visible = {true, false, false, true, false};
  for (int i = 0; i < names.size(); ++i) {
    EXPECT_EQ(pages.widget(i)->objectName(), names[i]);
    EXPECT_EQ(pages.isTabVisible(i), visible[i]) << names[i].toStdString();
  }
  EXPECT_EQ(pages.currentWidget(), &Control<QWidget>(*window, "TSDisplay"));
  EXPECT_TRUE(LcdAll(true));
  EXPECT_EQ(Control<QToolButton>(*window, "ToolButton4").text(), QStringLiteral("&Connect"));
  EXPECT_FALSE(Control<QAction>(*window, "ReadSettings1").isEnabled());
}

TEST_F(TViewerTest, ConnectingStopsStreamingReadsUnitsThenPollsTheDisplay) {
  Connect();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= 3; }, kWaitMs));
  EXPECT_EQ(Wire().rfind("S98;STP;S99;ENU?;FPL?;FPL?;", 0), 0u) << Wire();
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(indicator.Display()); }, kWaitMs));
  indicator.SetWeight(1234);
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(indicator.Display()); }, kWaitMs));
  EXPECT_EQ(window->StatusPanelText(2), QStringLiteral("Port: 127.0.0.1:%1").arg(port));
  EXPECT_EQ(Control<QToolButton>(*window, "ToolButton4").text(), QStringLiteral("&Disconnect"));
  EXPECT_TRUE(Control<QTabWidget>(*window, "PgCMain").isTabVisible(4));
  EXPECT_TRUE(Control<QAction>(*window, "ReadSettings1").isEnabled());
}

TEST_F(TViewerTest, KeysSendTheirNumberAndALongHoldAddsOne) {
  Connect();
  auto& keys = window->DisplayMimic().Buttons();
  ASSERT_TRUE(keys.OnKeyPressed);
  keys.OnKeyPressed(&keys, 0, 150);
  keys.OnKeyPressed(&keys, 3, 2000);
  ASSERT_TRUE(QTest::qWaitFor([&] { return WireHas("FPL4,1;"); }, kWaitMs));
  EXPECT_TRUE(WireHas("FPL1;"));
  EXPECT_LT(Wire().find("FPL1;"), Wire().find("FPL4,1;"));
}

TEST_F(TViewerTest, KeysWhileDisconnectedOnlySayTheInstrumentMustBeConnected) {
  prompter.AnswerMessage(mrOk);
  auto& keys = window->DisplayMimic().Buttons();
  keys.OnKeyPressed(&keys, 0, 150);
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{QStringLiteral("Instrument must be connected")});
}

TEST_F(TViewerTest, TestPageSendsWithAndWithoutStxEtxAndShowsTheReplies) {
  Connect();
  auto& pages = Control<QTabWidget>(*window, "PgCMain");
  auto& edit = Control<QLineEdit>(*window, "EdtSendStr");
  pages.setCurrentWidget(&Control<QWidget>(*window, "TSTest"));
  EXPECT_EQ(window->PollMode(), pmTest);
  // A display poll already on the wire is answered before the page's own traffic.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Poller().Outstanding(); }, kWaitMs));
  edit.setText(QStringLiteral("ADR?"));
  Control<QPushButton>(*window, "BtnSend").click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Memo(*window).find(">>>ADR?;\n1") != std::string::npos; }, kWaitMs))
      << Memo(*window);
  EXPECT_EQ(window->StatusPanelText(0), QStringLiteral("ADR?"));
  EXPECT_EQ(window->StatusPanelText(1), QStringLiteral("1"));
  EXPECT_EQ(edit.text(), QStringLiteral("ADR?"));
  Control<QCheckBox>(*window, "CbStxEtx").setChecked(true);
  QTest::keyClick(&edit, Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return WireHas("\x02" "ADR?\x03"); }, kWaitMs));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Memo(*window).find(">>>ADR?\n") != std::string::npos; }, kWaitMs));
  Control<QPushButton>(*window, "BtnClear").click();
  EXPECT_TRUE(Control<QPlainTextEdit>(*window, "MemoRx").toPlainText().isEmpty());
}

TEST_F(TViewerTest, SilentIndicatorTimesOutBlanksTheLcdAndLeavesTheWindowUsable) {
  indicator.SetFaults({.silent = true});
  // Connecting asks for the display units, which goes unanswered: the box opens
  // while that query still holds the link.
  Connect(true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.Messages().empty(); }, kWaitMs));
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{QStringLiteral("Instrument Not Responding")});
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdAll(false); }, kWaitMs));
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= 2; }, kWaitMs));
  EXPECT_TRUE(window->Connected());
  indicator.SetFaults({});
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(indicator.Display()) && !LcdAll(false); }, kWaitMs));
}

TEST_F(TViewerTest, ARequestGetsItsOwnReplyWhileTheDisplayIsPolled) {
  Connect();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= 2; }, kWaitMs));
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(window->Query("S99;ADR?;", false, IntegerReply, "ADR")) << i;
    EXPECT_EQ(window->FReplyValue(), 1);
  }
}

TEST_F(TViewerTest, DroppedConnectionShowsDisconnectedAndANewConnectWorks) {
  Connect();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= 2; }, kWaitMs));
  server.DropConnections();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Connected(); }, kWaitMs));
  EXPECT_TRUE(LcdAll(true));
  EXPECT_EQ(Control<QToolButton>(*window, "ToolButton4").text(), QStringLiteral("&Connect"));
  EXPECT_EQ(window->PollMode(), pmNone);
  EXPECT_TRUE(window->StatusPanelText(2).isEmpty());
  indicator.ClearLog();
  Connect();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= 2 && LcdShows(indicator.Display()); }, kWaitMs));
}

TEST_F(TViewerTest, DisconnectingThroughTheButtonStopsThePolls) {
  Connect();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= 2; }, kWaitMs));
  window->Connect2Click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Connected(); }, kWaitMs));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Poller().Running(); }, kWaitMs));
  EXPECT_TRUE(LcdAll(true));
}

TEST_F(TViewerTest, GarbageSplitAndOverlongRepliesChangeNothingButWhatTheyShould) {
  Connect();
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(indicator.Display()); }, kWaitMs));
  double weight = 100;
  indicator.SetFaults({.splitBytes = true});
  indicator.SetWeight(weight += 111);
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(indicator.Display()); }, kWaitMs));

  // Stray bytes run into the reply they precede: that is no display image, and
  // the LCD keeps the last good one. An unanswered poll waits out the reply
  // time-out before the next goes, and the LCD goes dark after that same time
  // without a reply, so it may also be dark by now.
  const std::string shown = indicator.Display();
  indicator.SetFaults({.garbage = true});
  indicator.SetWeight(weight += 111);
  std::size_t polls = FplPolls();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= polls + 3; }, kWaitMs));
  EXPECT_NE(indicator.Display(), shown);
  EXPECT_TRUE(LcdShows(shown) || LcdAll(false));

  indicator.SetFaults({.overlongLine = true});
  polls = FplPolls();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= polls + 2; }, kWaitMs));
  indicator.SetFaults({});
  indicator.SetWeight(weight += 111);
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(indicator.Display()); }, kWaitMs));
  EXPECT_TRUE(window->Connected());
}

// A display image that comes after its poll's time-out still shows the
// indicator: a lost reply must not leave every later image one behind, each
// dropped as the answer to the poll before it.
TEST_F(TViewerTest, DisplayImagesBehindLostRepliesStillShowTheIndicator) {
  Connect();
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(indicator.Display()); }, kWaitMs));
  // Lost replies are never waited out, so every later reply comes late.
  window->ReplyLedger().lateAllowanceTicks = std::numeric_limits<int>::max();
  indicator.SetFaults({.silent = true});
  const std::size_t polls = FplPolls();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= polls + 2; }, kWaitMs));
  indicator.SetFaults({});
  indicator.SetWeight(4321);
  ASSERT_TRUE(QTest::qWaitFor([&] { return LcdShows(indicator.Display()); }, kWaitMs));
}

TEST_F(TViewerTest, PollingSurvivesConnectingDisconnectingAndClosing) {
  for (int round = 0; round < 3; ++round) {
    Connect();
    const std::size_t polls = FplPolls();
    ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= polls + 2; }, kWaitMs));
    if (round == 1) {
      server.DropConnections();
    } else {
      window->Connect2Click();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Connected(); }, kWaitMs));
  }
  Connect();
  const std::size_t polls = FplPolls();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() >= polls + 1; }, kWaitMs));
  window->close();
  EXPECT_FALSE(window->Poller().Running() && window->LinkActive());
}

TEST_F(TViewerTest, TheFrontPanelKeepsItsProportionsAndTheWindowItsMinimumWidth) {
  auto& page = Control<QWidget>(*window, "TSDisplay");
  auto& fill = Control<QWidget>(*window, "pnlDispFill");
  auto proportioned = [&] {
    const int panel = page.width() * 65 / 140;
    return page.height() >= panel && fill.height() == page.height() - panel;
  };
  window->resize(300, 900);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->width() == 400 && proportioned(); }, kWaitMs));
  window->resize(1200, 300);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->height() > 300 && proportioned(); }, kWaitMs));
}

TEST_F(TViewerTest, ALostLinkOrAClosingWindowEndsAWaitingRequestAsAFailure) {
  Connect();
  indicator.SetFaults({.silent = true});
  QTimer::singleShot(50, [&] { server.DropConnections(); });
  EXPECT_FALSE(window->Query("S99;ADR?;", false, IntegerReply, "ADR"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Connected(); }, kWaitMs));
  indicator.SetFaults({});
  Connect();
  indicator.SetFaults({.silent = true});
  QTimer::singleShot(50, window.get(), [&] { window->close(); });
  EXPECT_FALSE(window->Query("S99;ADR?;", false, IntegerReply, "ADR"));
  EXPECT_FALSE(window->LinkActive());
  // A step whose reply came with the close goes on to wait: no tick ends that wait now.
  EXPECT_FALSE(window->DelayTicks(1));
  EXPECT_FALSE(window->Poller().Running() && window->Poller().Outstanding());
  EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(TViewerTest, StatusLineNamesTheInstrumentOnceItsSettingsAreKnown) {
  Connect();
  auto& model = window->WorkingData();
  model.Address = 4;
  model.SerialNumber = "A123";
  model.SoftwareVersion = "2.10";
  model.InstrumentID = "Silo 3";
  window->UpdateStatusLine();
  EXPECT_EQ(window->StatusPanelText(2),
            QStringLiteral("Unit 4, SN: A123, Version 2.10, ID: Silo 3, Port: 127.0.0.1:%1").arg(port));
}
