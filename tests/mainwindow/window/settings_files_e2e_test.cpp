// Settings files and the printed settings report with the real main window against
// the simulated indicator: what a saved file holds, what opening one changes and
// sends, what a failed save leaves, and the report as text and as printed.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTabBar>

#include "mainwindow/settings/settingspages.h"
#include "mainwindow/window/statuspanel.h"
#include "platform/textlines.h"
#include "tests/mainwindow/fixture/viewer_fixture.h"
#include "tests/support/unprivileged.h"

namespace {

using Lines = std::vector<std::string>;

// Every byte of a literal, NULs included.
template <std::size_t N>
QByteArray Bytes(const char (&text)[N]) {
  return QByteArray(text, N - 1);
}

constexpr double kA4HeightPoints = 842;

class TSettingsFileTest : public TViewerTest {
 protected:
  bool StatusRed() { return Control<TStatusLinePanel>(*window, "StatusPanel2").DrawnRed(); }
  void Open(const QString& path) {
    prompter.AnswerFile(path);
    Control<QAction>(*window, "Open1").trigger();
  }
  void Save(const QString& path) {
    prompter.AnswerFile(path);
    Control<QAction>(*window, "Save1").trigger();
  }
  Lines WorkingLines() {
    Lines lines;
    window->WorkingData().BuildSetCommands(lines);
    return lines;
  }
  bool PageVisible(const char* name) {
    auto& pages = Control<QTabWidget>(*window, "PgCMain");
    return pages.isTabVisible(pages.indexOf(&Control<QWidget>(*window, name)));
  }
  // The file dialog the last prompt showed: title, filter and default suffix.
  QStringList LastFileDialog() const {
    const TPrompt& p = prompter.Prompts().back();
    return {p.text, p.filter, p.defaultSuffix};
  }
};

TEST_F(TSettingsFileTest, SaveAfterAReadHoldsTheReadSettingsAndOpeningItAgainWritesNothing) {
  Connect();
  ReadSettings();
  const QString path = exe.Path(QStringLiteral("scale.vis"));
  Save(path);
  EXPECT_EQ(LastFileDialog(), (QStringList{"Save Indicator Setting File",
                                           "Indicator Settings (*.vis);;All Files (*.*)", "vis"}));
  Lines read;
  window->InstrumentData().BuildSetCommands(read);
  std::string bytes;
  for (const std::string& line : read) bytes += line + "\r\n";
  EXPECT_EQ(exe.Read(QStringLiteral("scale.vis")).toStdString(), bytes);

  indicator.ClearLog();
  Open(path);
  EXPECT_EQ(LastFileDialog(), (QStringList{"Open Indicator Setting File",
                                           "Indicator Settings (*.vis);;All Files (*.*)", ""}));
  EXPECT_EQ(SentCommands(), Lines{"WFP?"});
  EXPECT_TRUE(window->WorkingData().SerialNumber.empty());
  EXPECT_FALSE(window->InSync());
  EXPECT_TRUE(StatusRed());

  indicator.ClearLog();
  Control<QAction>(*window, "WriteSettings1").trigger();
  EXPECT_EQ(SentCommands(), Lines{"TDD1"});
  EXPECT_TRUE(window->InSync());
  EXPECT_FALSE(StatusRed());
}

// A file may hold any lines in any order, with any line ends: what is a setting
// loads, the rest is passed over, and nothing else changes.
struct TOpenCase {
  const char* name;
  QByteArray file;
  Lines changed;  // the working model's set lines that differ afterwards
};

void PrintTo(const TOpenCase& c, std::ostream* os) { *os << c.name; }

class OpenFileTest : public TSettingsFileTest, public ::testing::WithParamInterface<TOpenCase> {};

TEST_P(OpenFileTest, LoadsWhatItCanAndChangesNothingElse) {
  const Lines before = WorkingLines();
  Open(exe.Write(QStringLiteral("open.vis"), GetParam().file));
  Lines changed = WorkingLines();
  std::erase_if(changed, [&](const std::string& line) {
    return std::find(before.begin(), before.end(), line) != before.end();
  });
  EXPECT_EQ(changed, GetParam().changed);
  EXPECT_TRUE(PageVisible("TSSettings"));
  EXPECT_TRUE(PageVisible("TSCal"));
  EXPECT_EQ(Control<QComboBox>(window->SettingsPages(), "cbAddress").currentText(), "5");
  EXPECT_TRUE(indicator.Commands().empty()) << "not connected: no query";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenFileTest,
    ::testing::Values(TOpenCase{"OnlyTheAddress", "ADR5\r\n", {"ADR5"}},
                      TOpenCase{"Utf8ByteOrderMarkFirst", Bytes("\xEF\xBB\xBF" "ADR5\r\nENU4\r\n"), {"ADR5", "ENU4"}},
                      TOpenCase{"JunkAndMixedLineEnds",
                                Bytes("junk\nADR\r\n;;;\rIDN\"Caf\xe9\"\n\x00\xff\r\nIAD1,99999999,9\r\nADR5"),
                                {"IDN\"Caf\xe9\"", "ADR5"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TSettingsFileTest, OpenWhileConnectedLoadsNothingWhenWfpGoesUnanswered) {
  Connect();
  ReadSettings();
  const Lines before = WorkingLines();
  indicator.SetFaults({.silent = true});
  indicator.ClearLog();
  prompter.Clear();
  prompter.AnswerFile(exe.Write(QStringLiteral("open.vis"), "ADR5\r\nENU4\r\n"));
  prompter.AnswerMessage(mrOk);
  Control<QAction>(*window, "Open1").trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return prompter.AllAnswersUsed(); }, kWaitMs));
  EXPECT_EQ(SentCommands(), Lines{"WFP?"});
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{"Instrument Not Responding"});
  EXPECT_EQ(WorkingLines(), before);
  EXPECT_TRUE(window->InSync());
  EXPECT_FALSE(window->WorkingData().SerialNumber.empty());
}

TEST_F(TSettingsFileTest, ASaveThatCannotBeWrittenSaysWhyAndKeepsTheOldFile) {
  const QByteArray old = "ADR5\r\n";
  const QString path = exe.Write(QStringLiteral("scale.vis"), old);
  const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
  QFile::setPermissions(exe.Dir(), readOnly);
  prompter.AnswerFile(path);
  prompter.AnswerMessage(mrOk);
  {
    TUnprivileged user;
    ASSERT_TRUE(user.Active());
    Control<QAction>(*window, "Save1").trigger();
  }
  QFile::setPermissions(exe.Dir(), readOnly | QFile::WriteOwner);
  EXPECT_EQ(prompter.Messages(),
            std::vector<QString>{QStringLiteral("Cannot create file \"%1\". Permission denied").arg(path)});
  EXPECT_EQ(exe.Read(QStringLiteral("scale.vis")), old);
}

TEST_F(TSettingsFileTest, OnTheLogPageTheFileItemsActOnTheWeightLogAndTheChart) {
  const QStringList logDialog = {"Indicator Log (*.log);;All Files (*.*)"};
  auto& print = Control<QAction>(*window, "Print1");
  ShowPage("TSLog");
  EXPECT_EQ(print.text(), "&Print Log");

  const QString path = exe.Path(QStringLiteral("run.log"));
  Save(path);
  EXPECT_EQ(LastFileDialog(), (QStringList{"Save Indicator Log File", logDialog[0], "log"}));
  EXPECT_EQ(ReadTextLines(path).size(), 2u) << "an empty log: its title and channel sources";
  Open(path);
  EXPECT_EQ(LastFileDialog(), (QStringList{"Open Indicator Log File", logDialog[0], ""}));

  const QString pdf = exe.Path(QStringLiteral("chart.pdf"));
  prompter.AnswerPrintToPdf(pdf);
  print.trigger();
  EXPECT_TRUE(PdfText(pdf).contains("Time (secs)"));
  EXPECT_FALSE(PdfText(pdf).contains("--- BUILD ---"));

  ShowPage("TSDisplay");
  EXPECT_EQ(print.text(), "&Print Settings");
}

// The fixture's report covers the conditional lines: the second range, ports of
// every kind, setpoints of each rule and values that have no item in their box.
TEST_F(TSettingsFileTest, ReportOfTheFixtureAsTextAndAsPrinted) {
  Open(SourceFile("report_fixture.vis"));
  // A serial tab with a short list of functions is shown: every port is still named.
  Control<QTabBar>(window->SettingsPages(), "tcSerial").setCurrentIndex(1);
  const QStringList golden = GoldenLines(SourceFile("report_fixture.txt"));
  ASSERT_EQ(Report(), golden);

  const std::vector<TPdfLine> printed = PrintedReport();
  ASSERT_FALSE(printed.empty());

  // Every word in order, each line on one page, and the second page used.
  QStringList words;
  for (const TPdfLine& line : printed) words << line.words;
  EXPECT_EQ(words, golden.join(u' ').split(u' ', Qt::SkipEmptyParts));
  int page = 1, lastOnFirst = -1, firstOnSecond = -1;
  std::size_t next = 0, firstOnSecondPrinted = 0;
  for (int i = 0; i < golden.size() && next < printed.size(); ++i) {
    const qsizetype count = golden[i].split(u' ', Qt::SkipEmptyParts).size();
    if (count == 0) continue;
    const int linePage = printed[next].page;
    EXPECT_GE(linePage, page) << golden[i].toStdString();
    if (linePage == 1) lastOnFirst = i;
    if (linePage == 2 && firstOnSecond < 0) {
      firstOnSecond = i;
      firstOnSecondPrinted = next;
    }
    for (qsizetype taken = 0; next < printed.size() && taken < count; ++next) {
      EXPECT_EQ(printed[next].page, linePage) << golden[i].toStdString();
      taken += printed[next].words.size();
    }
    page = linePage;
  }
  EXPECT_EQ(page, 2);

  // Five blanks before each line and three empty lines above the first; a page holds
  // as many lines as fit, and the next starts at its top without the empty lines.
  const TPdfLine& first = printed.front();
  const double advance = first.width / golden.front().size();
  const double lineHeight = printed[1].top - first.top;
  EXPECT_NEAR(first.left / advance, 5.0, 0.1);
  EXPECT_NEAR(first.top / lineHeight, 3.0, 0.1);
  const auto row = [&](const TPdfLine& line) { return std::lround((line.top - first.top) / lineHeight) + 3; };
  const long rowsPerPage = static_cast<long>(kA4HeightPoints / lineHeight);
  const long emptyRowsEndingFirst = rowsPerPage - 1 - row(printed[firstOnSecondPrinted - 1]);
  const long emptyRowsStartingSecond = row(printed[firstOnSecondPrinted]);
  EXPECT_EQ(emptyRowsEndingFirst + emptyRowsStartingSecond, firstOnSecond - lastOnFirst - 1);
}

}  // namespace
