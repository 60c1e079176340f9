// The Log page over a technician's session, in either program against its
// simulated indicator: the chart keeps what it shows across page changes and a
// cancelled "Logging" dialog, a streamed log stands still while another page has
// the link and streams again on return, a start that loses its link runs no log, a
// second press of Start while one waits starts nothing, opened files (long ones and
// empty ones) show what they hold, and the time labels are round numbers.
#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <functional>
#include <memory>

#include "mainwindow/logging/logsession.h"
#include "tests/mainwindow/logging/log_fixture.h"

namespace {

class LogSessionTest : public TLogPageFixture, public ::testing::WithParamInterface<const TViewerProgram*> {
 protected:
  LogSessionTest() : TLogPageFixture(*GetParam()) {}

  QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  static QByteArray Read(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
  }
  void OpenFile(const QString& path) {
    prompter.AnswerFile(path);
    Click("ToolButton1");
  }
  void SaveFile(const QString& path) {
    prompter.AnswerFile(path);
    Click("ToolButton2");
  }
  bool StartOffered() { return Control<QPushButton>("BtnStart").isEnabled(); }
  bool StopOffered() { return Control<QPushButton>("BtnStop").isEnabled(); }
  int Source(int channel) { return window->LogSession().Traces().Info(channel).Source(); }
  const TChartSeries& ChannelSeries(int channel) {
    return Chart().Model().Series(window->LogSession().Traces().Info(channel).Series());
  }
  // Does act once, as soon as the indicator has taken command, from inside
  // whatever wait the window is in then.
  void WhenSent(const std::string& command, std::function<void()> act) {
    watch_ = std::make_unique<QTimer>();
    watch_->setInterval(5);
    QObject::connect(watch_.get(), &QTimer::timeout, [this, command, act] {
      if (!WireHas(command)) return;
      watch_->stop();
      act();
    });
    watch_->start();
  }

  QTemporaryDir dir;

 private:
  std::unique_ptr<QTimer> watch_;
};

TEST_P(LogSessionTest, AnOpenedLogKeepsItsChannelsAcrossPageChangesAndSavesToTheSameBytes) {
  const QByteArray log =
      "Rig 4\r\n1,2,0,0,0,0,0,10,\r\n0.00,1.50,1,0,,,,,,1\r\n0.50,2.25,0,1,,,,,,0\r\n1.00,-3.00,1,1,,,,,,1\r\n";
  Write(Path("rig.log"), log);
  Connect();
  ShowLogPage();
  OpenFile(Path("rig.log"));
  for (const char* page : {"TSDisplay", "TSTest", "TSLog", "TSDisplay", "TSLog"}) ClickPage(page);

  const struct {
    int channel;
    const char* legend;  // nullptr: no signal, no legend entry and no trace
  } channels[] = {{0, "Motion"}, {1, "Zero"}, {2, nullptr}, {6, nullptr}, {7, "I/O 8"}};
  for (const auto& c : channels) {
    EXPECT_EQ(ChannelSeries(c.channel).showInLegend, c.legend != nullptr) << c.channel;
    if (c.legend) {
      EXPECT_EQ(ChannelSeries(c.channel).title, c.legend);
    }
    for (std::size_t n = 0; n < Samples().Size(); ++n)
      EXPECT_EQ(Samples().HasChannel(n, c.channel), c.legend != nullptr) << c.channel << " at " << n;
  }
  EXPECT_EQ(Chart().Model().Series(0).title, "Weight");
  SaveFile(Path("again.log"));
  EXPECT_EQ(Read(Path("again.log")), log);

  // An empty file is an empty log: the channels of the last one go with it.
  Write(Path("empty.log"), {});
  OpenFile(Path("empty.log"));
  ClickPage("TSDisplay");
  ClickPage("TSLog");
  for (int i = 0; i < 8; ++i) EXPECT_FALSE(ChannelSeries(i).showInLegend) << i;
  EXPECT_TRUE(Chart().Model().Series(0).showInLegend);
  EXPECT_EQ(Chart().Model().Series(0).title, "Weight");
  SaveFile(Path("empty-again.log"));
  EXPECT_EQ(Read(Path("empty-again.log")), "\r\n0,0,0,0,0,0,0,0,\r\n");
}

TEST_P(LogSessionTest, TheChoicesOfACancelledLoggingDialogAreNeverTaken) {
  Connect();
  ShowLogPage();
  StartLog(kAuto, {1, 2});
  ASSERT_TRUE(HasSamples(5));
  StopLog();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !indicator.Streaming(); }, kWaitMs));
  const std::size_t samples = Samples().Size();
  const TChartAxis time = Chart().Model().Bottom();

  AnswerLogDialog(k1Hz, {10, 10, 10, 10, 10, 10, 10, 10}, false);
  Click("BtnStart");
  EXPECT_TRUE(StartOffered());
  EXPECT_FALSE(StopOffered());
  ClickPage("TSDisplay");
  ClickPage("TSLog");
  EXPECT_EQ(Source(0), 1);
  EXPECT_EQ(Source(1), 2);
  EXPECT_EQ(Source(2), 0);
  EXPECT_EQ(Chart().Model().Bottom(), time);
  EXPECT_EQ(Samples().Size(), samples);
  EXPECT_EQ(window->LogSession().SampleInterval(), 0);
}

TEST_P(LogSessionTest, AStreamedLogStandsStillOnAnotherPageAndStreamsAgainOnReturn) {
  Connect();
  ShowLogPage();
  StartLog(kAuto, {1});
  ASSERT_TRUE(HasSamples(5));
  std::size_t streams = 1;
  for (const char* page : {"TSDisplay", "TSTest"}) {
    const std::size_t polls = FplPolls();
    ClickPage(page);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !indicator.Streaming(); }, kWaitMs)) << page;
    if (page == std::string("TSDisplay")) {
      ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() > polls + 3; }, kWaitMs)) << "the display is polled";
    }
    ClickPage("TSLog");
    ASSERT_TRUE(QTest::qWaitFor([&] { return indicator.Streaming(); }, kWaitMs)) << page;
    EXPECT_EQ(Count("MSV?,0"), ++streams) << page;
    EXPECT_EQ(window->LogMode(), lmStreamed) << page;
    EXPECT_FALSE(StartOffered()) << page;
    EXPECT_TRUE(StopOffered()) << page;
    ASSERT_TRUE(HasSamples(Samples().Size() + 5)) << page;
  }
  StopLog();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !indicator.Streaming(); }, kWaitMs));
  EXPECT_TRUE(StartOffered());
}

// The indicator keeps "COF12;" unanswered while the link goes: the start gives up,
// nothing says a log runs, and after connecting again Start is offered and works.
TEST_P(LogSessionTest, ALinkThatGoesWhileStartWaitsForCof12LeavesNoLogRunning) {
  const struct {
    const char* how;
    std::function<void()> act;
  } losses[] = {
      {"dropped", [this] { server.DropConnections(); }},
      {"disconnected", [this] { Click("ToolButton4"); }},
  };
  for (const auto& loss : losses) {
    Connect();
    ShowLogPage();
    indicator.ClearLog();
    sim::TSimFaults silent;
    silent.silent = true;
    indicator.SetCommandFaults("COF", silent);
    WhenSent("COF12;", loss.act);
    StartLog(kAuto, {7});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Connected(); }, kWaitMs)) << loss.how;
    EXPECT_EQ(window->LogMode(), lmOff) << loss.how;
    EXPECT_FALSE(window->LogSession().Starting()) << loss.how;
    EXPECT_EQ(Count("MSV?,0"), 0u) << loss.how;
    EXPECT_TRUE(prompter.Messages().empty()) << loss.how << ": " << prompter.Messages().front().toStdString();

    indicator.SetCommandFaults("COF", {});
    Connect();
    EXPECT_TRUE(StartOffered()) << loss.how;
    EXPECT_FALSE(StopOffered()) << loss.how;
    StartLog(kAuto, {1});
    ASSERT_TRUE(HasSamples(3)) << loss.how;
    StopLog();
    Click("ToolButton4");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Connected(); }, kWaitMs)) << loss.how;
  }
}

TEST_P(LogSessionTest, StartIsGreyedOutWhileItWaitsSoASecondPressStartsNothing) {
  Connect();
  ShowLogPage();
  sim::TSimFaults slow;
  slow.delayMs = 1500;
  indicator.SetCommandFaults("COF", slow);
  bool checked = false;
  WhenSent("COF12;", [&] {
    ASSERT_TRUE(window->LogSession().Starting()) << "the answer came before the check";
    EXPECT_FALSE(StartOffered());
    EXPECT_FALSE(StopOffered());
    Click("BtnStart");
    checked = true;
  });
  StartLog(kAuto, {1});
  EXPECT_TRUE(checked);
  ASSERT_TRUE(HasSamples(5));
  EXPECT_EQ(Count("COF12"), 1u);
  EXPECT_EQ(Count("MSV?,0"), 1u);
  EXPECT_FALSE(StartOffered());
  EXPECT_TRUE(StopOffered());
  StopLog();
}

bool OneTwoOrFiveTimesAPowerOfTen(double step) {
  if (!(step > 0)) return false;
  const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
  return std::fabs(mantissa - 1) < 1e-6 || std::fabs(mantissa - 2) < 1e-6 || std::fabs(mantissa - 5) < 1e-6;
}

// The time labels of the printed chart, read back from the PDF: the line above the
// axis title.
std::vector<double> PrintedTimeLabels(const QString& pdf) {
  const std::vector<TPdfLine> lines = PdfLines(pdf);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (!lines[i].words.contains(QStringLiteral("(secs)"))) continue;
    std::vector<double> labels;
    for (QString word : lines[i - 1].words) labels.push_back(word.remove(u',').toDouble());
    return labels;
  }
  return {};
}

TEST_P(LogSessionTest, ALongLogOpenedShowsItsTimeInRoundSteps) {
  QByteArray log = "Long run\r\n0,0,0,0,0,0,0,0,\r\n";
  for (int t = 0; t <= 2000; t += 2) log += QByteArray::number(t) + ".00," + QByteArray::number(t % 7) + ".00\r\n";
  Write(Path("long.log"), log);
  ShowLogPage();
  OpenFile(Path("long.log"));
  EXPECT_TRUE(OneTwoOrFiveTimesAPowerOfTen(Chart().Model().Bottom().increment)) << Chart().Model().Bottom().increment;
  for (const char* key : {"opened", "Home"}) {
    if (key == std::string("Home")) QTest::keyClick(&Chart(), Qt::Key_Home);
    const QString pdf = Path("chart.pdf");
    prompter.AnswerPrintToPdf(pdf);
    Control<QAction>("Print1").trigger();
    const std::vector<double> labels = PrintedTimeLabels(pdf);
    ASSERT_GE(labels.size(), 3u) << key;
    EXPECT_EQ(labels.front(), 0) << key;
    const double step = labels[1] - labels[0];
    EXPECT_TRUE(OneTwoOrFiveTimesAPowerOfTen(step)) << key << ": " << step;
    for (std::size_t i = 1; i < labels.size(); ++i) EXPECT_DOUBLE_EQ(labels[i] - labels[i - 1], step) << key;
  }
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, LogSessionTest, ::testing::Values(&kW830Program, &kW840Program),
                         [](const auto& info) { return std::string(info.param->name); });

}  // namespace
