#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include "link/IOIface.h"
#include "tests/mainwindow/viewer_fixture.h"

namespace {

bool TabVisible(TViewerFixture& f, const char* page) {
  auto* pages = f.Find<QTabWidget>("PgCMain");
  return pages->isTabVisible(pages->indexOf(f.Find<QWidget>(page)));
}

bool AllSegments(TViewerFixture& f, char digit) {
  const std::string hex = LcdHex(f.window->DisplayMimic().LCD());
  return !hex.empty() && hex.find_first_not_of(digit) == std::string::npos;
}

}  // namespace

TEST(TFrmMain, StartsDisconnectedWithItsTitleAndPages) {
  TViewerFixture f;
  EXPECT_EQ(f.window->windowTitle(), QStringLiteral("Velmacor W830 Viewer"));
  auto* pages = f.Find<QTabWidget>("PgCMain");
  ASSERT_EQ(pages->count(), 5);
  const char* names[] = {"TSDisplay", "TSSettings", "TSCal", "TSLog", "TSTest"};
  const char* titles[] = {"Display", "Settings", "Calibration", "Log", "Test"};
  const bool visible[] = {true, false, false, true, false};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(pages->widget(i)->objectName(), QLatin1String(names[i]));
    EXPECT_EQ(pages->tabText(i), QLatin1String(titles[i]));
    EXPECT_EQ(pages->isTabVisible(i), visible[i]) << names[i];
  }
  EXPECT_EQ(f.Find<QAction>("Connect2")->text(), QStringLiteral("&Connect"));
  EXPECT_FALSE(f.Find<QAction>("ReadSettings1")->isEnabled());
  EXPECT_TRUE(AllSegments(f, 'F'));
  EXPECT_EQ(f.window->StatusPanelText(2), QString());
}

TEST(TFrmMain, ConnectingPollsTheDisplayAndTheLcdFollowsIt) {
  TViewerFixture f;
  ASSERT_TRUE(f.Connect());
  ASSERT_TRUE(f.WireHas("S98;STP;S99;ENU?;FPL?;"));
  EXPECT_EQ(f.indicator.WireLog().rfind("S98;STP;S99;ENU?;FPL?;", 0), 0u) << f.indicator.WireLog();
  EXPECT_TRUE(TabVisible(f, "TSTest"));
  EXPECT_TRUE(f.Find<QAction>("ReadSettings1")->isEnabled());
  EXPECT_EQ(f.Find<QToolButton>("ToolButton4")->text(), QStringLiteral("&Disconnect"));
  EXPECT_EQ(f.window->StatusPanelText(2), QStringLiteral("Port: 127.0.0.1:%1").arg(f.port));
  EXPECT_TRUE(f.LcdFollowsIndicator());
  f.indicator.SetWeight(123.4);
  EXPECT_TRUE(f.LcdFollowsIndicator());
  EXPECT_TRUE(f.prompter.Prompts().size() == 1);  // the connection dialog only
}

TEST(TFrmMain, KeysGoOnTheWireWithTheirHold) {
  TViewerFixture f;
  ASSERT_TRUE(f.Connect());
  auto& keys = f.window->DisplayMimic().Buttons();
  ASSERT_TRUE(keys.OnKeyPressed);
  keys.OnKeyPressed(&keys, 0, 150);
  EXPECT_TRUE(f.WireHas("FPL1;"));
  keys.OnKeyPressed(&keys, 3, 2000);
  EXPECT_TRUE(f.WireHas("FPL4,1;"));
}

TEST(TFrmMain, AKeyWhileDisconnectedOnlySaysSo) {
  TViewerFixture f;
  f.prompter.AnswerMessage(mrOk);
  f.window->LCDButtonPress(0, 100);
  ASSERT_EQ(f.prompter.Messages().size(), 1u);
  EXPECT_EQ(f.prompter.Messages()[0], QStringLiteral("Instrument must be connected"));
}

TEST(TFrmMain, TheTestPageSendsAndShowsReplies) {
  struct Case {
    bool stxEtx;
    const char* wire;
    const char* echo;
  } cases[] = {{false, "ADR?;", ">>>ADR?;"}, {true, "\x02" "ADR?\x03", ">>>ADR?"}};
  TViewerFixture f;
  ASSERT_TRUE(f.Connect());
  f.Find<QTabWidget>("PgCMain")->setCurrentWidget(f.Find<QWidget>("TSTest"));
  EXPECT_EQ(f.window->PollMode(), pmTest);
  for (const Case& c : cases) {
    f.indicator.ClearLog();
    f.Find<QPushButton>("BtnClear")->click();
    f.Find<QCheckBox>("CbStxEtx")->setChecked(c.stxEtx);
    f.Find<QLineEdit>("EdtSendStr")->setText(QStringLiteral("ADR?"));
    f.Find<QPushButton>("BtnSend")->click();
    EXPECT_TRUE(f.WireHas(c.wire)) << c.wire;
    auto* memo = f.Find<QPlainTextEdit>("MemoRx");
    EXPECT_TRUE(QTest::qWaitFor([&] { return memo->blockCount() >= 2; }, kLimitMs));
    const QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
    EXPECT_EQ(lines[0], QLatin1String(c.echo));
    EXPECT_EQ(lines.size(), 2);
    EXPECT_EQ(f.Find<QLineEdit>("EdtSendStr")->text(), QStringLiteral("ADR?"));
  }
}

TEST(TFrmMain, ASilentIndicatorIsReportedAndTheLcdBlanks) {
  TViewerFixture f(20);
  ASSERT_TRUE(f.Connect());
  ASSERT_TRUE(f.LcdFollowsIndicator());
  sim::TSimFaults silent;
  silent.silent = true;
  f.indicator.SetFaults(silent);
  EXPECT_TRUE(QTest::qWaitFor([&] { return AllSegments(f, '0'); }, kLimitMs));
  f.prompter.AnswerMessage(mrOk);
  auto* pages = f.Find<QTabWidget>("PgCMain");
  pages->setCurrentWidget(f.Find<QWidget>("TSLog"));
  pages->setCurrentWidget(f.Find<QWidget>("TSDisplay"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return f.prompter.Messages().size() == 1; }, kLimitMs));
  EXPECT_EQ(f.prompter.Messages()[0], QStringLiteral("Instrument Not Responding"));
  EXPECT_TRUE(f.window->Connected());
  f.indicator.SetFaults({});
  EXPECT_TRUE(f.LcdFollowsIndicator());
}

TEST(TFrmMain, ADroppedConnectionShowsDisconnectedAndANewConnectWorks) {
  TViewerFixture f;
  ASSERT_TRUE(f.Connect());
  ASSERT_TRUE(f.LcdFollowsIndicator());
  f.server.DropConnections();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !f.window->Connected(); }, kLimitMs));
  EXPECT_TRUE(AllSegments(f, 'F'));
  EXPECT_FALSE(TabVisible(f, "TSTest"));
  EXPECT_EQ(f.window->StatusPanelText(2), QString());
  EXPECT_EQ(f.prompter.Prompts().size(), 1u);  // no error box for a closed connection
  f.indicator.ClearLog();
  ASSERT_TRUE(f.Connect());
  EXPECT_TRUE(f.WireHas("S98;STP;S99;ENU?;FPL?;"));
  EXPECT_TRUE(f.LcdFollowsIndicator());
}

TEST(TFrmMain, DisconnectingFromTheMenuStopsThePolls) {
  TViewerFixture f;
  ASSERT_TRUE(f.Connect());
  f.window->findChild<QAction*>(QStringLiteral("Connect2"))->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !f.window->Connected(); }, kLimitMs));
  EXPECT_EQ(f.window->PollMode(), pmNone);
  EXPECT_EQ(f.Find<QAction>("Connect2")->text(), QStringLiteral("&Connect"));
}

TEST(TFrmMain, RepliesSplitIntoSingleBytesStillDriveTheLcd) {
  TViewerFixture f;
  ASSERT_TRUE(f.Connect());
  sim::TSimFaults split;
  split.splitBytes = true;
  f.indicator.SetFaults(split);
  f.indicator.SetWeight(42.0);
  EXPECT_TRUE(f.LcdFollowsIndicator());
}

TEST(TFrmMain, GarbageAndOverlongLinesLeaveTheLcdAsItWasUntilRepliesAreSoundAgain) {
  const char* names[] = {"garbage before replies", "overlong line"};
  for (int which = 0; which < 2; ++which) {
    TViewerFixture f;
    ASSERT_TRUE(f.Connect()) << names[which];
    ASSERT_TRUE(f.LcdFollowsIndicator()) << names[which];
    const std::string shown = LcdHex(f.window->DisplayMimic().LCD());
    sim::TSimFaults faults;
    faults.garbage = which == 0;
    faults.overlongLine = which == 1;
    f.indicator.SetFaults(faults);
    f.indicator.SetWeight(42.0);
    const std::size_t before = f.indicator.Commands().size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.indicator.Commands().size() > before + 3; }, kLimitMs));
    // No sound reply for a while may blank the LCD; nothing else may show on it.
    const std::string now = LcdHex(f.window->DisplayMimic().LCD());
    EXPECT_TRUE(now == shown || now == std::string(shown.size(), '0')) << names[which] << ": " << now;
    f.indicator.SetFaults({});
    EXPECT_TRUE(f.LcdFollowsIndicator()) << names[which];
    EXPECT_TRUE(f.window->Connected()) << names[which];
    EXPECT_EQ(f.prompter.Prompts().size(), 1u) << names[which];
  }
}

TEST(TFrmMain, ConnectingWhileTheLogPageIsShownLeavesPollingOff) {
  TViewerFixture f;
  f.Find<QTabWidget>("PgCMain")->setCurrentWidget(f.Find<QWidget>("TSLog"));
  ASSERT_TRUE(f.Connect());
  EXPECT_EQ(f.window->PollMode(), pmLog);
  EXPECT_EQ(f.indicator.WireLog().find("FPL?;"), std::string::npos);
}

TEST(FillDecimalPointList, RelabelsTheItemsAndKeepsTheSelection) {
  QComboBox list;
  FillDecimalPointList(list, QLatin1Char('.'));
  list.setCurrentIndex(3);
  FillDecimalPointList(list, QLatin1Char(','));
  ASSERT_EQ(list.count(), 6);
  EXPECT_EQ(list.itemText(0), QStringLiteral("123456"));
  EXPECT_EQ(list.itemText(1), QStringLiteral("12345 , 6"));
  EXPECT_EQ(list.itemText(5), QStringLiteral("1 , 23456"));
  EXPECT_EQ(list.currentIndex(), 3);
}
