// The W840's Log page of the real main window against the simulated W840: its
// window's timer polls the weight behind the address prefix, a streamed log starts
// and stops as the W830's does, and the weigh mode "Direct" scales the chart by the
// first range.
#include "tests/mainwindow/logging/log_fixture.h"

namespace {

class TW840LogTest : public TLogPageFixture {
 protected:
  TW840LogTest() : TLogPageFixture(kW840Program) {}
  // The last poll is answered, so the indicator has taken it before its log is cleared.
  void ClearLogWhenQuiet() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Poller().Outstanding(); }, kWaitMs));
    indicator.ClearLog();
  }
};

TEST_F(TW840LogTest, LogsWithTheW840sCommandsAndChartsTheSamples) {
  // "Direct" with 500.0 kg on range 1 and more on range 2.
  for (const char* line : {"WMD4,0;", "IAD1,5000,1;", "IAD2,9000,1;"}) ASSERT_EQ(indicator.Feed(line), "0\r\n");
  indicator.SetWeight(25);
  Connect();
  ReadSettings();
  ShowLogPage();

  ClearLogWhenQuiet();
  StartLog(k10Hz, {1});
  ASSERT_TRUE(HasSamples(5));
  EXPECT_EQ(Chart().Model().Left().min, -500.0);
  EXPECT_EQ(Chart().Model().Left().max, 500.0);
  EXPECT_EQ(Samples().Weight(2), 25.0);
  const std::vector<std::string> sent = indicator.Commands();
  ASSERT_GE(sent.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + 6),
            (std::vector<std::string>{"S99", "COF12", "S99", "MSV?", "S99", "MSV?"}));
  EXPECT_EQ(Count("FPL?"), 0u);
  StopLog();

  ClearLogWhenQuiet();
  StartLog(kAuto, {1});
  ASSERT_TRUE(QTest::qWaitFor([&] { return indicator.Streaming(); }, kWaitMs));
  StopLog();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !indicator.Streaming(); }, kWaitMs));
  EXPECT_EQ(SentCommands(), (std::vector<std::string>{"S99", "COF12", "MSV?,0", "STP"}));
}

}  // namespace
