#include <QString>
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <vector>

#include "mainwindow/logsession.h"
#include "platform/chart/chartmodel.h"

namespace {

using namespace std::chrono_literals;

// The main window's side, scripted: answers to the two format queries, the
// dialog's choices, and a record of what the session sent and showed.
class TFakeLogHost : public TLogSession::THost {
 public:
  bool LinkActive() const override { return linkActive; }
  bool TransferBusy() const override { return transferBusy; }
  std::string AddressPrefix() const override { return "S99;"; }
  bool AskLogSetup() override { return dialogOk; }
  TLogChoice LogChoice() const override { return choice; }
  TChartInputs ChartInputs() const override { return inputs; }
  bool QueryAck(const std::string& command) override {
    sent.push_back(command);
    return cof12Accepted;
  }
  bool QuerySet(const std::string& command) override {
    sent.push_back(command);
    return true;
  }
  void Send(const std::string& command) override { sent.push_back(command); }
  void ShowMessage(const QString& text) override { messages.push_back(text); }
  void Warn(const QString& text) override { warnings.push_back(text); }
  void SetBusyCursor(bool) override {}
  void LogModeChanged() override { ++modeChanges; }

  bool linkActive = true;
  bool transferBusy = false;
  bool dialogOk = true;
  bool cof12Accepted = true;
  TLogChoice choice;
  TChartInputs inputs;
  std::vector<std::string> sent;
  std::vector<QString> messages;
  std::vector<QString> warnings;
  int modeChanges = 0;
};

class LogSession : public ::testing::Test {
 protected:
  LogSession() {
    session.Now = [this] { return now; };
    host.inputs.decimals = 2;
    host.inputs.fullScale1 = 3000;
  }

  // Starts a log with these channel sources at the given interval (0: streamed).
  void Start(int intervalMs, std::array<int, 8> sources = {}) {
    host.choice.sampleIntervalMs = intervalMs;
    host.choice.mode = intervalMs == 0 ? lmStreamed : lmPolled;
    host.choice.sources = sources;
    session.BtnStartClick();
  }
  // A weight reply arriving after `after`.
  void Reply(std::chrono::milliseconds after, const std::string& reply) {
    now += after;
    session.LogSample(reply);
  }
  const TSampleColumns& Data() const { return chart.Data(); }

  TFakeLogHost host;
  TChartModel chart;
  TLogSession session{host, chart};
  TLogSession::Clock::time_point now = TLogSession::Clock::time_point(1000s);
};

TEST_F(LogSession, StartWithoutALinkOnlySaysSo) {
  host.linkActive = false;
  Start(0);
  EXPECT_EQ(host.messages, std::vector<QString>{"Instrument Not Connected"});
  EXPECT_TRUE(host.sent.empty());
  EXPECT_EQ(host.modeChanges, 0);
  EXPECT_EQ(session.LogMode(), lmOff);
}

TEST_F(LogSession, AutoAsksForWordBThenStreamsAndStopEndsTheStream) {
  Start(0);
  EXPECT_EQ(host.sent, (std::vector<std::string>{"S99;COF12;", "MSV?,0;"}));
  EXPECT_TRUE(session.Cof12Supported());
  EXPECT_EQ(session.LogMode(), lmStreamed);
  EXPECT_EQ(chart.Series(0).title, "Weight");
  EXPECT_TRUE(chart.Series(0).showInLegend);
  session.BtnStopClick();
  EXPECT_EQ(host.sent.back(), "STP;");
  EXPECT_EQ(session.LogMode(), lmOff);
  EXPECT_EQ(host.modeChanges, 2);
}

TEST_F(LogSession, PolledLoggingSendsNothingToStartOrStop) {
  Start(100);
  session.StopLogging();
  session.StopLogging();  // nothing runs any more
  EXPECT_EQ(host.sent, std::vector<std::string>{"S99;COF12;"});
  EXPECT_EQ(host.modeChanges, 2);
}

TEST_F(LogSession, ARefusedCof12FallsBackAndWarnsOfTheChannelsItCannotLog) {
  host.cof12Accepted = false;
  host.transferBusy = true;  // and a running transfer keeps the stream off
  Start(0, {3, 7, 0, 10, 0, 0, 0, 8});
  EXPECT_EQ(host.sent, (std::vector<std::string>{"S99;COF12;", "S99;COF11;"}));
  EXPECT_EQ(host.warnings,
            std::vector<QString>{"Your indicator doesn't support COF12, therefore the following IOs cannot be "
                                 "logged: Digital 2: I/O 5, Digital 4: I/O 8, Digital 8: I/O 6, . To log IOs 5 to 8 "
                                 "please upgrade the indicator."});
}

TEST_F(LogSession, ACancelledDialogStartsNothing) {
  host.dialogOk = false;
  Start(0);
  EXPECT_TRUE(host.sent.empty());
  EXPECT_EQ(session.LogMode(), lmOff);
  EXPECT_EQ(host.modeChanges, 1);
}

TEST_F(LogSession, PolledSamplesAreTakenAtTheFirstReplyAtOrAfterEachDueTime) {
  Start(100);
  for (int i = 0; i < 40; ++i) Reply(30ms, "100,2,0,0");
  ASSERT_GE(Data().Size(), 9u);
  for (std::size_t i = 1; i < Data().Size(); ++i) EXPECT_GE(Data().Time(i) - Data().Time(i - 1), 0.1 - 1e-9);
  EXPECT_DOUBLE_EQ(Data().Weight(0), 1.0);  // 100 counts with two decimals
}

TEST_F(LogSession, StreamedRepliesAreEachASample) {
  Start(0);
  for (int i = 0; i < 5; ++i) Reply(1ms, "-250,2,0,0");
  EXPECT_EQ(Data().Size(), 5u);
  EXPECT_DOUBLE_EQ(Data().Weight(4), -2.5);
}

TEST_F(LogSession, RepliesThatAreNoWeightSampleAreIgnored) {
  Start(0);
  for (const char* reply : {"0", "?", "1000000,2,0,0", "5,33,0,0", "5,2,1000,0", "5,2,0", "5,2,0,1000", "x,2,0,0"})
    Reply(1ms, reply);
  EXPECT_EQ(Data().Size(), 0u);
  host.cof12Accepted = false;
  Start(0);
  Reply(1ms, "5,2,0");  // without COF12 word B is not needed
  EXPECT_EQ(Data().Size(), 1u);
}

TEST_F(LogSession, ChannelsReadTheirStatusBitsFromTheRightWord) {
  // Channel 1 I/O 1, channel 2 Motion, channel 3 Zero, channel 4 None.
  const std::array<int, 8> sources{3, 1, 2, 0, 0, 0, 0, 0};
  const struct {
    bool cof12;
    const char* reply;
    bool io1, motion, zero;
  } cases[] = {
      {false, "0,0,16,0", true, true, false},   // I/O 1 is bit $10 of word A; Motion is on while $2 is clear
      {false, "0,0,2,1", false, false, false},  // without COF12 word B is not read
      {true, "0,0,16,0", false, true, false},   // with COF12 I/O 1 is bit $01 of word B
      {true, "0,0,258,1", true, false, true},   // $100 zero, $2 steady
  };
  for (const auto& c : cases) {
    host.cof12Accepted = c.cof12;
    Start(0, sources);
    Reply(1ms, c.reply);
    ASSERT_EQ(Data().Size(), 1u) << c.reply;
    EXPECT_EQ(session.Traces().Info(0).IsHigh(0), c.io1) << c.reply;
    EXPECT_EQ(session.Traces().Info(1).IsHigh(0), c.motion) << c.reply;
    EXPECT_EQ(session.Traces().Info(2).IsHigh(0), c.zero) << c.reply;
    EXPECT_FALSE(Data().HasChannel(0, 3)) << "a channel on None gets no points";
  }
  // The trace is drawn at its baseline, or one above, times the multiplier 2.
  EXPECT_DOUBLE_EQ(session.Traces().Info(0).PointValue(0), 2 * 2.0);
  EXPECT_DOUBLE_EQ(session.Traces().Info(1).PointValue(0), 2 * 2.5);
}

TEST_F(LogSession, RepeatedTimesAreSpreadOnceALaterTimeArrives) {
  Start(0, {1, 0, 0, 0, 0, 0, 0, 0});
  Reply(4900ms, "1,0,0,0");
  Reply(100ms, "2,0,0,0");
  Reply(0ms, "3,0,0,0");
  Reply(0ms, "4,0,0,0");
  Reply(100ms, "5,0,0,0");
  ASSERT_EQ(Data().Size(), 5u);
  const double expected[] = {4.9, 4.9 + 0.1 / 3, 5.0 - 0.1 / 3, 5.0, 5.1};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(Data().Time(i), expected[i], 1e-9) << i;
  // The channel moves with the weight: both read the one time column.
  EXPECT_TRUE(Data().HasChannel(1, 0));
  EXPECT_TRUE(Data().TimesOrdered());
}

TEST_F(LogSession, SamplesBeyondTheTimeAxisScrollItUnlessZoomedOrStopped) {
  Start(0);  // Auto at 50 readings a second: 0..10, step 5
  ASSERT_EQ(chart.Bottom().max, 10);
  Reply(10500ms, "1,0,0,0");
  EXPECT_EQ(chart.Bottom().min, 5);
  EXPECT_EQ(chart.Bottom().max, 15);
  session.ChartMouseDown(false, true, false, 0, 0);  // a right click stops the scrolling
  Reply(5000ms, "1,0,0,0");
  EXPECT_EQ(chart.Bottom().max, 15);
  session.ChartUndoZoom();
  Reply(1ms, "1,0,0,0");
  EXPECT_EQ(chart.Bottom().max, 20);
  session.KeyDown(Qt::Key_PageUp, false);
  const double zoomedMax = chart.Bottom().max;
  Reply(10000ms, "1,0,0,0");
  EXPECT_EQ(chart.Bottom().max, zoomedMax);
}

TEST_F(LogSession, AxisSetUpFollowsTheSettingsAndTheRate) {
  const struct {
    int decimals;
    bool highRes, dual;
    int32_t fs1, fs2;
    int interval, rate;
    double weightMax, multiplier, timeMax, step;
  } cases[] = {
      {2, false, false, 3000, 9000, 1000, 50, 30, 2, 100, 10},
      {2, false, false, 3000, 9000, 10000, 50, 30, 2, 1000, 100},
      {2, false, false, 3000, 9000, 0, 50, 30, 2, 10, 1},
      {2, false, false, 3000, 9000, 0, 10, 30, 2, 10, 1},
      {0, false, false, 3000, 9000, 100, 50, 3000, 200, 10, 1},
      {1, true, true, 3000, 9000, 100, 50, 90, 6, 10, 1},
  };
  for (const auto& c : cases) {
    host.inputs = {c.decimals, c.highRes, c.dual, c.fs1, c.fs2, "lb", c.rate};
    host.choice.sampleIntervalMs = c.interval;
    session.SetupChart(true);
    EXPECT_DOUBLE_EQ(chart.Left().max, c.weightMax);
    EXPECT_DOUBLE_EQ(chart.Left().min, -c.weightMax);
    EXPECT_DOUBLE_EQ(chart.Series(1).multiplier, c.multiplier);
    EXPECT_DOUBLE_EQ(chart.Bottom().max, c.timeMax);
    EXPECT_DOUBLE_EQ(chart.Bottom().increment, c.step);
    EXPECT_DOUBLE_EQ(session.ScrollStep(), c.timeMax / 2);
    EXPECT_EQ(chart.Left().title, "Weight (lb)");
  }
}

TEST_F(LogSession, KeysZoomAndMoveTheAxes) {
  session.SetupChart(true);  // 0..10, -30..30
  EXPECT_TRUE(session.KeyDown(Qt::Key_PageUp, false));
  EXPECT_TRUE(chart.Zoomed());
  EXPECT_DOUBLE_EQ(chart.Bottom().min, 2.5);
  EXPECT_DOUBLE_EQ(chart.Bottom().max, 7.5);
  EXPECT_DOUBLE_EQ(chart.Left().max, 15);
  EXPECT_DOUBLE_EQ(chart.Bottom().increment, 0.5);  // set up again after the zoom
  EXPECT_TRUE(session.KeyDown(Qt::Key_PageDown, false));
  EXPECT_DOUBLE_EQ(chart.Bottom().min, 0);
  EXPECT_DOUBLE_EQ(chart.Bottom().max, 10);
  session.KeyDown(Qt::Key_Right, false);
  EXPECT_DOUBLE_EQ(chart.Bottom().min, 1);
  session.KeyDown(Qt::Key_Left, true);
  EXPECT_DOUBLE_EQ(chart.Bottom().min, -9);
  session.KeyDown(Qt::Key_Up, false);
  EXPECT_DOUBLE_EQ(chart.Left().max, 36);
  session.KeyDown(Qt::Key_Down, true);
  EXPECT_DOUBLE_EQ(chart.Left().max, -24);
  EXPECT_FALSE(session.KeyDown(Qt::Key_A, false));
}

TEST_F(LogSession, HomeAndDoubleClickScaleToTheDataEvenWhenItHasNoSpan) {
  session.SetupChart(true);
  session.AutoScaleChart();  // no data: the axes stay
  EXPECT_EQ(chart.Bottom().max, 10);
  chart.Append(0, 5, 0, 0);
  session.AutoScaleChart();
  EXPECT_GT(chart.Bottom().Span(), 0);
  EXPECT_GT(chart.Left().Span(), 0);
  EXPECT_TRUE(std::isfinite(chart.Left().min));
  chart.Append(4, -5, 0, 0);
  session.ChartDblClick();
  EXPECT_DOUBLE_EQ(chart.Left().min, -6);
  EXPECT_DOUBLE_EQ(chart.Left().max, 6);
  EXPECT_DOUBLE_EQ(chart.Bottom().max, 4);
}

TEST_F(LogSession, CursorsMeasureAPointAndADifference) {
  session.SetupChart(true);  // time 0..10, weight -30..30
  chart.SetPlotRect(QRect(0, 0, 100, 60));
  EXPECT_EQ(session.ChartMouseDown(true, false, true, 20, 30), "0 kg   at   2 sec");
  EXPECT_EQ(session.ChartMouseDown(false, true, true, 70, 10), "20 kg   over   5 secs");
  EXPECT_TRUE(chart.Cursor(0).Drawn());
  EXPECT_TRUE(chart.Cursor(1).Drawn());
  // Outside the plot a Shift-click sets nothing; a plain click clears both.
  EXPECT_EQ(session.ChartMouseDown(true, false, true, 500, 500), "");
  session.ChartMouseDown(true, false, true, 20, 30);
  EXPECT_EQ(session.ChartMouseDown(true, false, false, 20, 30), "");
  EXPECT_FALSE(chart.Cursor(0).Drawn());
}

}  // namespace

namespace {

TEST(ChartPrintRect, InsetsATwentiethOfTheWidthAndATenthOfTheHeight) {
  const struct {
    int width, height;
    QRect rect;
  } cases[] = {
      {2100, 2970, QRect(QPoint(105, 297), QPoint(1994, 2672))},
      {9917, 14033, QRect(QPoint(495, 1403), QPoint(9421, 12629))},  // integer division
      {19, 9, QRect(0, 0, 19, 9)},
  };
  for (const auto& c : cases) EXPECT_EQ(ChartPrintRect(c.width, c.height), c.rect) << c.width;
}

}  // namespace
