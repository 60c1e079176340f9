// Both programs against an indicator that answers every command correctly but
// late, with a reply time-out of 0.3 s: every reply lands with the command it
// answers, so a read loads exactly what a quick read loaded, or ends with a
// message; and a running stream is stopped and drained before the link is used.
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>

#include "components/NumEdit.h"
#include "dialogs/option.h"
#include "mainwindow/logging/logsession.h"
#include "mainwindow/settings/settingspagescore.h"
#include "platform/chart/chartmodel.h"
#include "platform/inifile.h"
#include "tests/mainwindow/fixture/calibration_fixture.h"
#include "tests/support/locale_text.h"

namespace {

class TLateReplyFixture : public TCalibrationPageFixture {
 protected:
  using TCalibrationPageFixture::TCalibrationPageFixture;

  QByteArray IniText() const override {
    return TViewerFixture::IniText().replace("TcpTimeout=200", "TcpTimeout=30");
  }
  std::vector<std::string> Settings() {
    std::vector<std::string> lines;
    window->WorkingData().BuildSetCommands(lines);
    return lines;
  }
  void SetDelay(int ms) {
    sim::TSimFaults faults;
    faults.delayMs = ms;
    indicator.SetFaults(faults);
  }
  void StartStreamedLog() {
    ShowPage("TSLog");
    prompter.AnswerDialog([](QDialog& dialog) {
      dialog.findChild<QComboBox*>("CBLogRate")->setCurrentIndex(0);  // "Auto": the indicator streams
      return static_cast<int>(mrOk);
    });
    Click("BtnStart");
    ASSERT_TRUE(QTest::qWaitFor([&] { return indicator.Streaming(); }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->LogSession().Chart().Data().Size() > 3; }, kWaitMs));
  }
  // The Log page shows the log as it is: running with samples still coming, or
  // stopped with Start enabled.
  void ExpectTrueLogState() {
    const bool running = window->LogSession().LogMode() != lmOff;
    EXPECT_EQ(Control<QPushButton>(*window, "BtnStart").isEnabled(), !running);
    if (!running) return;
    EXPECT_TRUE(QTest::qWaitFor([&] { return indicator.Streaming(); }, kWaitMs));
    const std::size_t before = window->LogSession().Chart().Data().Size();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->LogSession().Chart().Data().Size() > before + 3; }, kWaitMs));
  }
  // Backs the calibration up into the file; true when it was written.
  bool Backup(const QString& file, bool mayGoUnanswered = false) {
    prompter.AnswerFile(file);
    if (mayGoUnanswered) prompter.AnswerMessage(mrOk);
    Click("btnBackupCal");
    return QFile::exists(file);
  }
  static QStringList CalData(const QString& file) {
    TMemIniFile ini(file);
    QStringList values;
    for (int i = 0; i < 5; ++i) values << ini.ReadString(QStringLiteral("CalData"), QStringLiteral("BCA%1").arg(i), {});
    return values;
  }
};

class TLateRepliesTest : public TLateReplyFixture, public ::testing::WithParamInterface<const TViewerProgram*> {
 protected:
  TLateRepliesTest() : TLateReplyFixture(*GetParam()) {}
};

// One program and one reply delay.
class TSlowLinkTest : public TLateReplyFixture,
                      public ::testing::WithParamInterface<std::tuple<const TViewerProgram*, int>> {
 protected:
  TSlowLinkTest() : TLateReplyFixture(*std::get<0>(GetParam())) {}
};

TEST_P(TSlowLinkTest, ReadsExactlyWhatAQuickLinkRead) {
  const int delay = std::get<1>(GetParam());
  Connect();
  ReadSettings();
  const std::vector<std::string> quick = Settings();
  SetDelay(delay);
  // A poll or two go unanswered in time now, and their replies come late.
  const std::size_t polls = FplPolls();
  ASSERT_TRUE(QTest::qWaitFor([&] { return FplPolls() > polls + 2; }, kWaitMs));
  // Each of the many queries now takes its delay.
  prompter.AnswerDialog([](QDialog& dialog) {
    dialog.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 300000));
    return dialog.result();
  });
  Control<QAction>(*window, "ReadSettings1").trigger();
  EXPECT_EQ(Settings(), quick);
  EXPECT_TRUE(window->InSync());
  EXPECT_TRUE(prompter.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Delays, TSlowLinkTest,
                         ::testing::Combine(::testing::Values(&kW830Program, &kW840Program),
                                            ::testing::Values(350, 550, 750)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param)->name) + "_" +
                                  std::to_string(std::get<1>(info.param)) + "ms";
                         });

// A set command the indicator refuses, late: the refusal belongs to that line,
// which is never recorded as written.
TEST_P(TLateRepliesTest, AWriteWhoseLineIsRefusedLateEndsWithAMessageAndOutOfSync) {
  ConnectReadAndChangeTheUnits();
  ASSERT_FALSE(window->InSync());
  const std::vector<std::string> held = [&] {
    std::vector<std::string> lines;
    window->InstrumentData().BuildSetCommands(lines);
    return lines;
  }();
  sim::TSimFaults refused;
  refused.rejectSets = true;
  refused.delayMs = 550;
  indicator.SetFaults(refused);
  AnswerTrafficStepped();
  prompter.AnswerMessage(mrOk);
  Control<QAction>(*window, "WriteSettings1").trigger();
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{"Instrument Not Responding"});
  EXPECT_FALSE(window->InSync());
  std::vector<std::string> after;
  window->InstrumentData().BuildSetCommands(after);
  EXPECT_EQ(after, held);
}

// A query answered with another query's reply, whose number of fields is not its
// own: the read never loads it, ends with a message and stays out of sync, and
// loads nothing else either; once the indicator answers right, a read is whole.
TEST_P(TLateRepliesTest, AReadWhoseQueryGetsAnotherQuerysReplyLoadsNothing) {
  for (const char* line : {"CWT4321;", "PFT\"abc\";"}) ASSERT_EQ(indicator.Feed(line), "0\r\n") << line;
  Connect();
  window->ReplyLedger().lateAllowanceTicks = 20;
  const std::vector<std::string> unread = Settings();
  const std::pair<const char*, const char*> astray[] = {{"CWT", "WMD?"}, {"PFT", "IDN?"}};
  for (const auto& [mnemonic, answerAs] : astray) {
    sim::TSimFaults faults;
    faults.answerAs = answerAs;
    indicator.SetCommandFaults(mnemonic, faults);
    prompter.Clear();
    AnswerTrafficStepped();
    prompter.AnswerMessage(mrOk);
    Control<QAction>(*window, "ReadSettings1").trigger();
    EXPECT_EQ(prompter.Messages(), std::vector<QString>{"Instrument Not Responding"}) << mnemonic;
    EXPECT_FALSE(window->InSync()) << mnemonic;
    EXPECT_EQ(Settings(), unread) << mnemonic;
    indicator.SetCommandFaults(mnemonic, {});
  }
  prompter.Clear();
  ReadSettings();
  EXPECT_TRUE(window->InSync());
  EXPECT_TRUE(prompter.Messages().empty());
  const std::vector<std::string> read = Settings();
  for (const char* line : {"CWT4321", "PFT\"abc\""})
    EXPECT_NE(std::find(read.begin(), read.end(), line), read.end()) << line;
}

TEST_P(TLateRepliesTest, ABackupWithALateBlockHoldsOnlyTheBlocksAsTheyAre) {
  Connect();
  ReadSettings();
  ShowPage("TSCal");
  QTemporaryDir dir;
  const QString quickFile = dir.filePath("quick.cal");
  ASSERT_TRUE(Backup(quickFile));
  for (const int delay : {350, 550, 750}) {
    sim::TSimFaults late;
    late.delayMs = delay;
    indicator.SetCommandFaults("BCA", late);
    const QString file = dir.filePath(QStringLiteral("late%1.cal").arg(delay));
    prompter.Clear();
    if (Backup(file, true)) {
      EXPECT_EQ(CalData(file), CalData(quickFile)) << delay;
    }
    EXPECT_EQ(prompter.Messages(), std::vector<QString>{"Instrument Not Responding"}) << delay;
    indicator.SetCommandFaults("BCA", {});
    ExpectIdle();
  }
}

TEST_P(TLateRepliesTest, AReadWhileAStreamRunsLoadsTheSettingsAndTheLogRunsOn) {
  indicator.Feed("IAD1,9000,2,3,1,50,1;");
  Connect();
  ReadSettings();
  const std::vector<std::string> quick = Settings();
  StartStreamedLog();
  AnswerTraffic();
  Control<QAction>(*window, "ReadSettings1").trigger();
  EXPECT_EQ(Settings(), quick);
  EXPECT_TRUE(window->InSync());
  ExpectTrueLogState();
}

TEST_P(TLateRepliesTest, ACalibrationStepOrABackupWhileAStreamRunsSeesNoSample) {
  Connect();
  ReadSettings();
  QTemporaryDir dir;
  ShowPage("TSCal");
  const QString quickFile = dir.filePath("quick.cal");
  ASSERT_TRUE(Backup(quickFile));

  StartStreamedLog();
  ShowPage("TSCal");
  const QString file = dir.filePath("streamed.cal");
  ASSERT_TRUE(Backup(file));
  EXPECT_EQ(CalData(file), CalData(quickFile));
  ShowPage("TSLog");
  ExpectTrueLogState();

  StartStreamedLog();
  ShowPage("TSCal");
  indicator.SetCalibrationBusyPolls(0);
  prompter.AnswerMessage(mrNo);  // no save
  AnswerTraffic();
  Click("BtnZero");
  EXPECT_EQ(indicator.Calibrations(), 1);
  ExpectIdle();
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{kSaveQuestion});
  ShowPage("TSLog");
  ExpectTrueLogState();
}

// Passes every prompt on to the scripted prompter; while a message box is open it
// lets the window's own 10 ms clock run for half a second and counts what reached
// the indicator meanwhile.
class TWatchingPrompter final : public TForwardingPrompter {
 public:
  TWatchingPrompter(TScriptedPrompter& scripted, TFrmMain& window, sim::TSimIndicator& indicator,
                    sim::TSimServer& server)
      : TForwardingPrompter(scripted), scripted_(scripted), window_(window), indicator_(indicator), server_(server) {
    SetPrompter(this);
  }
  ~TWatchingPrompter() override { SetPrompter(&scripted_); }
  int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) override {
    Watch();
    return TForwardingPrompter::MessageDlg(text, type, buttons);
  }
  void ShowMessage(const QString& text) override {
    Watch();
    TForwardingPrompter::ShowMessage(text);
  }

  std::size_t sentWhileOpen = 0;

 private:
  // A loaded machine can hold the simulator's thread back: what went out before
  // the box must be counted before it, and what went out while open within it.
  void Watch() {
    server_.CatchUp();
    const std::size_t before = indicator_.Commands().size();
    window_.DelayTicks(50);
    server_.CatchUp();
    sentWhileOpen += indicator_.Commands().size() - before;
  }
  TScriptedPrompter& scripted_;
  TFrmMain& window_;
  sim::TSimIndicator& indicator_;
  sim::TSimServer& server_;
};

// Against an indicator that has stopped answering, each action shows one box,
// and nothing goes out while it is open.
TEST_P(TLateRepliesTest, AStoppedIndicatorCostsOneBoxPerActionAndSilenceWhileItIsOpen) {
  Connect();
  ReadSettings();
  QTemporaryDir dir;
  const QString calFile = dir.filePath("scale.cal");
  ShowPage("TSCal");
  ASSERT_TRUE(Backup(calFile));
  ShowPage("TSLog");
  sim::TSimFaults silent;
  silent.silent = true;
  indicator.SetFaults(silent);
  window->ReplyLedger().lateAllowanceTicks = 20;
  TWatchingPrompter watching(prompter, *window, indicator, server);

  struct TAction {
    const char* name;
    std::function<void()> run;
  } actions[] = {
      {"start a log",
       [&] {
         prompter.AnswerDialog([](QDialog& dialog) {
           dialog.findChild<QComboBox*>("CBLogRate")->setCurrentIndex(0);
           return static_cast<int>(mrOk);
         });
         prompter.AnswerMessage(mrOk);
         Click("BtnStart");
         EXPECT_EQ(window->LogMode(), lmOff) << "no log of a silent indicator";
       }},
      {"read",
       [&] {
         AnswerTrafficStepped();
         prompter.AnswerMessage(mrOk);
         Control<QAction>(*window, "ReadSettings1").trigger();
         ShowPage("TSCal");  // asks the indicator nothing
       }},
      {"zero",
       [&] {
         prompter.AnswerMessage(mrOk);
         Click("BtnZero");
       }},
      {"restore",
       [&] {
         prompter.AnswerFile(calFile);
         prompter.AnswerMessage(mrOk);
         Click("btnRestoreCal");
       }},
  };
  for (const auto& action : actions) {
    prompter.Clear();
    action.run();
    EXPECT_EQ(prompter.Messages(), std::vector<QString>{"Instrument Not Responding"}) << action.name;
  }
  EXPECT_EQ(watching.sentWhileOpen, 0u);
}

// What the technician types is what the window waits: 0.7 s is 70 ticks of 10 ms.
TEST_P(TLateRepliesTest, TheOptionsDialogsSecondsAreTheWindowsWait) {
  prompter.AnswerDialog([](QDialog& dialog) {
    dialog.show();
    auto& tcp = Control<TNumEdit>(dialog, "edtTCPTimeout");
    QTest::mouseClick(&tcp, Qt::LeftButton);
    QTest::keyClick(&tcp, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&tcp, LocaleDecimal("0.7"));
    QTest::mouseClick(&Control<QPushButton>(dialog, "btnOK"), Qt::LeftButton);
    return dialog.result();
  });
  Control<QAction>(*window, "MnuOptions").trigger();
  EXPECT_EQ(store->GetTcpTimeout(), 70);
  Connect();
  EXPECT_EQ(window->ReplyTimeout(), 70);
}

INSTANTIATE_TEST_SUITE_P(Programs, TLateRepliesTest, ::testing::Values(&kW830Program, &kW840Program),
                         [](const auto& info) { return std::string(info.param->name); });

}  // namespace
