// The W840's Calibration page of the real main window against the simulated W840:
// a live zero in its words and with its error box, the absolute mV/V dialog of the
// weigh mode "Direct", and a restore that asks about the W840's serial number. With
// VIEWER_SNAPSHOT_DIR set, a picture of the page laid out for "Direct" is kept there.
#include <QDialog>
#include <QTemporaryDir>

#include "tests/mainwindow/fixture/calibration_fixture.h"
#include "tests/support/accessible_names.h"

namespace {

const QString kOutOfRange = QStringLiteral("Out of Range: (-3.0000 to 3.0000)");

class TW840CalibrationTest : public TCalibrationPageFixture {
 protected:
  TW840CalibrationTest() : TCalibrationPageFixture(kW840Program) {}
  void ConnectInDirect() {
    ASSERT_EQ(indicator.Feed("WMD4,0;"), "0\r\n");
    ConnectReadAndShowCalibration();
  }
  // Answers the absolute mV/V dialog as a person does: checks what it offers, then
  // runs act on it shown; its result is the dialog's.
  void AnswerAbsolute(const QString& prompt, const QString& offered, std::function<void(QDialog&)> act) {
    prompter.AnswerDialog([prompt, offered, act](QDialog& dialog) {
      EXPECT_EQ(dialog.objectName(), "FrmAbsCal");
      EXPECT_EQ(dialog.windowTitle(), "Absolute mV/V Calibration");
      EXPECT_EQ(Caption(Control<QLineEdit>(dialog, "EdtAbsMV")), prompt) << "the prompt names the field";
      EXPECT_EQ(Control<QLineEdit>(dialog, "EdtAbsMV").text(), offered);
      dialog.show();
      dialog.activateWindow();
      EXPECT_TRUE(QTest::qWaitFor([&] { return Control<QLineEdit>(dialog, "EdtAbsMV").hasFocus(); }, kWaitMs));
      act(dialog);
      EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, kWaitMs));
      return dialog.result();
    });
  }
  static void Retype(QDialog& dialog, const QString& text) {
    auto& edit = Control<QLineEdit>(dialog, "EdtAbsMV");
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit.hasFocus(); }, kWaitMs));
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&edit, text);
  }
  static void Press(QDialog& dialog, const char* button) {
    QTest::mouseClick(&Control<QPushButton>(dialog, button), Qt::LeftButton);
  }
};

TEST_F(TW840CalibrationTest, ALiveZeroSpeaksTheW840sCommandsAndNamesItsErrors) {
  ConnectReadAndShowCalibration();
  indicator.SetCalibrationBusyPolls(1);
  indicator.SetCalibrationError(105);
  prompter.AnswerMessage(mrOk);
  prompter.AnswerMessage(mrNo);
  AnswerTraffic();
  Click("BtnZero");
  EXPECT_EQ(SentUntilTheRead(), (std::vector<std::string>{"LDW", "LDW?", "LDW?", FirstReadQuery()}));
  EXPECT_EQ(prompter.Messages(), (std::vector<QString>{"Error: 105 - Invalid Zero Cal", kSaveQuestion}));
  ExpectIdle();
}

// The indicator's signal is offered; a value out of range is refused both on
// leaving the field and on OK, and the dialog stays open until one in range is typed.
TEST_F(TW840CalibrationTest, InDirectAZeroAsksForTheAbsoluteValueAndSendsWhatIsTyped) {
  ConnectInDirect();
  AnswerAbsolute("Enter Zero Signal", "1.2345", [](QDialog& dialog) {
    Retype(dialog, "3.5");
    QTest::keyClick(&Control<QLineEdit>(dialog, "EdtAbsMV"), Qt::Key_Tab);
    EXPECT_EQ(Control<QLineEdit>(dialog, "EdtAbsMV").text(), "3.5000");
    Press(dialog, "BtnOk");
    EXPECT_TRUE(dialog.isVisible());
    Retype(dialog, "-0.25");
    Press(dialog, "BtnOk");
  });
  prompter.AnswerMessage(mrOk);
  prompter.AnswerMessage(mrOk);
  prompter.AnswerMessage(mrNo);
  AnswerTraffic();
  Click("BtnZero");
  EXPECT_EQ(SentUntilTheRead(), (std::vector<std::string>{"VAL?", "LDW-2500", FirstReadQuery()}));
  EXPECT_EQ(prompter.Messages(), (std::vector<QString>{kOutOfRange, kOutOfRange, kSaveQuestion}));
  EXPECT_EQ(indicator.Setting("LDW1"), "LDW1,-2500");
  ExpectIdle();
}

TEST_F(TW840CalibrationTest, InDirectACancelledSpanSendsNothing) {
  ConnectInDirect();
  KeepPicture(window->grab().toImage(), "W840Viewer-calibration-direct.png");
  AnswerAbsolute("Enter Fullscale Span Signal", "2.0000", [](QDialog& dialog) { Press(dialog, "BtnCancel"); });
  prompter.AnswerMessage(mrOk);
  Click("BTnSpan");
  EXPECT_EQ(SentCommands(), std::vector<std::string>{"LWT?"});
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{"mV/V span calibration cancelled"});
  ExpectIdle();
}

TEST_F(TW840CalibrationTest, ABackupFromAnotherW840IsRestoredAfterTheSerialNumberQuestion) {
  ConnectReadAndShowCalibration();
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("bay.cal"));
  const std::vector<std::string> blocks = CalBlocks();
  prompter.AnswerFile(file);
  Click("btnBackupCal");

  // Another indicator of the same kind and version.
  ASSERT_EQ(indicator.Feed("IDN\"\",\"SIM00077\",\"3.05\";"), "0\r\n");
  ReadSettings();
  indicator.ClearLog();
  prompter.Clear();
  prompter.AnswerFile(file);
  prompter.AnswerMessage(mrYes);
  prompter.AnswerMessage(mrYes);
  AnswerTraffic();
  Click("btnRestoreCal");
  EXPECT_EQ(prompter.Messages(),
            (std::vector<QString>{"W840 serial number is different. Continue?", kSaveQuestion}));
  EXPECT_EQ(SentUntilTheRead(), (blocks + std::vector<std::string>{"TDD1", FirstReadQuery()}));
  ExpectIdle();
}

}  // namespace
