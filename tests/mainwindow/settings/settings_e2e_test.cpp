// Reading and writing settings with the real main window against the simulated
// indicator over TCP on 127.0.0.1: what the pages show, what goes on the wire and in
// which order, and the status line's sync colour.
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include <algorithm>

#include "mainwindow/settings/settingspages.h"
#include "mainwindow/window/statuspanel.h"
#include "protocol/database.h"
#include "tests/mainwindow/fixture/viewer_fixture.h"

namespace {

class TSettingsViewerTest : public TViewerTest {
 protected:
  static std::vector<std::string> BaseQueries() {
    std::vector<std::string> queries, prefixes;
    w830::Tdata7400().BuildQueries(false, queries, prefixes);
    return queries;
  }
  bool StatusRed() { return Control<TStatusLinePanel>(*window, "StatusPanel2").DrawnRed(); }
};

TEST_F(TSettingsViewerTest, ReadFillsEveryPageWithTheIndicatorsValues) {
  for (const char* line : {"IDN\"Scale 4\"", "IAD1,9000,2,3,1,50,1", "ENU1", "PST2,\"Hello, world\"", "ICR60"})
    ASSERT_EQ(indicator.Feed(std::string(line) + ";"), "0\r\n") << line;
  Connect();
  ReadSettings();

  auto& pages = window->SettingsPages();
  EXPECT_EQ(Control<QLineEdit>(pages, "EdtID").text(), "Scale 4");
  EXPECT_EQ(Control<QLineEdit>(pages, "EdtFS1").text(), "90.00");
  EXPECT_EQ(Control<QComboBox>(pages, "CBxUnits").currentIndex(), 1);
  EXPECT_EQ(Control<QComboBox>(pages, "cbxFilter").currentText(), "60");
  EXPECT_EQ(Control<QPlainTextEdit>(pages, "MemoHeader").toPlainText(), "\nHello, world\n\n\n\n");
  auto& main = Control<QTabWidget>(*window, "PgCMain");
  EXPECT_TRUE(main.isTabVisible(main.indexOf(&Control<QWidget>(*window, "TSSettings"))));
  // Every setting survives the pages: storing them back leaves nothing unsent.
  ShowPage("TSSettings");
  ShowPage("TSDisplay");
  EXPECT_TRUE(window->InSync());
  EXPECT_FALSE(StatusRed());
  EXPECT_EQ(window->WorkingData().SerialNumber, "SIM00001");
}

TEST_F(TSettingsViewerTest, WriteOfAProtectedChangeSendsOnlyItBehindThePasscode) {
  indicator.SetPasscode("1234");
  Connect();
  ReadSettings();
  ShowPage("TSSettings");
  auto& units = Control<QComboBox>(window->SettingsPages(), "CBxUnits");
  const int newUnits = units.currentIndex() == 1 ? 2 : 1;
  units.setCurrentIndex(newUnits);
  ShowPage("TSDisplay");
  EXPECT_FALSE(window->InSync());
  EXPECT_TRUE(StatusRed());

  indicator.ClearLog();
  AnswerTraffic();
  AnswerPasscode("1234");
  AnswerTraffic();
  Control<QAction>(*window, "WriteSettings1").trigger();

  std::vector<std::string> expected = BaseQueries();
  for (const std::string& c : std::vector<std::string>{"PCD?", "PCD1234", "ENU" + std::to_string(newUnits), "PCD", "TDD1"})
    expected.push_back(c);
  EXPECT_EQ(SentCommands(), expected);
  EXPECT_EQ(indicator.Setting("ENU"), "ENU" + std::to_string(newUnits));
  EXPECT_EQ(indicator.Saves(), 1);
  EXPECT_EQ(window->InstrumentData().Units, newUnits);
  EXPECT_TRUE(window->InSync());
  EXPECT_FALSE(StatusRed());
  EXPECT_EQ(window->PollMode(), pmDisplay);
}

TEST_F(TSettingsViewerTest, TransfersAndPasscodesReuseTheDialogsMadeAtStartAndThePasscodeStartsEmpty) {
  QStringList made;
  for (const QDialog* dialog : window->findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) made << dialog->objectName();
  EXPECT_EQ(made, QStringList({"FrmLogDialog", "FrmTraffic", "frmAbout", "FrmChartSetup", "FrmPasscode"}));

  indicator.SetPasscode("1234");
  std::vector<QDialog*> traffic;
  auto answerTraffic = [&] {
    prompter.AnswerDialog([&](QDialog& dialog) {
      traffic.push_back(&dialog);
      dialog.show();
      EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, kWaitMs));
      return dialog.result();
    });
  };
  std::vector<QDialog*> passcode;
  std::vector<QString> passcodeShown;
  Connect();
  answerTraffic();
  Control<QAction>(*window, "ReadSettings1").trigger();
  for (int write = 0; write < 2; ++write) {
    ShowPage("TSSettings");
    auto& units = Control<QComboBox>(window->SettingsPages(), "CBxUnits");
    units.setCurrentIndex(units.currentIndex() == 1 ? 2 : 1);
    ShowPage("TSDisplay");
    answerTraffic();
    prompter.AnswerDialog([&](QDialog& dialog) {
      passcode.push_back(&dialog);
      auto& edit = Control<QLineEdit>(dialog, "EdtPasscode");
      passcodeShown.push_back(edit.text());
      edit.setFocus();
      QTest::keyClicks(&edit, "1234");
      return static_cast<int>(mrOk);
    });
    answerTraffic();
    Control<QAction>(*window, "WriteSettings1").trigger();
    EXPECT_TRUE(window->InSync()) << write;
  }

  ASSERT_EQ(traffic.size(), 5u);
  for (QDialog* dialog : traffic) EXPECT_EQ(dialog, &Control<QDialog>(*window, "FrmTraffic"));
  ASSERT_EQ(passcode.size(), 2u);
  for (QDialog* dialog : passcode) EXPECT_EQ(dialog, &Control<QDialog>(*window, "FrmPasscode"));
  EXPECT_EQ(passcodeShown, std::vector<QString>(2, QString()));
}

TEST_F(TSettingsViewerTest, SilentIndicatorGetsFourSendsThenNotRespondingAndNoChangeOfState) {
  ConnectReadAndChangeTheUnits();
  ASSERT_FALSE(window->InSync());
  const int heldUnits = window->InstrumentData().Units;

  indicator.SetFaults({.silent = true});
  indicator.ClearLog();
  prompter.Clear();
  AnswerTrafficStepped();
  prompter.AnswerMessage(mrOk);  // the dialog gives up: one box for the whole write
  Control<QAction>(*window, "WriteSettings1").trigger();

  // Nothing more goes to an indicator that has just not answered ("TDD1" stays
  // unsent). The last send ends the dialog as it goes out, so it may still be on
  // its way to the indicator.
  EXPECT_TRUE(QTest::qWaitFor([&] { return SentCommands().size() >= 4; }, kWaitMs));
  EXPECT_EQ(SentCommands(), std::vector<std::string>(4, BaseQueries().front()));
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{"Instrument Not Responding"});
  EXPECT_FALSE(window->InSync());
  EXPECT_TRUE(StatusRed());
  EXPECT_EQ(window->InstrumentData().Units, heldUnits);
  EXPECT_EQ(window->PollMode(), pmDisplay);
}

TEST_F(TSettingsViewerTest, LinkLostDuringTheBuildReadEndsTheWriteWithoutSyncing) {
  ConnectReadAndChangeTheUnits();
  indicator.ClearLog();
  prompter.AnswerDialog([this](QDialog& dialog) {
    dialog.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return SentCommands().size() >= 3; }, kWaitMs));
    server.DropConnections();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, kWaitMs));
    return dialog.result();
  });
  Control<QAction>(*window, "WriteSettings1").trigger();
  EXPECT_FALSE(window->Connected());
  EXPECT_FALSE(window->InSync());
  EXPECT_EQ(indicator.Saves(), 0);
  const std::vector<std::string> sent = SentCommands();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "TDD1"), 0);
}

}  // namespace
