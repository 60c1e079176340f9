// Settings read and write decisions against the simulated indicator: what goes on
// the wire and in which order, what the two models and the sync flag become, and
// that the poll mode and the busy flag come back on every way out.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <stdexcept>

#include "dialogs/trafficsteps.h"
#include "mainwindow/settings/settingstransfer.h"
#include "protocol/database.h"
#include "protocol/database840.h"
#include "tests/support/scripted_prompter.h"
#include "tools/sim/sim_indicator.h"

namespace {

constexpr int kDisplayMode = 1;

std::string StripLineEnd(std::string reply) {
  while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r')) reply.pop_back();
  return reply;
}

// The main window's part, with the transfer dialog's step machine ticked at once
// and the indicator fed directly.
class TFakeHost : public TSettingsTransfer::THost {
 public:
  explicit TFakeHost(sim::TSimIndicator& indicator) : sim_(indicator) {}

  bool LinkActive() const override { return linkActive; }
  void SetTransferBusy(bool busy) override { transferBusy = busy; }
  void WaitOneReplyTimeout() override {}
  int PollMode() const override { return pollMode; }
  void SetPollMode(int mode) override { pollMode = mode; }
  void RestartPolling() override { ++pollRestarts; }
  bool RunTraffic(const std::string& caption, const std::vector<std::string>& commands,
                  const std::vector<std::string>& replySlots, std::vector<std::string>& replies) override {
    captions.push_back(caption);
    modesInTraffic.push_back(pollMode);
    if (throwInTraffic) throw std::runtime_error("link failure");
    TTrafficSteps steps;
    steps.SetCommands(commands, replySlots);
    steps.Start();
    auto outcome = TTrafficSteps::TOutcome::kRunning;
    while (outcome == TTrafficSteps::TOutcome::kRunning) {
      outcome = steps.Tick([&](const std::string& command) {
        const std::string reply = StripLineEnd(sim_.Feed(command + ";"));
        if (!reply.empty()) steps.ReplyReceived(reply);
      });
    }
    if (outcome == TTrafficSteps::TOutcome::kGaveUp) {
      Prompter().ShowMessage("Instrument Not Responding");
      return false;
    }
    replies = steps.Replies();
    return true;
  }
  std::optional<int32_t> QueryInteger(const std::string& command, const std::string&) override {
    const std::string reply = StripLineEnd(sim_.Feed(command + ";"));
    if (reply.empty() || reply == "?") return std::nullopt;
    return std::stoi(reply);
  }
  bool QueryWfp() override {
    busyDuringWfp = transferBusy;
    const std::string reply = StripLineEnd(sim_.Feed("WFP?;"));
    return !reply.empty() && reply != "?";
  }
  bool QuerySet(const std::string& command) override {
    const std::string reply = StripLineEnd(sim_.Feed(command + ";"));
    if (reply == "?") Prompter().ShowMessage("Invalid Setting");
    return !reply.empty() && reply != "?";
  }
  std::optional<std::string> AskPasscode() override {
    ++passcodeAsks;
    return passcode;
  }
  bool ControlsToSettings() override {
    ++pagesStored;
    return pagesStorable;
  }
  void SettingsToControls() override { ++pagesShown; }
  bool SettingsPagesShown() const override { return settingsVisible; }
  void SettingsLoaded() override { settingsVisible = true; }
  void SetInSync(bool value) override { inSync = value; }
  void UpdateStatusLine() override { ++statusUpdates; }
  void ClearClockEdited() override { clockEdited = false; }
  void SetBusyCursor(bool) override {}

  bool linkActive = true;
  bool transferBusy = false;
  int pollMode = kDisplayMode;
  int pollRestarts = 0;
  bool throwInTraffic = false;
  bool busyDuringWfp = false;
  std::optional<std::string> passcode;
  int passcodeAsks = 0;
  int pagesStored = 0;
  bool pagesStorable = true;
  int pagesShown = 0;
  bool settingsVisible = false;
  bool inSync = false;
  int statusUpdates = 0;
  bool clockEdited = true;
  std::vector<std::string> captions;
  std::vector<int> modesInTraffic;

 private:
  sim::TSimIndicator& sim_;
};

class SettingsTransferTest : public ::testing::Test {
 protected:
  void ReadAll() {
    transfer_.ReadSettings1Click();
    ASSERT_TRUE(host_.inSync);
    sim_.ClearLog();
    host_.captions.clear();
    host_.modesInTraffic.clear();
  }
  std::vector<std::string> BaseQueries() const {
    std::vector<std::string> queries, prefixes;
    w830::Tdata7400().BuildQueries(false, queries, prefixes);
    return queries;
  }
  // Every Write leaves these as they were before it.
  void ExpectFlagsRestored() {
    EXPECT_EQ(host_.pollMode, kDisplayMode);
    EXPECT_FALSE(host_.transferBusy);
    EXPECT_FALSE(host_.clockEdited);
  }

  sim::TSimIndicator sim_{sim::Model::W830, 1};
  TFakeHost host_{sim_};
  w830::Tdata7400 working_;
  w830::Tdata7400 instrument_;
  TSettingsTransfer transfer_{host_, working_, instrument_};
  TScriptedPrompter prompter_;
};

TEST_F(SettingsTransferTest, ReadLoadsTheSameRepliesIntoBothModelsInReadMode) {
  ASSERT_EQ(sim_.Feed("IDN\"Scale 4\";"), "0\r\n");
  transfer_.ReadSettings1Click();
  EXPECT_EQ(working_.InstrumentID, "Scale 4");
  std::vector<std::string> workingLines, instrumentLines;
  working_.BuildSetCommands(workingLines);
  instrument_.BuildSetCommands(instrumentLines);
  EXPECT_EQ(workingLines, instrumentLines);
  EXPECT_EQ(host_.captions, std::vector<std::string>{"Read Settings from Instrument"});
  EXPECT_EQ(host_.modesInTraffic, std::vector<int>{TSettingsTransfer::kModeReadSettings});
  EXPECT_TRUE(host_.inSync);
  EXPECT_TRUE(host_.settingsVisible);
  EXPECT_EQ(host_.pagesShown, 1);
  ExpectFlagsRestored();
}

TEST_F(SettingsTransferTest, WriteOfAProtectedChangeUnlocksWritesOnlyItAndSaves) {
  sim_.SetPasscode("1234");
  ReadAll();
  working_.Units = instrument_.Units == 1 ? 2 : 1;
  const std::string changed = "ENU" + std::to_string(working_.Units);
  host_.inSync = false;
  host_.passcode = "1234";
  host_.clockEdited = true;

  transfer_.WriteSettings1Click();

  std::vector<std::string> expected = BaseQueries();
  for (const char* c : {"PCD?", "PCD1234"}) expected.push_back(c);
  expected.push_back(changed);
  for (const char* c : {"PCD", "TDD1"}) expected.push_back(c);
  EXPECT_EQ(sim_.Commands(), expected);
  EXPECT_EQ(sim_.Setting("ENU"), changed);
  EXPECT_EQ(instrument_.Units, working_.Units);
  EXPECT_EQ(sim_.Saves(), 1);
  EXPECT_EQ(host_.captions,
            (std::vector<std::string>{"Read Build Settings from Instrument", "Write Settings to Instrument"}));
  EXPECT_EQ(host_.modesInTraffic,
            (std::vector<int>{TSettingsTransfer::kModeReadSettings, TSettingsTransfer::kModeWriteSettings}));
  EXPECT_TRUE(host_.inSync);
  EXPECT_TRUE(prompter_.Messages().empty());
  ExpectFlagsRestored();
}

TEST_F(SettingsTransferTest, NoPasscodeAskedWhenTheIndicatorIsUnlocked) {
  ReadAll();
  working_.Units = instrument_.Units == 1 ? 2 : 1;
  transfer_.WriteSettings1Click();
  EXPECT_EQ(host_.passcodeAsks, 0);
  EXPECT_EQ(sim_.Setting("ENU"), "ENU" + std::to_string(working_.Units));
  EXPECT_TRUE(host_.inSync);
}

// Each way a write stops before anything is written: nothing reaches the indicator's
// settings, the instrument model and the sync flag stay as they were.
struct TStoppedWrite {
  const char* name;
  std::optional<std::string> passcode;  // what the user types, nothing = Cancel
  bool silentPasscodeQuery;
  std::vector<QString> messages;
};

void PrintTo(const TStoppedWrite& c, std::ostream* os) { *os << c.name; }

class StoppedWriteTest : public SettingsTransferTest, public ::testing::WithParamInterface<TStoppedWrite> {};

TEST_P(StoppedWriteTest, LeavesTheIndicatorAndTheSyncStateAlone) {
  const TStoppedWrite& c = GetParam();
  sim_.SetPasscode("1234");
  ReadAll();
  const std::string before = sim_.Setting("ENU");
  working_.Units = instrument_.Units == 1 ? 2 : 1;
  host_.inSync = false;
  host_.passcode = c.passcode;
  if (c.silentPasscodeQuery) {
    sim::TSimFaults silent;
    silent.silent = true;
    sim_.SetCommandFaults("PCD", silent);
  }
  const int statusUpdates = host_.statusUpdates;
  for (std::size_t i = 0; i < c.messages.size(); ++i) prompter_.AnswerMessage(mrOk);

  transfer_.WriteSettings1Click();

  EXPECT_EQ(sim_.Setting("ENU"), before);
  EXPECT_EQ(sim_.Saves(), 0);
  const std::vector<std::string> sent = sim_.Commands();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "TDD1"), 0);
  EXPECT_NE(instrument_.Units, working_.Units);
  EXPECT_FALSE(host_.inSync);
  EXPECT_EQ(host_.statusUpdates, statusUpdates);
  EXPECT_EQ(prompter_.Messages(), c.messages);
  ExpectFlagsRestored();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoppedWriteTest,
    ::testing::Values(TStoppedWrite{"PasscodeCancelled", std::nullopt, false, {}},
                      TStoppedWrite{"PasscodeRefused", std::string("9999"), false, {"Invalid Setting"}},
                      TStoppedWrite{"PasscodeQueryUnanswered", std::string("1234"), true, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsTransferTest, SilentIndicatorGivesUpTheBuildReadAndKeepsTheSyncState) {
  ReadAll();
  working_.Units = instrument_.Units == 1 ? 2 : 1;
  host_.inSync = false;
  sim::TSimFaults silent;
  silent.silent = true;
  sim_.SetFaults(silent);
  prompter_.AnswerMessage(mrOk);

  transfer_.WriteSettings1Click();

  const std::vector<std::string> sent = sim_.Commands();
  ASSERT_GE(sent.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + 4),
            std::vector<std::string>(4, BaseQueries().front()));
  EXPECT_EQ(sent.size(), 5u);  // the "TDD1" after it
  EXPECT_EQ(prompter_.Messages(), std::vector<QString>{"Instrument Not Responding"});
  EXPECT_FALSE(host_.inSync);
  EXPECT_NE(instrument_.Units, working_.Units);
  ExpectFlagsRestored();
}

TEST_F(SettingsTransferTest, SilentIndicatorOnReadChangesNoModel) {
  ASSERT_EQ(sim_.Feed("IDN\"Scale 4\";"), "0\r\n");
  sim::TSimFaults silent;
  silent.silent = true;
  sim_.SetFaults(silent);
  prompter_.AnswerMessage(mrOk);
  transfer_.ReadSettings1Click();
  EXPECT_EQ(sim_.Commands().size(), 5u);  // the IDN set above, then four sends of the first query
  EXPECT_EQ(working_.InstrumentID, "");
  EXPECT_FALSE(host_.inSync);
  EXPECT_FALSE(host_.settingsVisible);
  EXPECT_EQ(host_.pagesShown, 0) << "the pages keep what they show, typing included";
  ExpectFlagsRestored();
}

TEST_F(SettingsTransferTest, NothingToWriteSkipsTheBuildReadButSyncsAndSaves) {
  ReadAll();
  transfer_.WriteSettings1Click();
  EXPECT_EQ(sim_.Commands(), std::vector<std::string>{"TDD1"});
  EXPECT_TRUE(host_.captions.empty());
  EXPECT_TRUE(host_.inSync);
  EXPECT_EQ(host_.pagesStored, 1);
}

TEST_F(SettingsTransferTest, ChangesTheIndicatorAlreadyHoldsAreNotWritten) {
  ReadAll();
  // Two changes, both already made at the indicator's own keys.
  working_.Units = instrument_.Units == 1 ? 2 : 1;
  working_.CalWeight = instrument_.CalWeight + 1000;
  ASSERT_EQ(sim_.Feed("ENU" + std::to_string(working_.Units) + ";"), "0\r\n");
  ASSERT_EQ(sim_.Feed("CWT" + std::to_string(working_.CalWeight) + ";"), "0\r\n");
  sim_.ClearLog();
  transfer_.WriteSettings1Click();
  std::vector<std::string> expected = BaseQueries();
  expected.push_back("TDD1");
  EXPECT_EQ(sim_.Commands(), expected);
  EXPECT_TRUE(host_.inSync);
}

TEST_F(SettingsTransferTest, WriteNeedsShownSettingsAndALink) {
  transfer_.WriteSettings1Click();
  EXPECT_EQ(host_.pagesStored, 1);  // stored even when nothing is written
  EXPECT_TRUE(prompter_.Messages().empty());
  host_.settingsVisible = true;
  host_.linkActive = false;
  prompter_.AnswerMessage(mrOk);
  prompter_.AnswerMessage(mrOk);
  transfer_.WriteSettings1Click();
  transfer_.ReadSettings1Click();
  EXPECT_EQ(prompter_.Messages(),
            (std::vector<QString>{"Instrument Not Connected", "Instrument Not Connected"}));
  EXPECT_TRUE(sim_.Commands().empty());
  EXPECT_FALSE(host_.transferBusy);
}

TEST_F(SettingsTransferTest, AnExceptionInTheTransferStillRestoresModeAndFlags) {
  ReadAll();
  working_.Units = instrument_.Units == 1 ? 2 : 1;
  host_.throwInTraffic = true;
  host_.clockEdited = true;
  EXPECT_THROW(transfer_.WriteSettings1Click(), std::runtime_error);
  ExpectFlagsRestored();
  host_.clockEdited = true;
  EXPECT_THROW(transfer_.ReadSettings1Click(), std::runtime_error);
  ExpectFlagsRestored();
}

TEST_F(SettingsTransferTest, SyncCheckOnlyEverClearsTheFlag) {
  ReadAll();
  transfer_.CheckSettingsSync();
  EXPECT_TRUE(host_.inSync);
  working_.Jitter = instrument_.Jitter + 1;
  transfer_.CheckSettingsSync();
  EXPECT_FALSE(host_.inSync);
  working_.Jitter = instrument_.Jitter;
  transfer_.CheckSettingsSync();
  EXPECT_FALSE(host_.inSync);
}

// Connected, a settings file waits for the indicator's "WFP?" with the polls paused;
// unanswered, it loads nothing.
TEST_F(SettingsTransferTest, OpenWhileConnectedAsksWfpFirstWithPollsPaused) {
  const std::vector<std::string> file = {"ADR5"};
  for (const bool answered : {false, true}) {
    SCOPED_TRACE(answered ? "answered" : "unanswered");
    sim::TSimFaults faults;
    faults.silent = !answered;
    sim_.SetFaults(faults);
    sim_.ClearLog();
    working_.Address = 0;
    EXPECT_EQ(transfer_.OpenSettingsFile(file, "scale.vis"), answered);
    EXPECT_EQ(sim_.Commands(), std::vector<std::string>{"WFP?"});
    EXPECT_TRUE(host_.busyDuringWfp);
    EXPECT_FALSE(host_.transferBusy);
    EXPECT_EQ(working_.Address, answered ? 5 : 0);
    EXPECT_EQ(host_.settingsVisible, answered);
    EXPECT_EQ(host_.pagesStored, answered ? 1 : 0) << "the pages are stored before the file loads";
  }
  EXPECT_EQ(instrument_.Address, 0);
}

// The W840 saves ("TDD1") before it locks its settings again, and also when there
// is nothing to write; a base read that gave up still leaves the sync state alone.
struct TW840Write {
  const char* name;
  bool changeUnits;
  bool heldAlready;  // the indicator holds the changes already
  bool silent;
  std::vector<std::string> ending;  // what follows the base read, or everything when there is none
  bool baseRead;
  bool inSync;
};

void PrintTo(const TW840Write& c, std::ostream* os) { *os << c.name; }

class W840WriteTest : public ::testing::TestWithParam<TW840Write> {
 protected:
  sim::TSimIndicator sim_{sim::Model::W840, 1};
  TFakeHost host_{sim_};
  w840::Tdata7400 working_;
  w840::Tdata7400 instrument_;
  TSettingsTransfer transfer_{host_, working_, instrument_, true};
  TScriptedPrompter prompter_;
};

TEST_P(W840WriteTest, EndsWithTheW840sSaves) {
  const TW840Write& c = GetParam();
  transfer_.ReadSettings1Click();
  ASSERT_TRUE(host_.inSync);
  if (c.changeUnits) {
    working_.Units = instrument_.Units == 1 ? 2 : 1;
    host_.inSync = false;
  }
  if (c.heldAlready) {
    // Two of them: a single line is always written.
    working_.CalWeight = instrument_.CalWeight + 1000;
    ASSERT_EQ(sim_.Feed("ENU" + std::to_string(working_.Units) + ";"), "0\r\n");
    ASSERT_EQ(sim_.Feed("CWT" + std::to_string(working_.CalWeight) + ";"), "0\r\n");
  }
  if (c.silent) {
    sim_.SetFaults({.silent = true});
    prompter_.AnswerMessage(mrOk);
  }
  sim_.ClearLog();

  transfer_.WriteSettings1Click();

  std::vector<std::string> expected;
  if (c.baseRead) {
    std::vector<std::string> prefixes;
    working_.BuildQueries(false, expected, prefixes);
    if (c.silent) expected.assign(4, expected.front());
  }
  expected.insert(expected.end(), c.ending.begin(), c.ending.end());
  EXPECT_EQ(sim_.Commands(), expected);
  EXPECT_EQ(host_.inSync, c.inSync);
  EXPECT_FALSE(host_.transferBusy);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, W840WriteTest,
    ::testing::Values(TW840Write{"AChange", true, false, false, {"PCD?", "ENU1", "TDD1", "PCD", "TDD1"}, true, true},
                      TW840Write{"NothingChanged", false, false, false, {"TDD1", "TDD1"}, false, true},
                      TW840Write{"ChangesTheIndicatorHolds", true, true, false, {"TDD1", "TDD1"}, true, true},
                      TW840Write{"ASilentIndicator", true, false, true, {"TDD1", "TDD1"}, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
