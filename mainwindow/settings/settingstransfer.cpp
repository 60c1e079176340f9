#include "mainwindow/settings/settingstransfer.h"

#include "platform/prompter.h"
#include "protocol/settingsfilekind.h"
#include "protocol/settingsmodel.h"
#include "protocol/tools.h"

namespace {

// The poll thread stays off the link for the whole transfer; the flags are
// cleared however the transfer ends, an exception included.
class TBusyScope {
 public:
  explicit TBusyScope(TSettingsTransfer::THost& host) : host_(host) { host_.SetTransferBusy(true); }
  ~TBusyScope() {
    host_.ClearClockEdited();
    host_.SetTransferBusy(false);
  }
  TBusyScope(const TBusyScope&) = delete;
  TBusyScope& operator=(const TBusyScope&) = delete;

 private:
  TSettingsTransfer::THost& host_;
};

// A transfer's own poll mode ends the poll loop; the mode it replaced comes back,
// and polling with it, on every way out.
class TModeScope {
 public:
  TModeScope(TSettingsTransfer::THost& host, int mode) : host_(host), saved_(host.PollMode()) {
    host_.SetPollMode(mode);
  }
  ~TModeScope() {
    host_.SetPollMode(saved_);
    host_.RestartPolling();
  }
  TModeScope(const TModeScope&) = delete;
  TModeScope& operator=(const TModeScope&) = delete;

 private:
  TSettingsTransfer::THost& host_;
  int saved_;
};

// Polls stay off the link while the viewer waits for an answer of its own.
class TPollPause {
 public:
  explicit TPollPause(TSettingsTransfer::THost& host) : host_(host) { host_.SetTransferBusy(true); }
  ~TPollPause() { host_.SetTransferBusy(false); }
  TPollPause(const TPollPause&) = delete;
  TPollPause& operator=(const TPollPause&) = delete;

 private:
  TSettingsTransfer::THost& host_;
};

class TBusyCursor {
 public:
  explicit TBusyCursor(TSettingsTransfer::THost& host) : host_(host) { host_.SetBusyCursor(true); }
  ~TBusyCursor() { host_.SetBusyCursor(false); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;

 private:
  TSettingsTransfer::THost& host_;
};

void NotConnected() { Prompter().ShowMessage(QStringLiteral("Instrument Not Connected")); }

}  // namespace

TSettingsTransfer::TSettingsTransfer(THost& host, TSettingsModel& working, TSettingsModel& instrument,
                                     bool saveBeforeLocking)
    : host_(host), working_(working), instrument_(instrument), saveBeforeLocking_(saveBeforeLocking) {}

TSettingsTransfer::~TSettingsTransfer() = default;

void TSettingsTransfer::RecogniseFilesOf(const TSettingsModel& otherModel, const QString& ownName,
                                         const QString& otherName) {
  recogniser_ = std::make_unique<TSettingsFileRecogniser>(working_, otherModel);
  ownName_ = ownName;
  otherName_ = otherName;
}

void TSettingsTransfer::ReadSettings1Click() {
  if (!host_.LinkActive()) {
    NotConnected();
    return;
  }
  TBusyScope busy(host_);
  host_.WaitOneReplyTimeout();
  bool read = false;
  {
    TModeScope mode(host_, kModeReadSettings);
    std::vector<std::string> queries, prefixes, replies;
    working_.BuildQueries(true, queries, prefixes);
    read = host_.RunTraffic("Read Settings from Instrument", queries, prefixes, replies);
    if (read) {
      working_.LoadReplies(replies);
      instrument_.LoadReplies(replies);
      host_.SettingsLoaded();
      host_.SetInSync(true);
      host_.UpdateStatusLine();
    }
  }
  // A cancelled read changed nothing: the pages keep what they show, typing not
  // yet stored included.
  if (read) host_.SettingsToControls();
}

TSettingsTransfer::TBuildRead TSettingsTransfer::ReadBuildSettings(std::vector<std::string>& commands) {
  if (commands.empty()) return TBuildRead::kNothingToWrite;
  if (!host_.LinkActive()) return TBuildRead::kFailed;
  TModeScope mode(host_, kModeReadSettings);
  std::vector<std::string> queries, prefixes, replies;
  working_.BuildQueries(false, queries, prefixes);
  if (!host_.RunTraffic("Read Build Settings from Instrument", queries, prefixes, replies))
    return TBuildRead::kFailed;
  RemoveCommonLines(commands, replies);
  return commands.empty() ? TBuildRead::kNothingToWrite : TBuildRead::kChangesRemain;
}

std::vector<std::string> TSettingsTransfer::UnsentChanges() const {
  std::vector<std::string> changes, held;
  working_.BuildSetCommands(changes);
  instrument_.BuildSetCommands(held);
  RemoveCommonLines(changes, held);
  return changes;
}

// True when the indicator takes protected settings now: it wants no passcode, or
// took the one typed. An unanswered "PCD?" is not a "no passcode needed".
bool TSettingsTransfer::Unlock() {
  const std::optional<int32_t> locked = host_.QueryInteger("PCD?", "PCD");
  if (!locked) return false;
  if (*locked == 0) return true;
  const std::optional<std::string> passcode = host_.AskPasscode();
  return passcode && host_.QuerySet("PCD" + *passcode);
}

void TSettingsTransfer::WriteSettings1Click() {
  // A field that cannot be stored stops the write before anything is sent.
  if (!host_.ControlsToSettings()) return;
  if (!host_.SettingsPagesShown()) return;
  if (!host_.LinkActive()) {
    NotConnected();
    return;
  }
  TBusyScope busy(host_);
  host_.WaitOneReplyTimeout();
  std::vector<std::string> changes = UnsentChanges();
  const TBuildRead build = ReadBuildSettings(changes);
  if (build != TBuildRead::kChangesRemain) {
    {
      TBusyCursor cursor(host_);
      if (saveBeforeLocking_) host_.QuerySet("TDD1");
      // A base read that did not complete tells nothing of what the indicator holds.
      if (build == TBuildRead::kNothingToWrite) host_.SetInSync(true);
    }
    host_.QuerySet("TDD1");
    host_.UpdateStatusLine();
    return;
  }
  if (TSettingsModel::HasProtectedCommands(changes) && !Unlock()) return;
  {
    TModeScope mode(host_, kModeWriteSettings);
    std::vector<std::string> replies;
    if (host_.RunTraffic("Write Settings to Instrument", changes, changes, replies)) {
      instrument_.LoadReplies(changes);
      TBusyCursor cursor(host_);
      if (saveBeforeLocking_) host_.QuerySet("TDD1");
      host_.QuerySet("PCD");
      host_.SetInSync(true);
    }
    host_.QuerySet("TDD1");
  }
  host_.UpdateStatusLine();
}

void TSettingsTransfer::CheckSettingsSync() {
  if (!UnsentChanges().empty()) host_.SetInSync(false);
  host_.UpdateStatusLine();
}

bool TSettingsTransfer::FileIsOurs(const std::vector<std::string>& lines, const QString& path) const {
  if (!recogniser_) return true;
  switch (recogniser_->KindOf(lines)) {
    case TSettingsFileKind::kOwn: return true;
    case TSettingsFileKind::kOtherModel:
      Prompter().MessageDlg(QStringLiteral("\"%1\" holds the settings of a %2 indicator, not of a %3: nothing was loaded.")
                                .arg(path, otherName_, ownName_),
                            TMsgDlgType::mtError, mbOK);
      return false;
    case TSettingsFileKind::kNoSettings:
      Prompter().MessageDlg(
          QStringLiteral("\"%1\" holds no %2 settings: nothing was loaded.").arg(path, ownName_), TMsgDlgType::mtError,
          mbOK);
      return false;
  }
  return false;
}

bool TSettingsTransfer::OpenSettingsFile(const std::vector<std::string>& lines, const QString& path) {
  if (!FileIsOurs(lines, path)) return false;
  if (host_.LinkActive()) {
    TPollPause pause(host_);
    host_.WaitOneReplyTimeout();
    if (!host_.QueryWfp()) return false;
  }
  // What was typed on the pages stays unless the file holds that setting too.
  host_.ControlsToSettings();
  working_.LoadReplies(lines);
  host_.SettingsToControls();
  host_.SettingsLoaded();
  // No instrument stands behind these settings.
  working_.SerialNumber.clear();
  host_.SetInSync(false);
  host_.UpdateStatusLine();
  return true;
}

std::optional<std::vector<std::string>> TSettingsTransfer::SettingsFileLines() {
  if (!host_.ControlsToSettings()) return std::nullopt;
  std::vector<std::string> lines;
  working_.BuildSetCommands(lines);
  return lines;
}
