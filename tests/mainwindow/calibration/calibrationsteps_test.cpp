// The calibration steps against the simulated indicator, without the form: the
// real request engine, its clock ticked by the test, and the indicator fed at once.
// What goes on the wire and in which order, what the user is asked and told, and
// that the window is unlocked on every way out.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <deque>
#include <map>

#include "mainwindow/calibration/calibrationsteps.h"
#include "mainwindow/wire/commandframe.h"
#include "mainwindow/wire/requestengine.h"
#include "platform/inifile.h"
#include "protocol/database.h"
#include "protocol/database840.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/unprivileged.h"
#include "tools/sim/sim_indicator.h"

namespace {

using TField = TCalibrationSteps::TField;

const QString kSaveQuestion = QStringLiteral(
    "Save calibration in indicator? If you select 'No' here, 'Write Settings' can be used later to save the "
    "calibration.");

class TFakeCalHost : public TCalibrationSteps::THost {
 public:
  explicit TFakeCalHost(sim::TSimIndicator& indicator) : sim_(indicator) {
    engine.LinkActive = [this] { return LinkActive(); };
    engine.Send = [this](const std::string& command, bool, int) {
      Send(command);
      return ++entry;
    };
    engine.ShowNotResponding = [] { Prompter().ShowMessage(QStringLiteral("Instrument Not Responding")); };
    engine.ShowFailure = [](const std::string& message) {
      Prompter().MessageDlg(QString::fromLatin1(message.c_str()), TMsgDlgType::mtError, mbOK);
    };
    engine.PumpOnce = [this] {
      if (duringPump) duringPump();
      if (!replies.empty()) {
        const std::string reply = replies.front();
        replies.pop_front();
        engine.Dispatch(entry, reply);
        return;
      }
      ++ticks;
      engine.Tick();
      ASSERT_LT(ticks, 1000000) << "the step never ended";
    };
    engine.Context().model = &model;
    engine.Context().settingsChanged = [this] { ++pagesRefreshed; };
  }

  bool LinkActive() const override { return linkActive && !closing; }
  bool Closing() const override { return closing; }
  bool Unanswered() const override { return engine.Unanswered(); }
  void Send(const std::string& command) {
    sent.push_back(command);
    std::string out = sim_.Feed(FrameCommand(command, false).wire);
    for (std::size_t end; (end = out.find("\r\n")) != std::string::npos; out.erase(0, end + 2))
      replies.push_back(out.substr(0, end));
  }
  bool Request(const std::string& command, int timeoutTicks, const TReplyHandler& handler,
               const std::string& prefix) override {
    timeoutOf[command] = timeoutTicks;
    return engine.Request(command, false, timeoutTicks, handler, prefix);
  }
  TReplyContext& ReplyContext() override { return engine.Context(); }
  int ReplyTimeout() const override { return 70; }
  bool DelayTicks(int n) override { return engine.DelayTicks(n); }
  void StopStreamedLog() override {
    if (streaming) Send("STP;");
    streaming = false;
  }
  void SetCalibrating(bool on) override {
    calibrating = on;
    ++lockChanges;
  }
  void ShowCalSegments(const std::string& segments) override { shownSegments = segments; }
  void UpdateStatusLine() override {}
  void SetInSync(bool value) override { inSync = value; }
  void ReadSettings() override {
    EXPECT_FALSE(calibrating) << "settings are read after the window is unlocked";
    ++settingsReads;
  }
  std::string FieldText(TField field) const override { return fields.at(field); }
  void SetFieldText(TField field, const std::string& text) override { fields[field] = text; }
  int Decimals() const override { return decimals; }
  char DecimalChar() const override { return decimalChar; }
  int SelectedLinPoint() const override { return selectedRow; }
  void StoreDirectValue(TField field, int32_t value) override {
    (field == TField::kDirectZero ? model.DirectZero : model.DirectSpan) = value;
  }
  TCalIdentity IndicatorIdentity() const override {
    return {{}, {}, QString::fromLatin1(model.InstrumentID.c_str()), QString::fromLatin1(model.SoftwareVersion.c_str()),
            QString::fromLatin1(model.SerialNumber.c_str())};
  }
  int32_t WeighMode() const override { return model.WeighMode; }
  std::optional<int32_t> AskAbsoluteValue(const QString& prompt, int32_t value) override {
    asked.push_back({prompt, value});
    return absoluteAnswer;
  }
  QWidget* DialogParent() override { return nullptr; }

  TRequestEngine engine;
  std::uint64_t entry = 0;
  w830::Tdata7400 model;
  std::deque<std::string> replies;
  std::vector<std::string> sent;
  std::function<void()> duringPump;
  long ticks = 0;
  bool linkActive = true;
  bool closing = false;
  bool streaming = false;
  bool calibrating = false;
  int lockChanges = 0;
  std::string shownSegments;
  bool inSync = true;
  int settingsReads = 0;
  int pagesRefreshed = 0;
  std::map<TField, std::string> fields = {{TField::kSpanWeight, "30.00"},
                                          {TField::kLinWeight, ""},
                                          {TField::kDirectZero, "0.0000"},
                                          {TField::kDirectSpan, "2.0000"}};
  int decimals = 2;
  char decimalChar = '.';
  int selectedRow = -1;
  std::map<std::string, int> timeoutOf;  // ticks each command waited at most
  std::vector<std::pair<QString, int32_t>> asked;  // absolute values: prompt and value offered
  std::optional<int32_t> absoluteAnswer;           // what the user confirms; nothing: Cancel

 private:
  sim::TSimIndicator& sim_;
};

class CalibrationStepsTest : public ::testing::Test {
 protected:
  explicit CalibrationStepsTest(sim::Model model = sim::Model::W830,
                                const TCalibrationDialect& dialect = w830::CalibrationDialect())
      : indicator{model, 1}, steps{host, dialect} {
    indicator.SetCalibrationBusyPolls(0);
    host.model.InstrumentID = "SCALE1";
    host.model.SerialNumber = "SIM00001";
    host.model.SoftwareVersion = "2.10";
  }
  void TearDown() override {
    EXPECT_TRUE(prompter.AllAnswersUsed());
    EXPECT_FALSE(host.calibrating);
    EXPECT_FALSE(steps.Running());
  }
  // A step run as the form runs it: a failure is the application's error box.
  template <class F>
  void Click(F step) {
    try {
      (steps.*step)();
    } catch (const std::exception& error) {
      prompter.MessageDlg(QString::fromLatin1(error.what()), TMsgDlgType::mtError, mbOK);
    }
  }
  std::vector<std::string> Status(const std::string& name, int n) { return std::vector<std::string>(n, name + "?"); }
  static std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  }

  TScriptedPrompter prompter;
  sim::TSimIndicator indicator;
  TFakeCalHost host{indicator};
  TCalibrationSteps steps;
};

TEST_F(CalibrationStepsTest, ZeroWaitsForFiveDoneAnswersThenSavesAndReadsTheSettings) {
  indicator.SetCalibrationStatuses({1, 0, 0, 1, 0, 0, 0, 0, 0});
  prompter.AnswerMessage(mrYes);
  Click(&TCalibrationSteps::BtnZeroClick);
  EXPECT_EQ(host.sent, Join({{"LDN;"}, Status("LDN", 9), {"TDD1;"}}));
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{kSaveQuestion});
  EXPECT_EQ(indicator.Saves(), 1);
  EXPECT_FALSE(host.inSync);
  EXPECT_EQ(host.settingsReads, 1);
  EXPECT_EQ(host.shownSegments, "22002200220022002200220000000000");
  EXPECT_EQ(host.lockChanges, 2);
}

TEST_F(CalibrationStepsTest, StatusAnswersDecideHowLongTheWaitGoesOn) {
  struct Case {
    const char* name;
    std::vector<int> statuses;
    int queries;
    std::vector<QString> messages;  // before the save question
  } cases[] = {
      {"other values keep the count", {0, 50, 2, 100, 0, 0, 0, 0}, 8, {}},
      {"an error ends the wait at once", {1, 101}, 2, {w830::CalErrorMessage(101)}},
      {"span error", {104}, 1, {QStringLiteral("Calibration Error: 104: Span Too High (> 3.2 mV/V) Or Too Low (< -3.2 mV/V)")}},
      {"internal error", {106}, 1, {QStringLiteral("Calibration Error: 106: Internal Error")}},
      {"an unknown code", {102}, 1, {QStringLiteral("Calibration Error: 102: Unknown Error")}},
  };
  for (const auto& c : cases) {
    indicator.SetCalibrationStatuses(c.statuses);
    for (std::size_t i = 0; i < c.messages.size(); ++i) prompter.AnswerMessage(mrOk);
    prompter.AnswerMessage(mrNo);
    Click(&TCalibrationSteps::BtnZeroClick);
    EXPECT_EQ(host.sent, Join({{"LDN;"}, Status("LDN", c.queries)})) << c.name;
    std::vector<QString> expected = c.messages;
    expected.push_back(kSaveQuestion);
    EXPECT_EQ(prompter.Messages(), expected) << c.name;
    EXPECT_EQ(host.settingsReads, 1) << c.name;
    host.sent.clear();
    host.settingsReads = 0;
    prompter.Clear();
  }
  EXPECT_EQ(indicator.Saves(), 0);
}

// One failed action shows one box: the step's own failure text stays unsaid
// once "Instrument Not Responding" has been shown, and nothing more is sent.
TEST_F(CalibrationStepsTest, AnUnansweredStatusEndsTheWaitAndTheSaveQuestionStillFollows) {
  sim::TSimFaults silent;
  silent.silent = true;
  indicator.SetCommandFaults("LDN", silent);
  prompter.AnswerMessage(mrOk);  // the zero itself is not answered either
  Click(&TCalibrationSteps::BtnZeroClick);
  EXPECT_EQ(prompter.Messages(), (std::vector<QString>{QStringLiteral("Instrument Not Responding")}));
  EXPECT_EQ(host.settingsReads, 0);
  host.engine.NewAction();

  prompter.Clear();
  host.sent.clear();
  indicator.SetCommandFaults("LDN", {});
  indicator.SetCalibrationStatuses({1, 1});
  host.duringPump = [&] {
    if (host.sent.size() == 3) indicator.SetCommandFaults("LDN", silent);
  };
  prompter.AnswerMessage(mrOk);
  prompter.AnswerMessage(mrNo);
  Click(&TCalibrationSteps::BtnZeroClick);
  EXPECT_EQ(host.sent, Join({{"LDN;"}, Status("LDN", 3)}));
  EXPECT_EQ(prompter.Messages(), (std::vector<QString>{QStringLiteral("Instrument Not Responding"), kSaveQuestion}));
  EXPECT_EQ(host.settingsReads, 0);
}

TEST_F(CalibrationStepsTest, ARefusedSaveEndsTheStepWithoutReadingTheSettings) {
  sim::TSimFaults reject;
  reject.rejectAll = true;
  indicator.SetCommandFaults("TDD", reject);
  prompter.AnswerMessage(mrYes);
  prompter.AnswerMessage(mrOk);
  prompter.AnswerMessage(mrOk);
  Click(&TCalibrationSteps::BtnZeroClick);
  EXPECT_EQ(prompter.Messages(), (std::vector<QString>{kSaveQuestion, QStringLiteral("Invalid Setting"),
                                                       QStringLiteral("Save settings to indicator failed")}));
  EXPECT_EQ(host.settingsReads, 0);
  EXPECT_TRUE(host.inSync);
}

TEST_F(CalibrationStepsTest, SpanSendsTheWeightInDisplayCountsOfTheTextAsTyped) {
  struct Case {
    const char* typed;
    int decimals;
    char decimalChar;
    const char* shown;
    const char* command;
  } cases[] = {
      {"12.5", 2, '.', "12.50", "CWT1250"},
      {"12", 2, '.', "12.00", "CWT1200"},
      {"12,5", 2, ',', "12,50", "CWT1250"},
      {"1.23456", 3, '.', "1.234", "CWT1234"},
      {"7", 0, '.', "7", "CWT7"},
  };
  for (const auto& c : cases) {
    host.fields[TField::kSpanWeight] = c.typed;
    host.decimals = c.decimals;
    host.decimalChar = c.decimalChar;
    prompter.AnswerMessage(mrNo);
    Click(&TCalibrationSteps::BTnSpanClick);
    EXPECT_EQ(host.sent, Join({{c.command, "LWN;"}, Status("LWN", 5)})) << c.typed;
    EXPECT_EQ(host.fields[TField::kSpanWeight], c.shown) << c.typed;
    host.sent.clear();
  }
  EXPECT_EQ(indicator.Setting("CWT"), "CWT7");
}

TEST_F(CalibrationStepsTest, DirectCalibrationChecksBothValuesBeforeSendingAny) {
  struct Case {
    const char* zero;
    const char* span;
    const char* message;
  } cases[] = {
      {"3.3", "1", "Zero mV/V value error. Calibration failed because direct zero value too big. Must be <= 3.2mV/V"},
      {"-3.2001", "1",
       "Zero mV/V value error. Calibration failed because direct zero value too small. Must be >= -3.2mV/V"},
      {"0", "3.21", "Span mV/V value error. Calibration failed because direct span value too big. Must be <= 3.2mV/V"},
      {"0", "-4", "Span mV/V value error. Calibration failed because direct span value too small. Must be >= -3.2mV/V"},
      {"3.2", "3.2", "Calibration failed because span and zero mV/V values cannot be equal."},
      {"abc", "1", "Invalid mV/V zero value. Calibration failed."},
      {"", "1", "Invalid mV/V zero value. Calibration failed."},
      {"1.5.1", "1", "Invalid mV/V zero value. Calibration failed."},
      {"inf", "1", "Invalid mV/V zero value. Calibration failed."},
      {"nan", "1", "Invalid mV/V zero value. Calibration failed."},
      {"1e300", "1", "Invalid mV/V zero value. Calibration failed."},
      {"300000", "1", "Invalid mV/V zero value. Calibration failed."},
      {"0", "x", "Invalid mV/V span value. Calibration failed."},
      {"0", "-1e30", "Invalid mV/V span value. Calibration failed."},
  };
  for (const auto& c : cases) {
    host.fields[TField::kDirectZero] = c.zero;
    host.fields[TField::kDirectSpan] = c.span;
    prompter.AnswerMessage(mrOk);
    Click(&TCalibrationSteps::btnCalDirectClick);
    EXPECT_EQ(prompter.Messages(), std::vector<QString>{QString::fromLatin1(c.message)}) << c.zero << " " << c.span;
    EXPECT_TRUE(host.sent.empty()) << c.zero << " " << c.span;
    prompter.Clear();
  }
  // Values are stored before the checks, as far as they could be read.
  EXPECT_EQ(host.model.DirectZero, 0);
  EXPECT_EQ(host.model.DirectSpan, 32000);
  EXPECT_EQ(host.settingsReads, 0);
}

TEST_F(CalibrationStepsTest, DirectCalibrationSendsBothValuesEachFollowedByItsWait) {
  host.fields[TField::kDirectZero] = " +1,2345 ";
  host.fields[TField::kDirectSpan] = "-2.5";
  host.decimalChar = ',';
  prompter.AnswerMessage(mrNo);
  Click(&TCalibrationSteps::btnCalDirectClick);
  EXPECT_EQ(host.sent, Join({{"LDN12345"}, Status("LDN", 5), {"LWN-25000"}, Status("LWN", 5)}));
  EXPECT_EQ(host.model.DirectZero, 12345);
  EXPECT_EQ(host.model.DirectSpan, -25000);
  EXPECT_EQ(host.settingsReads, 1);
}

TEST_F(CalibrationStepsTest, LinearisationPointsAreSetAndClearedAndReadBack) {
  indicator.Feed("IAD1,2000,1;");
  prompter.AnswerMessage(mrOk);
  Click(&TCalibrationSteps::BtnLSetClick);
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{QStringLiteral("No linearisation point selected")});
  EXPECT_TRUE(host.sent.empty());

  prompter.Clear();
  host.selectedRow = 2;
  host.decimals = 1;
  host.fields[TField::kLinWeight] = "100";
  prompter.AnswerMessage(mrYes);
  Click(&TCalibrationSteps::BtnLSetClick);
  EXPECT_EQ(host.sent, (std::vector<std::string>{"LIC3,1000", "LIC?3", "TDD1;"}));
  EXPECT_EQ(host.fields[TField::kLinWeight], "100.0");
  EXPECT_EQ(host.model.LinPercent[2], 50);
  EXPECT_EQ(host.model.LinWeight[2], 16000);
  EXPECT_EQ(host.pagesRefreshed, 1);
  EXPECT_EQ(host.settingsReads, 0);

  host.sent.clear();
  prompter.AnswerMessage(mrNo);
  Click(&TCalibrationSteps::BtnLClearClick);
  EXPECT_EQ(host.sent, (std::vector<std::string>{"LIC3;", "LIC?3;"}));
  EXPECT_EQ(host.model.LinPercent[2], 0);
  EXPECT_EQ(host.model.LinWeight[2], 0);
  EXPECT_EQ(host.pagesRefreshed, 2);
}

TEST_F(CalibrationStepsTest, EveryStepWithTheLinkClosedSaysSoAndSendsNothing) {
  host.linkActive = false;
  host.selectedRow = 0;
  for (auto step : {&TCalibrationSteps::BtnZeroClick, &TCalibrationSteps::BTnSpanClick,
                    &TCalibrationSteps::btnCalDirectClick, &TCalibrationSteps::BtnLSetClick,
                    &TCalibrationSteps::BtnLClearClick, &TCalibrationSteps::btnBackupCalClick,
                    &TCalibrationSteps::btnRestoreCalClick}) {
    prompter.AnswerMessage(mrOk);
    Click(step);
    EXPECT_EQ(prompter.Messages(), std::vector<QString>{QStringLiteral("No instrument connected")});
    prompter.Clear();
  }
  EXPECT_TRUE(host.sent.empty());
  EXPECT_EQ(host.settingsReads, 0);
}

TEST_F(CalibrationStepsTest, AStreamedLogIsStoppedBeforeTheFirstRequest) {
  host.streaming = true;
  prompter.AnswerMessage(mrNo);
  Click(&TCalibrationSteps::BtnZeroClick);
  ASSERT_GE(host.sent.size(), 2u);
  EXPECT_EQ(host.sent[0], "STP;");
  EXPECT_EQ(host.sent[1], "LDN;");
}

TEST_F(CalibrationStepsTest, ClosingTheWindowWhileAStepWaitsEndsItQuietly) {
  indicator.SetCalibrationStatuses({1});
  host.duringPump = [&] {
    if (host.sent.size() == 4 && !host.closing) {
      host.closing = true;
      host.engine.Abort();
    }
  };
  Click(&TCalibrationSteps::BtnZeroClick);
  EXPECT_EQ(host.sent, Join({{"LDN;"}, Status("LDN", 3)}));
  EXPECT_TRUE(prompter.Messages().empty());
  EXPECT_EQ(host.settingsReads, 0);
}

// The same steps in the W840's words.
class W840CalibrationStepsTest : public CalibrationStepsTest {
 protected:
  W840CalibrationStepsTest() : CalibrationStepsTest(sim::Model::W840, w840::CalibrationDialect()) {}
  // Model and indicator in the weigh mode "Direct", whose zero and span are absolute mV/V values.
  void Direct() {
    host.model.WeighMode = w840::Tdata7400::kDirectWeighMode;
    ASSERT_EQ(indicator.Feed("WMD4,0;"), "0\r\n");
  }
};

struct TAbsoluteCase {
  const char* name;
  void (TCalibrationSteps::*step)();
  std::optional<int32_t> typed;  // nothing: the dialog is cancelled
  std::vector<std::string> sent;
  std::vector<std::pair<QString, int32_t>> asked;
  std::vector<QString> messages;  // a save question is answered No
};

void PrintTo(const TAbsoluteCase& c, std::ostream* os) { *os << c.name; }

class W840AbsoluteTest : public W840CalibrationStepsTest, public ::testing::WithParamInterface<TAbsoluteCase> {};

TEST_P(W840AbsoluteTest, OffersTheIndicatorsValueAndWritesWhatWasConfirmed) {
  const TAbsoluteCase& c = GetParam();
  Direct();
  host.absoluteAnswer = c.typed;
  for (std::size_t i = 0; i < c.messages.size(); ++i) prompter.AnswerMessage(c.messages[i] == kSaveQuestion ? mrNo : mrOk);
  Click(c.step);
  EXPECT_EQ(host.sent, c.sent);
  EXPECT_EQ(host.asked, c.asked);
  EXPECT_EQ(prompter.Messages(), c.messages);
  const bool written = !c.messages.empty() && c.messages.back() == kSaveQuestion;
  EXPECT_EQ(host.settingsReads, written ? 1 : 0);
  if (c.sent.size() == 2) {
    EXPECT_EQ(host.timeoutOf[c.sent.back()], 200);
  }
}

const QString kZeroPrompt = QStringLiteral("Enter Zero Signal");
const QString kSpanPrompt = QStringLiteral("Enter Fullscale Span Signal");

INSTANTIATE_TEST_SUITE_P(
    Cases, W840AbsoluteTest,
    ::testing::Values(
        TAbsoluteCase{"ZeroConfirmed", &TCalibrationSteps::BtnZeroClick, -2500, {"VAL?", "LDW-2500"},
                      {{kZeroPrompt, 12345}}, {kSaveQuestion}},
        TAbsoluteCase{"ZeroCancelled", &TCalibrationSteps::BtnZeroClick, std::nullopt, {"VAL?"},
                      {{kZeroPrompt, 12345}}, {"mV/V zero calibration cancelled"}},
        TAbsoluteCase{"ZeroRefused", &TCalibrationSteps::BtnZeroClick, 32001, {"VAL?", "LDW32001"},
                      {{kZeroPrompt, 12345}}, {"Invalid Setting", "Writing mV/V zero calibration value failed"}},
        TAbsoluteCase{"SpanConfirmed", &TCalibrationSteps::BTnSpanClick, 21000, {"LWT?", "LWT21000"},
                      {{kSpanPrompt, 20000}}, {kSaveQuestion}},
        TAbsoluteCase{"SpanCancelled", &TCalibrationSteps::BTnSpanClick, std::nullopt, {"LWT?"},
                      {{kSpanPrompt, 20000}}, {"mV/V span calibration cancelled"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(W840CalibrationStepsTest, AnUnansweredReadingAsksNothing) {
  Direct();
  indicator.SetFaults({.silent = true});
  prompter.AnswerMessage(mrOk);
  Click(&TCalibrationSteps::BtnZeroClick);
  EXPECT_EQ(prompter.Messages(), (std::vector<QString>{"Instrument Not Responding"}));
  EXPECT_TRUE(host.asked.empty());
}

// Outside "Direct" the W840 weighs: the same mode decides whatever the page shows.
TEST_F(W840CalibrationStepsTest, OutsideDirectZeroAndSpanWeigh) {
  indicator.SetCalibrationBusyPolls(0);
  prompter.AnswerMessage(mrNo);
  Click(&TCalibrationSteps::BtnZeroClick);
  prompter.AnswerMessage(mrNo);
  Click(&TCalibrationSteps::BTnSpanClick);
  EXPECT_EQ(host.sent, Join({{"LDW;"}, Status("LDW", 5), {"CWT3000", "LWT;"}, Status("LWT", 5)}));
  EXPECT_TRUE(host.asked.empty());
}

TEST_F(W840CalibrationStepsTest, DirectValuesAreWrittenWithoutAStatusWait) {
  Direct();
  host.fields[TField::kDirectZero] = "1.2345";
  host.fields[TField::kDirectSpan] = "2.5";
  prompter.AnswerMessage(mrNo);
  Click(&TCalibrationSteps::btnCalDirectClick);
  EXPECT_EQ(host.sent, (std::vector<std::string>{"LDW12345", "LWT25000"}));
  EXPECT_EQ(host.timeoutOf["LDW12345"], 200);
  EXPECT_EQ(host.timeoutOf["LWT25000"], 200);
  EXPECT_EQ(indicator.Setting("LWT1"), "LWT1,25000");
  EXPECT_EQ(host.settingsReads, 1);
}

// The W840's span does not check the link first: its first request fails instead.
TEST_F(W840CalibrationStepsTest, ASpanWithTheLinkClosedFailsAtItsFirstRequest) {
  host.linkActive = false;
  prompter.AnswerMessage(mrOk);
  Click(&TCalibrationSteps::BTnSpanClick);
  Direct();
  prompter.AnswerMessage(mrOk);
  Click(&TCalibrationSteps::BTnSpanClick);
  EXPECT_EQ(prompter.Messages(), (std::vector<QString>{"Setting calibration weight failed",
                                                       "Reading mV/V span calibration value failed"}));
  EXPECT_TRUE(host.sent.empty());
}

// The backup and restore steps, with files in a temporary folder.
class CalibrationBackupTest : public CalibrationStepsTest {
 protected:
  QString File(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  std::string Block(int n) {
    std::string block = indicator.Feed("BCA?" + std::to_string(n) + ";");
    return block.substr(0, block.size() - 2);
  }
  // The file chosen, then the answers to the messages that follow.
  void Backup(const QString& file, std::initializer_list<int> answers = {}) {
    prompter.AnswerFile(file);
    for (const int a : answers) prompter.AnswerMessage(a);
    Click(&TCalibrationSteps::btnBackupCalClick);
  }
  void Restore(const QString& file, std::initializer_list<int> answers = {}) {
    prompter.AnswerFile(file);
    for (const int a : answers) prompter.AnswerMessage(a);
    Click(&TCalibrationSteps::btnRestoreCalClick);
  }
  std::vector<std::string> RestoreCommands() {
    std::vector<std::string> sent;
    for (const auto& c : host.sent)
      if (c.rfind("BCA", 0) == 0 && c.rfind("BCA?", 0) != 0) sent.push_back(c);
    return sent;
  }
  QByteArray Read(const QString& file) const {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void Edit(const QString& file, const char* section, const char* key, const QString& value) {
    TMemIniFile ini(file);
    ini.WriteString(QString::fromLatin1(section), QString::fromLatin1(key), value);
    ASSERT_TRUE(ini.UpdateFile());
  }

  QTemporaryDir dir;
};

TEST_F(CalibrationBackupTest, ARestoreSendsBackTheBlocksOfTheBackupInOrder) {
  std::vector<std::string> blocks;
  for (int i = 0; i < 5; ++i) blocks.push_back("BCA" + Block(i) + ";");
  Backup(File("scale.cal"));
  EXPECT_TRUE(prompter.Messages().empty());
  EXPECT_EQ(host.settingsReads, 0);

  host.sent.clear();
  Restore(File("scale.cal"), {mrYes});
  EXPECT_EQ(RestoreCommands(), blocks);
  EXPECT_EQ(host.sent.back(), "TDD1;");
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{kSaveQuestion});
  EXPECT_EQ(host.settingsReads, 1);
}

TEST_F(CalibrationBackupTest, EachDifferenceIsAskedAboutInTurnAndANoSendsNothing) {
  Backup(File("scale.cal"));
  Edit(File("scale.cal"), "CalData", "Checksum", QStringLiteral("12"));
  Edit(File("scale.cal"), "Header", "IndicatorVersion", QStringLiteral("9.99"));
  Edit(File("scale.cal"), "Header", "IndicatorSerialNo", QStringLiteral("OTHER"));
  const std::vector<QString> questions = {QStringLiteral("Stored checksum is incorrect. Continue?"),
                                          QStringLiteral("Indicator software version is different. Continue?"),
                                          QStringLiteral("NQ3752 serial number is different. Continue?")};
  for (std::size_t no = 0; no < questions.size(); ++no) {
    host.sent.clear();
    prompter.Clear();
    prompter.AnswerFile(File("scale.cal"));
    for (std::size_t i = 0; i < no; ++i) prompter.AnswerMessage(mrYes);
    prompter.AnswerMessage(mrNo);
    Click(&TCalibrationSteps::btnRestoreCalClick);
    EXPECT_EQ(prompter.Messages(), std::vector<QString>(questions.begin(), questions.begin() + long(no) + 1));
    EXPECT_TRUE(host.sent.empty());
    EXPECT_EQ(host.settingsReads, 0);
  }
}

TEST_F(CalibrationBackupTest, ABlockTheIndicatorRefusesIsReportedAndTheNextFollows) {
  Backup(File("scale.cal"));
  TMemIniFile ini(File("scale.cal"));
  const std::string edited = "2,FFFF,0002";  // its sum is wrong
  ini.WriteString(QStringLiteral("CalData"), QStringLiteral("BCA2"), QString::fromLatin1(edited.c_str()));
  ASSERT_TRUE(ini.UpdateFile());

  host.sent.clear();
  Restore(File("scale.cal"), {mrYes /* the checksum */, mrOk /* Invalid Setting */, mrNo /* save */});
  const std::vector<std::string> sent = RestoreCommands();
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[2], "BCA" + edited + ";");
  EXPECT_EQ(prompter.Messages(), (std::vector<QString>{QStringLiteral("Stored checksum is incorrect. Continue?"),
                                                       QStringLiteral("Invalid Setting"), kSaveQuestion}));
  EXPECT_EQ(host.settingsReads, 1);
}

TEST_F(CalibrationBackupTest, AnUnreadableBlockIsLeftOutAndTheRestoreNoticesItsAbsence) {
  indicator.SetUnreadableCalBlock(2);
  Backup(File("scale.cal"), {mrOk /* Invalid Setting */, mrOk /* the warning */});
  EXPECT_EQ(prompter.Messages(), (std::vector<QString>{QStringLiteral("Invalid Setting"),
                                                       QStringLiteral("Reading calibration information from indicator failed")}));
  EXPECT_FALSE(TMemIniFile(File("scale.cal")).ValueExists(QStringLiteral("CalData"), QStringLiteral("BCA2")));

  indicator.SetUnreadableCalBlock(-1);
  host.sent.clear();
  prompter.Clear();
  Restore(File("scale.cal"), {mrYes, mrOk /* "BCA;" is refused */, mrNo});
  EXPECT_EQ(prompter.Messages().front(), QStringLiteral("Stored checksum is incorrect. Continue?"));
  ASSERT_EQ(RestoreCommands().size(), 5u);
  EXPECT_EQ(RestoreCommands()[2], "BCA;");
}

TEST_F(CalibrationBackupTest, ABackupOverAnOlderOneLeavesNothingOfIt) {
  Backup(File("scale.cal"));
  Edit(File("scale.cal"), "Notes", "Left", QStringLiteral("by hand"));
  indicator.SetUnreadableCalBlock(4);
  Backup(File("scale.cal"), {mrOk, mrOk});
  const TMemIniFile ini(File("scale.cal"));
  EXPECT_FALSE(ini.ValueExists(QStringLiteral("CalData"), QStringLiteral("BCA4")));
  EXPECT_FALSE(ini.SectionExists(QStringLiteral("Notes")));
  EXPECT_EQ(ini.ReadSection(QStringLiteral("CalData")),
            (QStringList{"BCA0", "BCA1", "BCA2", "BCA3", "Checksum"}));
}

TEST_F(CalibrationBackupTest, AFileThatCannotBeWrittenIsReportedAndTheOldOneStaysWhole) {
  Backup(File("scale.cal"));
  const QByteArray before = Read(File("scale.cal"));
  ASSERT_FALSE(before.isEmpty());
  // The folder refuses the temporary file the backup is written to first.
  const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
  QFile::setPermissions(dir.path(), readOnly);
  {
    TUnprivileged user;
    ASSERT_TRUE(user.Active());
    Backup(File("scale.cal"), {mrOk});
  }
  QFile::setPermissions(dir.path(), readOnly | QFile::WriteOwner);
  ASSERT_EQ(prompter.Messages().size(), 1u);
  EXPECT_TRUE(prompter.Messages()[0].startsWith(QStringLiteral("Calibration file ") + File("scale.cal") +
                                                " cannot be written ("));
  EXPECT_EQ(Read(File("scale.cal")), before);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"scale.cal"}) << "no temporary file is left";
}

TEST_F(CalibrationBackupTest, ABlockThatWouldCarryACommandOfItsOwnIsNeverSent) {
  Backup(File("scale.cal"));
  for (const char* value : {"1,0000;TDD1", "1,\x02" "0000"}) {
    TMemIniFile ini(File("scale.cal"));
    ini.WriteString(QStringLiteral("CalData"), QStringLiteral("BCA1"), QString::fromLatin1(value));
    ASSERT_TRUE(ini.UpdateFile());
    host.sent.clear();
    prompter.Clear();
    Restore(File("scale.cal"), {mrOk});
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_TRUE(prompter.Messages()[0].endsWith(QStringLiteral("holds a block that cannot be sent (BCA1).")));
    EXPECT_TRUE(host.sent.empty());
  }
}

TEST_F(CalibrationBackupTest, CancellingTheFileDialogsEndsTheStepsQuietly) {
  Backup(QString());
  Restore(QString());
  EXPECT_TRUE(host.sent.empty());
  EXPECT_EQ(host.settingsReads, 0);
  EXPECT_EQ(prompter.Prompts().size(), 2u);
}

}  // namespace
