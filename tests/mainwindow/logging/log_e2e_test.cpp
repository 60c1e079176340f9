// The Log page of the real main window against the simulated indicator: starting
// and stopping streamed and polled logs, the "COF12" fall-back, the chart's keys and
// cursors, the weight log file and the printed chart. With VIEWER_SNAPSHOT_DIR set,
// pictures of the page and the printed PDF are kept there.
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include "mainwindow/logging/logsession.h"
#include "mainwindow/settings/settingspages.h"
#include "platform/chart/chartwidget.h"
#include "tests/mainwindow/logging/log_fixture.h"

namespace {

class LogPage : public TLogPageFixture {
 protected:
  LogPage() : TLogPageFixture(kW830Program) {}
  void SetUp() override {
    TLogPageFixture::SetUp();
    // Whole counts on both sides: the chart shows the indicator's weight as it is.
    indicator.Feed("IAD1,4000,0;");
    indicator.SetWeight(25);
  }
};

TEST_F(LogPage, AutoAsksForWordBStreamsIntoTheChartAndStopEndsTheStream) {
  Connect();
  ShowLogPage();
  EXPECT_TRUE(Control<QPushButton>("BtnStart").isEnabled());
  EXPECT_FALSE(Control<QPushButton>("BtnStop").isEnabled());
  StartLog(kAuto, {1, 2, 3});
  ASSERT_TRUE(HasSamples(20));
  const std::string wire = Wire();
  const std::size_t cof12 = wire.find("S99;COF12;");
  ASSERT_NE(cof12, std::string::npos) << wire;
  EXPECT_NE(wire.find("MSV?,0;", cof12), std::string::npos) << wire;
  EXPECT_EQ(wire.find("COF11"), std::string::npos);
  EXPECT_EQ(Samples().Weight(5), 25);
  EXPECT_TRUE(Samples().HasChannel(5, 2));
  EXPECT_FALSE(Control<QPushButton>("BtnStart").isEnabled());
  EXPECT_TRUE(Control<QPushButton>("BtnStop").isEnabled());
  StopLog();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !indicator.Streaming(); }, kWaitMs));
  EXPECT_NE(Wire().find("STP;", wire.find("MSV?,0;")), std::string::npos);
  EXPECT_TRUE(Control<QPushButton>("BtnStart").isEnabled());
  EXPECT_EQ(window->LogMode(), lmOff);
}

TEST_F(LogPage, ARefusedCof12FallsBackToCof11AndWarnsWordForWord) {
  indicator.SetCof12Supported(false);
  Connect();
  ShowLogPage();
  StartLog(kAuto, {7, 0, 3, 0, 0, 0, 0, 10}, true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return WireHas("S99;COF11;"); }, kWaitMs));
  EXPECT_LT(Wire().find("S99;COF12;"), Wire().find("S99;COF11;"));
  EXPECT_EQ(prompter.Prompts().back().type, TMsgDlgType::mtWarning);
  EXPECT_EQ(prompter.Prompts().back().text,
            "Your indicator doesn't support COF12, therefore the following IOs cannot be logged: Digital 1: I/O 5, "
            "Digital 8: I/O 8, . To log IOs 5 to 8 please upgrade the indicator.");
  ASSERT_TRUE(HasSamples(5));  // replies without word B are samples still
  StopLog();
}

TEST_F(LogPage, PolledLoggingPacesItsSamplesAtEachRate) {
  Connect();
  ShowLogPage();
  const struct {
    TRate rate;
    double seconds;
    std::size_t samples;
  } rates[] = {{k10Hz, 0.1, 6}, {k1Hz, 1.0, 2}};
  for (const auto& r : rates) {
    StartLog(r.rate, {1});
    ASSERT_TRUE(HasSamples(r.samples)) << r.seconds;
    EXPECT_EQ(window->LogMode(), lmPolled);
    for (std::size_t i = 1; i < Samples().Size(); ++i)
      EXPECT_GE(Samples().Time(i) - Samples().Time(i - 1), r.seconds - 1e-6) << r.seconds;
    StopLog();
  }
  // Every ten seconds: the polls go on back to back, and no sample is due yet.
  indicator.ClearLog();
  StartLog(k10Seconds, {1});
  ASSERT_TRUE(QTest::qWaitFor([&] { return Count("MSV?") >= 50; }, kWaitMs));
  EXPECT_EQ(Samples().Size(), 0u);
  EXPECT_EQ(Count("MSV?,0"), 0u);
  StopLog();
  EXPECT_FALSE(WireHas("STP;"));  // a polled log has nothing to stop in the indicator
}

TEST_F(LogPage, TheLogFileSavesAndOpeningOneStopsARunningLog) {
  Connect();
  ShowLogPage();
  StartLog(kAuto, {3});
  ASSERT_TRUE(HasSamples(10));
  StopLog();
  QTemporaryDir dir;
  const QString path = dir.filePath("run.log");
  prompter.AnswerFile(path);
  Control<QAction>("Save1").trigger();
  const std::size_t saved = Samples().Size();
  StartLog(kAuto);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Count("MSV?,0") == 2; }, kWaitMs));
  indicator.ClearLog();
  prompter.AnswerFile(path);
  Control<QAction>("Open1").trigger();
  EXPECT_EQ(window->LogMode(), lmOff);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !indicator.Streaming(); }, kWaitMs));
  EXPECT_TRUE(WireHas("STP;"));
  QTest::qWait(0);
  EXPECT_EQ(Samples().Size(), saved);
  EXPECT_EQ(window->LogSession().Traces().Info(0).Source(), 3);
  EXPECT_EQ(Chart().Model().Bottom().min, 0);  // scaled to the file's samples
  EXPECT_EQ(Chart().Model().Bottom().max, Samples().Time(saved - 1));
}

TEST_F(LogPage, TheAboutItemOpensTheAboutBox) {
  prompter.AnswerDialog([](QDialog& dialog) {
    EXPECT_EQ(dialog.objectName(), "frmAbout");
    EXPECT_TRUE(dialog.windowTitle().startsWith("About "));
    return static_cast<int>(mrOk);
  });
  Control<QAction>("About1").trigger();
  EXPECT_TRUE(prompter.AllAnswersUsed());
}

// A logged run with three channels, zoomed in and measured with both cursors, then
// printed: the page and the printout as a person sees them.
TEST_F(LogPage, ALoggedRunZoomsMeasuresAndPrints) {
  // Settings as a read would leave them: full scale 100.0 kg.
  window->WorkingData().FullScale1 = 1000;
  window->WorkingData().DecimalPoint = 1;
  window->SettingsPages().SettingsToControls(false);
  indicator.Feed("IAD1,1000,1;");
  indicator.SetWeight(20);
  indicator.SetSignal(sim::Signal::kRamp, 50, 4);
  indicator.SetStepInputs(0.25);
  Connect();
  ShowLogPage();
  StartLog(kAuto, {3, 4, 5});  // I/O 1 to I/O 3 from status word B
  ASSERT_TRUE(HasSamples(300));
  Chart().repaint();
  KeepPicture(window->grab().toImage(), "W830_830-log-running.png");
  StopLog();

  // Page Up zooms to the middle half; both cursors then measure.
  QTest::keyClick(&Chart(), Qt::Key_PageUp);
  EXPECT_TRUE(Chart().Model().Zoomed());
  Chart().repaint();
  const QRect plot = Chart().Model().PlotRect();
  QTest::mouseClick(&Chart(), Qt::LeftButton, Qt::ShiftModifier, plot.center() - QPoint(plot.width() / 4, 0));
  EXPECT_TRUE(Control<QLabel>("lblCsrPos").text().contains("   at   ")) << Control<QLabel>("lblCsrPos").text().toStdString();
  QTest::mouseClick(&Chart(), Qt::RightButton, Qt::ShiftModifier, plot.center() + QPoint(plot.width() / 4, 20));
  const QString label = Control<QLabel>("lblCsrPos").text();
  EXPECT_TRUE(label.contains(" kg   over   ") && label.endsWith(" secs")) << label.toStdString();
  const QImage zoomed = window->grab().toImage();
  KeepPicture(zoomed, "W830_830-log-zoomed-cursors.png");
  EXPECT_TRUE(Chart().Model().Cursor(0).Drawn() && Chart().Model().Cursor(1).Drawn());

  QTemporaryDir dir;
  const QString snapshots = qEnvironmentVariable("VIEWER_SNAPSHOT_DIR");
  const QString pdf = (snapshots.isEmpty() ? dir.path() : snapshots) + "/W830_830-log-printed.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  window->PrintChart(printer);
  QProcess text;
  text.start("pdftotext", {"-layout", pdf, "-"});
  ASSERT_TRUE(text.waitForFinished(kWaitMs));
  const QString printed = QString::fromUtf8(text.readAllStandardOutput());
  for (const char* word : {"Time (secs)", "Weight (kg)", "Weight", "I/O 1", "I/O 2", "I/O 3"})
    EXPECT_TRUE(printed.contains(word)) << word << "\n" << printed.toStdString();
  // The page shows the weight trace in red.
  QProcess picture;
  picture.start("pdftoppm", {"-r", "40", "-png", "-singlefile", pdf, dir.filePath("page")});
  ASSERT_TRUE(picture.waitForFinished(kWaitMs));
  const QImage page(dir.filePath("page.png"));
  ASSERT_FALSE(page.isNull());
  int red = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      const QColor c = page.pixelColor(x, y);
      red += c.red() > 200 && c.green() < 90 && c.blue() < 90;
    }
  EXPECT_GT(red, 50);
}

}  // namespace
