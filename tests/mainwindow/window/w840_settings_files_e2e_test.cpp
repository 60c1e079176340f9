// The W840's settings files and printed settings report with the real main window
// against the simulated W840: a saved file holds what was read and opens again
// behind a "WFP?", the Calibration page follows the weigh mode the file brings, and
// the report prints as its golden text.
#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "tests/mainwindow/fixture/viewer_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class TW840FileTest : public TW840ViewerTest {
 protected:
  void Open(const QString& path) {
    prompter.AnswerFile(path);
    Control<QAction>(*window, "Open1").trigger();
  }
  // The Calibration page as the weigh mode "Direct" lays it out, or as any other.
  void ExpectAbsoluteLayout(bool absolute) {
    EXPECT_EQ(Control<QGroupBox>(*window, "GBxLin").isHidden(), absolute);
    EXPECT_EQ(Control<QLineEdit>(*window, "EdtCalWeight").isHidden(), absolute);
    EXPECT_EQ(Control<QPushButton>(*window, "btnCalDirect").isEnabled(), absolute);
    EXPECT_EQ(Control<QLineEdit>(*window, "edtCalDirectZero").isEnabled(), absolute);
  }
};

// A W830 file names the same settings with more fields: it would put the W830's
// second serial port into the W840's first.
TEST_F(TW840FileTest, AW830FileIsRefusedWithAMessageAndLoadsNothing) {
  Connect();
  ReadSettings();
  Lines before;
  window->WorkingData().BuildSetCommands(before);
  const QString path = SourceFile("report_fixture.vis");
  indicator.ClearLog();
  prompter.AnswerFile(path);
  prompter.AnswerMessage(mrOk);
  Control<QAction>(*window, "Open1").trigger();
  EXPECT_EQ(prompter.Messages(),
            std::vector<QString>{
                QStringLiteral("\"%1\" holds the settings of a W830 indicator, not of a W840: nothing was loaded.").arg(path)});
  Lines after;
  window->WorkingData().BuildSetCommands(after);
  EXPECT_EQ(after, before);
  EXPECT_TRUE(SentCommands().empty());
  EXPECT_TRUE(window->InSync());
}

TEST_F(TW840FileTest, ASavedFileHoldsTheReadSettingsAndOpensAgainBehindAWfpQuery) {
  Connect();
  ReadSettings();
  ExpectAbsoluteLayout(false);
  const QString path = exe.Path(QStringLiteral("bay.vis"));
  prompter.AnswerFile(path);
  Control<QAction>(*window, "Save1").trigger();
  Lines read;
  window->InstrumentData().BuildSetCommands(read);
  std::string bytes;
  for (const std::string& line : read) bytes += line + "\r\n";
  EXPECT_EQ(exe.Read(QStringLiteral("bay.vis")).toStdString(), bytes);

  // The same file in the weigh mode "Direct".
  exe.Write(QStringLiteral("direct.vis"), exe.Read(QStringLiteral("bay.vis")).replace("WMD1,0", "WMD4,0"));
  indicator.ClearLog();
  Open(exe.Path(QStringLiteral("direct.vis")));
  EXPECT_EQ(SentCommands(), Lines{"WFP?"});
  EXPECT_EQ(window->WorkingData().WeighMode, 3);
  EXPECT_TRUE(window->WorkingData().SerialNumber.empty());
  EXPECT_FALSE(window->InSync());
  ExpectAbsoluteLayout(true);

  Open(path);
  ExpectAbsoluteLayout(false);
}

// The fixture's report covers the lines that depend on the settings: the second
// range, the mV/V values from the Calibration page, both kinds of serial port and the
// three ways a setpoint is told.
TEST_F(TW840FileTest, TheReportPrintsAsItsGoldenText) {
  Open(SourceFile("report840_fixture.vis"));
  const QStringList golden = GoldenLines(SourceFile("report840_fixture.txt"));
  ASSERT_EQ(Report(), golden);

  // Each line's words in order, on one printed line or, wider than the page, on
  // those that follow it.
  const std::vector<TPdfLine> printed = PrintedReport();
  std::size_t next = 0;
  for (const QString& line : golden) {
    const QStringList want = line.split(u' ', Qt::SkipEmptyParts);
    QStringList words;
    while (next < printed.size() && words.size() < want.size()) words << printed[next++].words;
    EXPECT_EQ(words, want);
  }
  EXPECT_EQ(next, printed.size());
}

}  // namespace
