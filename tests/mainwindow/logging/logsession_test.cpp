#include <QString>
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "mainwindow/logging/logsession.h"
#include "mainwindow/logging/weightlogfile.h"
#include "platform/chart/chartmodel.h"

namespace {

using namespace std::chrono_literals;

// The main window's side, scripted: answers to the two format queries, the
// dialog's choices, and a record of what the session sent and showed.
class TFakeLogHost : public TLogSession::THost {
 public:
  bool LinkActive() const override { return linkActive; }
  std::string AddressPrefix() const override { return "S99;"; }
  bool AskLogSetup() override {
    Meanwhile(duringDialog);
    return dialogOk;
  }
  TLogChoice LogChoice() const override { return choice; }
  TChartInputs ChartInputs() const override { return inputs; }
  bool QueryAck(const std::string& command) override {
    sent.push_back(command);
    Meanwhile(duringQuery);
    unanswered = silent;
    return cof12Accepted && linkActive && !silent;
  }
  // After an unanswered request the window asks nothing more in that action.
  bool QuerySet(const std::string& command) override {
    if (!linkActive || unanswered) return false;
    sent.push_back(command);
    return true;
  }
  bool Unanswered() const override { return unanswered; }
  void Send(const std::string& command) override { sent.push_back(command); }
  void StopStream() override { sent.push_back("STP; drained"); }
  void ShowMessage(const QString& text) override { messages.push_back(text); }
  void Warn(const QString& text) override {
    warnings.push_back(text);
    Meanwhile(duringWarning);
  }
  void SetBusyCursor(bool) override {}
  void LogModeChanged() override { ++modeChanges; }

  // What happens while a wait lets events in, once.
  static void Meanwhile(std::function<void()>& event) {
    if (event) std::exchange(event, nullptr)();
  }
  std::function<void()> duringDialog, duringQuery, duringWarning;
  bool linkActive = true;
  bool dialogOk = true;
  bool cof12Accepted = true;
  bool silent = false;  // the indicator answers nothing: the first query goes unanswered
  bool unanswered = false;
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
  EXPECT_EQ(host.modeChanges, 3);  // Start greyed out, the log running, stopped
}

TEST_F(LogSession, PolledLoggingSendsNothingToStartOrStop) {
  Start(100);
  session.StopLogging();
  session.StopLogging();  // nothing runs any more
  EXPECT_EQ(host.sent, std::vector<std::string>{"S99;COF12;"});
  EXPECT_EQ(host.modeChanges, 3);
}

TEST_F(LogSession, ARefusedCof12FallsBackAndWarnsOfTheChannelsItCannotLog) {
  host.cof12Accepted = false;
  const TLogSession::TStreamHold hold(session);  // and a hold keeps the stream off
  Start(0, {3, 7, 0, 10, 0, 0, 0, 8});
  EXPECT_EQ(host.sent, (std::vector<std::string>{"S99;COF12;", "S99;COF11;"}));
  EXPECT_EQ(host.warnings,
            std::vector<QString>{"Your indicator doesn't support COF12, therefore the following IOs cannot be "
                                 "logged: Digital 2: I/O 5, Digital 4: I/O 8, Digital 8: I/O 6, . To log IOs 5 to 8 "
                                 "please upgrade the indicator."});
}

TEST_F(LogSession, AnIndicatorThatLeavesTheFormatUnansweredGetsNoLog) {
  host.silent = true;
  for (const int intervalMs : {0, 100}) {
    host.sent.clear();
    Start(intervalMs, {3, 7});
    EXPECT_EQ(host.sent, std::vector<std::string>{"S99;COF12;"}) << intervalMs;
    EXPECT_TRUE(host.warnings.empty()) << intervalMs;
    EXPECT_EQ(session.LogMode(), lmOff) << intervalMs;
    EXPECT_TRUE(session.StartEnabled()) << intervalMs;
  }
}

TEST_F(LogSession, ACancelledDialogStartsNothingAndItsChoicesAreNotTaken) {
  Start(0, {1, 2});
  for (int i = 0; i < 3; ++i) session.LogSample("100,2,0,0");
  session.BtnStopClick();
  host.sent.clear();
  host.dialogOk = false;
  Start(1000, {5, 6, 7});
  EXPECT_TRUE(host.sent.empty());
  EXPECT_EQ(session.LogMode(), lmOff);
  session.FollowSettings();  // as showing the page or reading settings does
  session.ClearChart();      // a cleared chart takes up the choices of the last log
  EXPECT_EQ(session.Traces().Info(0).Source(), 1);
  EXPECT_EQ(session.Traces().Info(2).Source(), 0);
  EXPECT_EQ(session.SampleInterval(), 0);
}

// Every way a start can lose its ground while it waits for the technician or the
// indicator: the start gives up, no log runs and nothing more is sent.
TEST_F(LogSession, AStartWhoseLinkGoesOrWhoseChartIsReplacedMeanwhileRunsNoLog) {
  const struct {
    const char* what;
    std::function<void()> TFakeLogHost::*when;
    bool fileOpened;
    std::vector<std::string> sent;
    std::vector<QString> messages;
    TLogContent shown;
  } cases[] = {
      {"link lost in the dialog", &TFakeLogHost::duringDialog, false, {}, {"Instrument Not Connected"},
       TLogContent::kNothing},
      {"link lost waiting for COF12", &TFakeLogHost::duringQuery, false, {"S99;COF12;"}, {}, TLogContent::kLiveLog},
      {"link lost in the warning", &TFakeLogHost::duringWarning, false, {"S99;COF12;", "S99;COF11;"}, {},
       TLogContent::kLiveLog},
      {"file opened waiting for COF12", &TFakeLogHost::duringQuery, true, {"S99;COF12;", "S99;COF11;"}, {},
       TLogContent::kOpenedFile},
  };
  for (const auto& c : cases) {
    host = TFakeLogHost{};
    host.cof12Accepted = false;
    host.linkActive = true;
    host.*c.when = [&] {
      EXPECT_TRUE(session.Starting()) << c.what;
      EXPECT_FALSE(session.StartEnabled()) << c.what;
      Start(0);  // a second press meanwhile is no second start
      if (c.fileOpened) {
        session.OpenLog({"title", "0,0,0,0,0,0,0,0,", "1.00,2.00"});
      } else {
        host.linkActive = false;
        session.LinkLost();
      }
    };
    Start(0, {7});
    EXPECT_EQ(host.sent, c.sent) << c.what;
    EXPECT_EQ(host.messages, c.messages) << c.what;
    EXPECT_EQ(session.LogMode(), lmOff) << c.what;
    EXPECT_FALSE(session.Starting()) << c.what;
    host.linkActive = true;
    EXPECT_TRUE(session.StartEnabled()) << c.what;
    EXPECT_EQ(session.Content(), c.shown) << c.what;
  }
}

TEST_F(LogSession, AHeldStreamStopsOnceAndStreamsAgainWhenTheLastHoldGoes) {
  Start(0);
  host.sent.clear();
  session.HoldStream();
  session.HoldStream();
  EXPECT_EQ(host.sent, std::vector<std::string>{"STP; drained"});
  EXPECT_FALSE(session.Streaming());
  EXPECT_EQ(session.LogMode(), lmStreamed);
  session.ReleaseStream();
  EXPECT_EQ(host.sent.size(), 1u);
  session.ReleaseStream();
  EXPECT_EQ(host.sent.back(), "MSV?,0;");
  EXPECT_TRUE(session.Streaming());
  session.ReleaseStream();  // one release too many changes nothing
  EXPECT_EQ(host.sent.size(), 2u);

  // A log started under a hold streams once the hold goes.
  session.BtnStopClick();
  host.sent.clear();
  {
    const TLogSession::TStreamHold hold(session);
    Start(0);
    EXPECT_EQ(host.sent, std::vector<std::string>{"S99;COF12;"});
  }
  EXPECT_EQ(host.sent.back(), "MSV?,0;");

  // A hold whose link is gone at its end leaves the log stopped.
  host.sent.clear();
  const int changes = host.modeChanges;
  {
    const TLogSession::TStreamHold hold(session);
    host.linkActive = false;
  }
  EXPECT_EQ(host.sent, std::vector<std::string>{"STP; drained"});
  EXPECT_EQ(session.LogMode(), lmOff);
  EXPECT_GT(host.modeChanges, changes);
}

TEST_F(LogSession, APolledLogNeedsNoHold) {
  Start(100);
  host.sent.clear();
  {
    const TLogSession::TStreamHold hold(session);
  }
  EXPECT_TRUE(host.sent.empty());
  EXPECT_EQ(session.LogMode(), lmPolled);
}

// The chart keeps what it shows; only a chart that shows nothing follows the
// settings and the last accepted choices.
TEST_F(LogSession, AShownLogOrFileKeepsItsChannelsAndAxesWhenTheSettingsChange) {
  const std::vector<std::string> file{"Run", "1,2,0,0,0,0,0,10,", "0.00,5.00,1,0,,,,,,1", "200.00,7.00,0,1,,,,,,0"};
  session.OpenLog(file);
  EXPECT_EQ(session.Content(), TLogContent::kOpenedFile);
  const TChartAxis bottom = chart.Bottom(), left = chart.Left();
  host.inputs.fullScale1 = 9000;
  host.choice.sources = {4, 4, 4, 4, 4, 4, 4, 4};
  session.FollowSettings();
  EXPECT_EQ(chart.Bottom(), bottom);
  EXPECT_EQ(chart.Left(), left);
  EXPECT_EQ(session.Traces().Info(7).Source(), 10);
  std::vector<std::string> saved;
  SaveLog(session.Traces(), saved);
  EXPECT_EQ(saved, file);

  // Cleared, it shows nothing and takes the settings' axes.
  session.ClearChart();
  EXPECT_EQ(session.Content(), TLogContent::kNothing);
  EXPECT_EQ(chart.Left().max, 90);
  EXPECT_EQ(session.Traces().Info(7).Source(), 0);

  // A cleared running log goes on and keeps its axes.
  Start(0, {3});
  host.inputs.fullScale1 = 100;
  session.ClearChart();
  session.FollowSettings();
  EXPECT_EQ(session.Content(), TLogContent::kLiveLog);
  EXPECT_EQ(session.LogMode(), lmStreamed);
  EXPECT_EQ(chart.Left().max, 90);
  session.LogSample("100,2,0,0");
  EXPECT_EQ(Data().Size(), 1u);
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
    Start(c.interval);
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

bool OneTwoOrFiveTimesAPowerOfTen(double step) {
  const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
  for (double m : {1.0, 2.0, 5.0})
    if (std::fabs(mantissa - m) < 1e-6) return true;
  return false;
}

// Whatever gives the time axis a new span gives it the step of that span.
TEST_F(LogSession, EveryNewTimeSpanGetsTheRoundStepOfThatSpan) {
  session.SetupChart(true);  // 0..10, step 1
  std::vector<std::string> longLog{"", "0,0,0,0,0,0,0,0,"};
  for (int t = 0; t <= 2000; t += 4) longLog.push_back(std::to_string(t) + ".00,1.00");
  const struct {
    const char* what;
    std::function<void()> act;
    double step;
  } cases[] = {
      {"a long log opened", [&] { session.OpenLog(longLog); }, 200},
      {"Setup Chart", [&] { session.ApplyChartSetup("", 0, 35, -1, 1); }, 2},
      {"Home", [&] { session.KeyDown(Qt::Key_Home, false); }, 200},
      {"a double click on a part", [&] {
         session.OpenLog({"", "0,0,0,0,0,0,0,0,", "100.00,1.00", "130.00,2.00"});
         session.ChartDblClick();
       }, 2},
  };
  for (const auto& c : cases) {
    c.act();
    EXPECT_DOUBLE_EQ(chart.Bottom().increment, c.step) << c.what;
    EXPECT_TRUE(OneTwoOrFiveTimesAPowerOfTen(chart.Bottom().increment)) << c.what;
  }
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
