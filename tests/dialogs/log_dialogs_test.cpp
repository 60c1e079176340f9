#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>

#include "components/CEVersionInfo.h"
#include "dialogs/ChartSetup.h"
#include "dialogs/about.h"
#include "dialogs/logdialog.h"
#include "platform/chart/chartmodel.h"
#include "tests/support/scripted_prompter.h"

namespace {

const QStringList kSignals{"None", "Motion", "Zero", "I/O 1", "I/O 2", "I/O 3",
                           "I/O 4", "I/O 5", "I/O 6", "I/O 7", "I/O 8"};

TEST(LogDialog, RatesGiveIntervalAndModeAndChannelsTheirSignal) {
  TFrmLogDialog dialog(kSignals);
  auto* rate = dialog.findChild<QComboBox*>("CBLogRate");
  ASSERT_TRUE(rate);
  const struct {
    int index, interval, mode;
  } rates[] = {{0, 0, 1}, {1, 100, 2}, {2, 1000, 2}, {3, 10000, 2}};
  for (const auto& r : rates) {
    rate->setCurrentIndex(r.index);
    EXPECT_EQ(rate->currentText().isEmpty(), false);
    EXPECT_EQ(dialog.GetSampleInterval(), r.interval) << r.index;
    EXPECT_EQ(dialog.GetLogMode(), r.mode) << r.index;
  }
  auto* dig8 = dialog.findChild<QComboBox*>("CBxDig8");
  ASSERT_TRUE(dig8);
  EXPECT_EQ(dig8->count(), 11);
  EXPECT_EQ(dialog.GetDigitalSource(7), 0);
  dig8->setCurrentIndex(10);
  EXPECT_EQ(dialog.GetDigitalSource(7), 10);
  EXPECT_EQ(dialog.GetDigitalSource(8), 0);
  EXPECT_EQ(dialog.GetDigitalSource(-1), 0);
}

class ChartSetupDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog.DecimalPlaces = 2;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  }
  QLineEdit* Edit(const char* name) { return dialog.findChild<QLineEdit*>(name); }
  // Types into a field as a person does and leaves it for the next one.
  void Type(const char* name, const QString& text, const char* next) {
    QLineEdit* edit = Edit(name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    Edit(next)->setFocus();
  }

  TScriptedPrompter prompter;
  TFrmChartSetup dialog;
};

TEST_F(ChartSetupDialog, FieldsRefuseLettersAndCheckTheirRangeOnLeaving) {
  Type("EdtTstart", "12a", "EdtTend");
  EXPECT_EQ(Edit("EdtTstart")->text(), "12");
  prompter.AnswerMessage(mrOk);
  Type("EdtTend", "1001", "EdtTstart");
  prompter.AnswerMessage(mrOk);
  Type("Edtminwgt", "10000", "EdtMaxWgt");
  Type("EdtMaxWgt", "9999.99", "EdtTstart");
  EXPECT_EQ(prompter.Messages(),
            (std::vector<QString>{"Out of Range: (0 to 1000)", "Out of Range: (-9999.99 to 9999.99)"}));
  EXPECT_EQ(Edit("Edtminwgt")->text(), "10000.00");  // the text stays, normalised
  // Enter normalises without the check.
  Edit("EdtMaxWgt")->setFocus();
  Edit("EdtMaxWgt")->selectAll();
  QTest::keyClicks(Edit("EdtMaxWgt"), "5,5");
  QTest::keyClick(Edit("EdtMaxWgt"), Qt::Key_Return);
  EXPECT_EQ(Edit("EdtMaxWgt")->text(), "5.50");
}

TEST_F(ChartSetupDialog, OkChecksTheOrderAndReadsEitherDecimalCharacter) {
  dialog.DecimalChar = QLatin1Char(',');
  dialog.SetValues(0, 0, -1, 1, "lb", "");
  prompter.AnswerMessage(mrOk);
  dialog.findChild<QPushButton*>("BtnOk")->click();
  Type("EdtTend", "90", "Edtminwgt");
  Type("Edtminwgt", "2,5", "EdtMaxWgt");
  Type("EdtMaxWgt", "-1,25", "EdtComment");
  prompter.AnswerMessage(mrOk);
  dialog.findChild<QPushButton*>("BtnOk")->click();
  EXPECT_EQ(prompter.Messages(),
            (std::vector<QString>{"Start time MUST be less than End time!", "Min weight MUST be less than Max weight!"}));
  EXPECT_TRUE(dialog.isVisible());
  Type("EdtMaxWgt", "12,75", "EdtComment");
  QTest::keyClicks(Edit("EdtComment"), QString(70, 'c'));
  dialog.findChild<QPushButton*>("BtnOk")->click();
  EXPECT_EQ(dialog.result(), mrOk);
  EXPECT_EQ(dialog.EndTime(), 90);
  EXPECT_EQ(dialog.MinWeight(), 2.5);
  EXPECT_EQ(dialog.MaxWeight(), 12.75);
  EXPECT_EQ(dialog.Comment().size(), 60);
  EXPECT_EQ(dialog.findChild<QLabel*>("LblMaxUnits")->text(), "lb");
}

TEST_F(ChartSetupDialog, AutoFillsTheRangesFromTheChart) {
  TChartModel chart;
  chart.AddSeries({});
  chart.Append(0, -10, 0, 0);
  chart.Append(12.5, 30, 0, 0);
  dialog.Chart = &chart;
  dialog.findChild<QPushButton*>("BtnAuto")->click();
  EXPECT_EQ(Edit("EdtTstart")->text(), "0");
  EXPECT_EQ(Edit("EdtTend")->text(), "12.50");
  EXPECT_EQ(Edit("EdtMaxWgt")->text(), "34.00");
  EXPECT_EQ(Edit("Edtminwgt")->text(), "-14.00");
}

TEST(AboutBox, ShowsTheProgramsVersionBlock) {
  TfrmAbout about;
  EXPECT_EQ(about.windowTitle(), "About Dialog tests");
  EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), "Version: 1.00");
  EXPECT_EQ(about.findChild<QLabel*>("lblCopyright")->text(), "Copyright (C) 2026 Velmacor");
  TCEVersionInfo info;
  SplitFileVersion("1.3.3.0", info.MajorVersion, info.MinorVersion, info.Release, info.Build);
  about.ShowInfo(info);
  EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), "Version: 1.33");
}

}  // namespace
