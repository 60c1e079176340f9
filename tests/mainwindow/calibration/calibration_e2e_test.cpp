// The Calibration page of the real main window against the simulated indicator over
// TCP on 127.0.0.1: what each step puts on the wire, what the technician is asked
// and told, and what the page shows afterwards. With VIEWER_SNAPSHOT_DIR set, a
// picture of the page after a read with a linearisation point set is written there.
#include <QApplication>
#include <cstdlib>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "mimic/voxMimicDisp.h"
#include "platform/inifile.h"
#include "tests/mainwindow/fixture/calibration_fixture.h"

namespace {

class TCalibrationViewerTest : public TCalibrationPageFixture {
 protected:
  TCalibrationViewerTest() : TCalibrationPageFixture(kW830Program) {}
  void SelectPoint(int row) {
    auto& list = Control<QListWidget>(*window, "LBxLCal");
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(row)).center());
  }
  QString Row(int row) { return Control<QListWidget>(*window, "LBxLCal").item(row)->text(); }
};

TEST_F(TCalibrationViewerTest, ThePanelKeepsTheDisplayPagesProportionsAtAnyWindowSize) {
  ConnectReadAndShowCalibration();
  TVoxMimicDisp& panel = window->CalMimic();
  // 140:65, to the pixel that the division rounds away.
  auto proportioned = [&] {
    return panel.isVisible() && panel.width() > 100 && std::abs(panel.width() * 65 - panel.height() * 140) < 140;
  };
  for (const QSize size : {QSize(960, 680), QSize(1400, 600), QSize(500, 900)}) {
    window->resize(size);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->width() == size.width() && proportioned(); }, kWaitMs))
        << size.width() << "x" << size.height() << ": " << panel.width() << "x" << panel.height();
  }
}

TEST_F(TCalibrationViewerTest, AZeroThatRunsBusyThenDoneIsSavedOnYesAndTheSettingsAreReadAgain) {
  ConnectReadAndShowCalibration();
  indicator.SetCalibrationBusyPolls(2);
  prompter.AnswerMessage(mrYes);
  AnswerTraffic();
  Click("BtnZero");
  EXPECT_EQ(SentUntilTheRead(),
            (std::vector<std::string>{"LDN"} + Repeat("LDN?", 7) + std::vector<std::string>{"TDD1", FirstReadQuery()}));
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{kSaveQuestion});
  EXPECT_EQ(indicator.Saves(), 1);
  EXPECT_TRUE(window->InSync());
  EXPECT_EQ(window->PollMode(), pmCalibration);
  ExpectIdle();
}

TEST_F(TCalibrationViewerTest, AnErrorCodeIsShownAndTheSaveQuestionStillFollows) {
  ConnectReadAndShowCalibration();
  indicator.SetCalibrationBusyPolls(1);
  indicator.SetCalibrationError(101);
  prompter.AnswerMessage(mrOk);
  prompter.AnswerMessage(mrNo);
  AnswerTraffic();
  Click("BtnZero");
  EXPECT_EQ(prompter.Messages(),
            (std::vector<QString>{
                QStringLiteral("Calibration Error: 101: Zero Too High (> 3 mV/V) Or Too Low (< -3 mV/V)"),
                kSaveQuestion}));
  EXPECT_EQ(SentUntilTheRead(), (std::vector<std::string>{"LDN", "LDN?", "LDN?", FirstReadQuery()}));
  EXPECT_EQ(indicator.Saves(), 0);
  ExpectIdle();
}

TEST_F(TCalibrationViewerTest, ASpanSendsTheTypedWeightInDisplayCounts) {
  indicator.Feed("IAD1,4000,2;");
  ConnectReadAndShowCalibration();
  // The field is checked on leaving it, as the settings pages' weights are.
  Type("EdtCalWeight", QStringLiteral("0.05"));
  prompter.AnswerMessage(mrOk);
  Focus("edtCalDirectZero");
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{QStringLiteral("Out of Range: (0.10 to 9999.99)")});
  prompter.Clear();
  Type("EdtCalWeight", QStringLiteral("12.5"));
  prompter.AnswerMessage(mrNo);
  AnswerTraffic();
  Click("BTnSpan");
  EXPECT_EQ(SentUntilTheRead(),
            (std::vector<std::string>{"CWT1250", "LWN"} + Repeat("LWN?", 5) + std::vector<std::string>{FirstReadQuery()}));
  EXPECT_EQ(Control<QLineEdit>(*window, "EdtCalWeight").text(), QStringLiteral("12.50"));
  ExpectIdle();
}

TEST_F(TCalibrationViewerTest, DirectValuesAreSentEachWithItsWait) {
  ConnectReadAndShowCalibration();
  Type("edtCalDirectZero", QStringLiteral("1.2345"));
  Type("edtCalDirectSpan", QStringLiteral("2.5"));
  prompter.AnswerMessage(mrNo);
  AnswerTraffic();
  Click("btnCalDirect");
  EXPECT_EQ(SentUntilTheRead(), (std::vector<std::string>{"LDN12345"} + Repeat("LDN?", 5) +
                                 std::vector<std::string>{"LWN25000"} + Repeat("LWN?", 5) +
                                 std::vector<std::string>{FirstReadQuery()}));
  EXPECT_EQ(indicator.Setting("LWN"), "LWN25000");
  ExpectIdle();
}

// The typed decimal is rounded as written: a half goes to the even count.
TEST_F(TCalibrationViewerTest, DirectValuesAtAHalfAreSentRoundedToTheEvenCount) {
  ConnectReadAndShowCalibration();
  Type("edtCalDirectZero", QStringLiteral("0.00015"));
  Type("edtCalDirectSpan", QStringLiteral("0.00305"));
  prompter.AnswerMessage(mrNo);
  AnswerTraffic();
  Click("btnCalDirect");
  EXPECT_EQ(SentUntilTheRead(), (std::vector<std::string>{"LDN2"} + Repeat("LDN?", 5) +
                                 std::vector<std::string>{"LWN30"} + Repeat("LWN?", 5) +
                                 std::vector<std::string>{FirstReadQuery()}));
  ExpectIdle();
}

TEST_F(TCalibrationViewerTest, DirectValuesOutOfRangeAreRefusedWithTheirOwnMessage) {
  ConnectReadAndShowCalibration();
  const struct {
    const char* zero;
    const char* span;
    const char* message;
  } cases[] = {
      {"3.3", "1", "Zero mV/V value error. Calibration failed because direct zero value too big. Must be <= 3.2mV/V"},
      {"-3.3", "1",
       "Zero mV/V value error. Calibration failed because direct zero value too small. Must be >= -3.2mV/V"},
      {"0", "3.3", "Span mV/V value error. Calibration failed because direct span value too big. Must be <= 3.2mV/V"},
      {"0", "-3.3",
       "Span mV/V value error. Calibration failed because direct span value too small. Must be >= -3.2mV/V"},
      {"3.2", "3.2", "Calibration failed because span and zero mV/V values cannot be equal."},
  };
  for (const auto& c : cases) {
    Type("edtCalDirectZero", QString::fromLatin1(c.zero));
    Type("edtCalDirectSpan", QString::fromLatin1(c.span));
    prompter.AnswerMessage(mrOk);
    Click("btnCalDirect");
    EXPECT_EQ(prompter.Messages(), std::vector<QString>{QString::fromLatin1(c.message)}) << c.zero << " " << c.span;
    prompter.Clear();
  }
  EXPECT_TRUE(SentCommands().empty());
  ExpectIdle();
}

TEST_F(TCalibrationViewerTest, ALinearisationPointSetAndClearedIsReadBackIntoTheList) {
  indicator.Feed("IAD1,4000,1;");
  ConnectReadAndShowCalibration();
  EXPECT_EQ(Row(2), QStringLiteral("3:"));
  SelectPoint(2);
  Type("EdtLCalWeight", QStringLiteral("100"));
  QTest::keyClick(&Control<QLineEdit>(*window, "EdtLCalWeight"), Qt::Key_Return);
  EXPECT_EQ(Control<QLineEdit>(*window, "EdtLCalWeight").text(), QStringLiteral("100.0"));
  prompter.AnswerMessage(mrYes);
  Click("BtnLSet");
  EXPECT_EQ(SentCommands(), (std::vector<std::string>{"LIC3,1000", "LIC?3", "TDD1"}));
  EXPECT_EQ(Row(2), QStringLiteral("3:   25%   100.00 kg"));
  EXPECT_FALSE(window->InSync());

  // Another unit picked on the Build page relabels the page and its list.
  ShowPage("TSSettings");
  auto& units = Control<QComboBox>(*window, "CBxUnits");
  units.setFocus();
  QTest::keyClick(&units, Qt::Key_Down);
  ASSERT_EQ(units.currentText(), QStringLiteral("lb"));
  prompter.AnswerMessage(mrNo);  // the unsent change is not sent now
  ShowPage("TSCal");
  EXPECT_EQ(Row(2), QStringLiteral("3:   25%   100.00 lb"));
  EXPECT_EQ(Control<QLabel>(*window, "lblLCalWeightUnits").text(), QStringLiteral("lb"));
  EXPECT_EQ(Control<QLabel>(*window, "lblCalWeightUnits").text(), QStringLiteral("lb"));

  indicator.ClearLog();
  prompter.AnswerMessage(mrNo);
  Click("BtnLClear");
  EXPECT_EQ(SentCommands(), (std::vector<std::string>{"LIC3", "LIC?3"}));
  EXPECT_EQ(Row(2), QStringLiteral("3:"));
  EXPECT_EQ(Control<QListWidget>(*window, "LBxLCal").currentRow(), 2);
  ExpectIdle();
}

// Clearing touches the indicator's calibration at once: only a point the technician
// picked is cleared, not the row the list makes current when tabbed into.
TEST_F(TCalibrationViewerTest, ClearWithoutAPickedPointSaysSoAndSendsNothing) {
  ConnectReadAndShowCalibration();
  auto& list = Control<QListWidget>(*window, "LBxLCal");
  window->activateWindow();
  list.setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(QTest::qWaitFor([&] { return list.hasFocus(); }, kWaitMs));
  for (int i = 0; i < 2; ++i) {
    prompter.AnswerMessage(mrOk);
    Click("BtnLClear");
    EXPECT_EQ(prompter.Messages(), std::vector<QString>{QStringLiteral("No linearisation point selected")});
    prompter.Clear();
    list.setFocus(Qt::TabFocusReason);
  }
  EXPECT_EQ(SentCommands(), std::vector<std::string>{});
  ExpectIdle();
}

TEST_F(TCalibrationViewerTest, ALinkThatClosesBeforeTheStepsFirstRequestSendsNothing) {
  ConnectReadAndShowCalibration();
  prompter.AnswerMessage(mrOk);
  QTimer::singleShot(100, window.get(), [this] { server.DropConnections(); });
  Click("BtnZero");
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{QStringLiteral("No instrument connected")});
  EXPECT_TRUE(SentCommands().empty());
  ExpectIdle();
}

TEST_F(TCalibrationViewerTest, AStreamedLogIsStoppedBeforeTheStepTalksToTheIndicator) {
  ConnectReadAndShowCalibration();
  ShowPage("TSLog");
  prompter.AnswerDialog([](QDialog& dialog) {
    Control<QComboBox>(dialog, "CBLogRate").setCurrentIndex(0);  // as fast as the indicator streams
    return static_cast<int>(mrOk);
  });
  Click("BtnStart");
  ASSERT_TRUE(QTest::qWaitFor([&] { return indicator.Streaming(); }, kWaitMs));
  ShowPage("TSCal");
  indicator.ClearLog();
  prompter.AnswerMessage(mrNo);
  AnswerTraffic();
  Click("BtnZero");
  EXPECT_EQ(SentUntilTheRead(),
            (std::vector<std::string>{"STP", "LDN"} + Repeat("LDN?", 5) + std::vector<std::string>{FirstReadQuery()}));
  EXPECT_FALSE(indicator.Streaming());
  EXPECT_EQ(window->LogMode(), lmOff);
}

TEST_F(TCalibrationViewerTest, ClosingTheWindowWhileAStepWaitsEndsItWithoutAnotherWord) {
  ConnectReadAndShowCalibration();
  indicator.SetCalibrationStatuses({1});
  std::size_t sentAtClose = 0;
  // Closed once the step polls the indicator's status.
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    const std::vector<std::string> sent = SentCommands();
    if (std::count(sent.begin(), sent.end(), "LDN?") < 2) return;
    watch.stop();
    window->close();
    server.CatchUp();
    sentAtClose = indicator.Commands().size();
  });
  watch.start(10);
  Click("BtnZero");
  EXPECT_GT(sentAtClose, 0u);
  server.CatchUp();
  EXPECT_EQ(indicator.Commands().size(), sentAtClose);
  EXPECT_TRUE(prompter.Prompts().empty());
  EXPECT_FALSE(window->CalibrationSteps().Running());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(TCalibrationViewerTest, ABackupRestoresItsBlocksInOrderAndAnEditedOneIsQuestioned) {
  ConnectReadAndShowCalibration();
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("scale.cal"));
  const std::vector<std::string> blocks = CalBlocks();
  indicator.ClearLog();
  prompter.AnswerFile(file);
  Click("btnBackupCal");
  EXPECT_EQ(SentCommands(), (std::vector<std::string>{"BCA?0", "BCA?1", "BCA?2", "BCA?3", "BCA?4"}));

  indicator.ClearLog();
  prompter.AnswerFile(file);
  prompter.AnswerMessage(mrYes);
  AnswerTraffic();
  Click("btnRestoreCal");
  EXPECT_EQ(SentUntilTheRead(), (blocks + std::vector<std::string>{"TDD1", FirstReadQuery()}));
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{kSaveQuestion});

  TMemIniFile ini(file);
  ini.WriteString(QStringLiteral("CalData"), QStringLiteral("BCA1"), QStringLiteral("1,0000,0001"));
  ASSERT_TRUE(ini.UpdateFile());
  indicator.ClearLog();
  prompter.Clear();
  prompter.AnswerFile(file);
  prompter.AnswerMessage(mrNo);
  Click("btnRestoreCal");
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{QStringLiteral("Stored checksum is incorrect. Continue?")});
  EXPECT_TRUE(SentCommands().empty());
  ExpectIdle();
}

// The header keeps each text as the file gives it back; blanks around the
// indicator's ID are no reason to ask whether it is another indicator.
TEST_F(TCalibrationViewerTest, ABackupRestoresOntoItsOwnIndicatorWhoseIdHasOuterBlanksWithoutAsking) {
  ASSERT_EQ(indicator.Feed("IDN\" Scale 1 \";"), "0\r\n");
  ConnectReadAndShowCalibration();
  ASSERT_EQ(window->WorkingData().InstrumentID, " Scale 1 ");
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("scale.cal"));
  prompter.AnswerFile(file);
  Click("btnBackupCal");

  const std::vector<std::string> blocks = CalBlocks();
  indicator.ClearLog();
  prompter.AnswerFile(file);
  prompter.AnswerMessage(mrNo);
  AnswerTraffic();
  Click("btnRestoreCal");
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{kSaveQuestion});
  EXPECT_EQ(SentUntilTheRead(), blocks + std::vector<std::string>{FirstReadQuery()});
  ExpectIdle();
}

TEST_F(TCalibrationViewerTest, ThePageAfterAReadShowsItsLinearisationPoints) {
  indicator.Feed("IAD1,4000,1;LIC3,1000;LIC7,3000;");
  indicator.SetWeight(123.4);
  Connect();
  ReadSettings();
  ShowPage("TSCal");
  EXPECT_EQ(Row(0), QStringLiteral("1:"));
  EXPECT_EQ(Row(2), QStringLiteral("3:   25%   100.00 kg"));
  EXPECT_EQ(Row(6), QStringLiteral("7:   75%   300.00 kg"));
  EXPECT_EQ(Control<QListWidget>(*window, "LBxLCal").count(), 10);
  EXPECT_TRUE(Control<QListWidget>(*window, "LBxLCal").selectedItems().isEmpty());
  EXPECT_EQ(Control<QLineEdit>(*window, "EdtCalWeight").text(), QStringLiteral("300.0"));
  const std::string weight = indicator.Display();
  ASSERT_TRUE(QTest::qWaitFor([&] { return MimicShows(window->CalMimic(), weight); }, kWaitMs));
  window->resize(760, 640);
  QApplication::processEvents();
  KeepPicture(window->grab().toImage(), "W830_830-calibration.png");
}

}  // namespace
