#pragma once
// What a settings read or write sends, in which order, and what it does
// with the outcome: the two settings models, the passcode, the sync flag and the poll
// mode around each transfer; and how a settings file's lines go into and out of the
// working model. The main window supplies the link-side steps through THost, so
// these decisions are tested without the form.
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TSettingsFileRecogniser;
class TSettingsModel;

class TSettingsTransfer {
 public:
  // Poll modes a transfer sets; any other mode is the host's.
  static constexpr int kModeReadSettings = 4;
  static constexpr int kModeWriteSettings = 5;

  class THost {
   public:
    virtual ~THost() = default;
    virtual bool LinkActive() const = 0;
    virtual void SetTransferBusy(bool busy) = 0;
    // Pumps events for one reply time-out, so that a poll already sent is answered.
    virtual void WaitOneReplyTimeout() = 0;
    virtual int PollMode() const = 0;
    virtual void SetPollMode(int mode) = 0;
    // Starts the poll thread again when the mode wants one and none runs.
    virtual void RestartPolling() = 0;
    // Runs the transfer dialog over the commands with the display blanked; false
    // when it ended with Cancel (the user's, its own give-up, or a lost link).
    virtual bool RunTraffic(const std::string& caption, const std::vector<std::string>& commands,
                            const std::vector<std::string>& replySlots, std::vector<std::string>& replies) = 0;
    // A query answered by a number after the prefix; nothing when no valid answer came.
    virtual std::optional<int32_t> QueryInteger(const std::string& command, const std::string& prefix) = 0;
    // "WFP?" into the working model (the port the viewer talks through); false when
    // no valid answer came.
    virtual bool QueryWfp() = 0;
    // A set command; false when refused ("?", already reported) or unanswered.
    virtual bool QuerySet(const std::string& command) = 0;
    // The passcode typed (at most six digits), or nothing when cancelled.
    virtual std::optional<std::string> AskPasscode() = 0;
    // The pages into the working model, the shown setpoint included; false (and
    // told) when a field could not be stored.
    virtual bool ControlsToSettings() = 0;
    // The working model onto the pages, the shown setpoint included.
    virtual void SettingsToControls() = 0;
    // Whether a read or a settings file has shown the settings since the link came up.
    virtual bool SettingsPagesShown() const = 0;
    // A read has loaded both models: chart set-up and the settings pages shown.
    virtual void SettingsLoaded() = 0;
    virtual void SetInSync(bool inSync) = 0;
    virtual void UpdateStatusLine() = 0;
    virtual void ClearClockEdited() = 0;
    virtual void SetBusyCursor(bool busy) = 0;
  };

  // saveBeforeLocking: the indicator is told to save ("TDD1") before its protected
  // settings are locked again ("PCD"), and when there was nothing to write, besides
  // the save that ends every write (the W840); otherwise that last save is the only
  // one (the W830).
  TSettingsTransfer(THost& host, TSettingsModel& working, TSettingsModel& instrument, bool saveBeforeLocking = false);
  ~TSettingsTransfer();

  // Settings files of the other indicator (a model of it, and the two names) are
  // told apart from this one's. Without it every file is taken as this indicator's.
  void RecogniseFilesOf(const TSettingsModel& otherModel, const QString& ownName, const QString& otherName);

  void ReadSettings1Click();
  void WriteSettings1Click();
  // Clears the sync flag when the working model holds a line the instrument model does not.
  void CheckSettingsSync();
  // A settings file's lines into the working model only, over what the pages hold;
  // their settings are then unsent changes. A file of the other indicator, or one
  // with no settings of this one, is refused with a message that says so, before
  // anything is asked. While connected the indicator is asked "WFP?" first, and
  // nothing is loaded when it does not answer. True when the file was loaded.
  bool OpenSettingsFile(const std::vector<std::string>& lines, const QString& path);
  // What a settings file holds: the pages stored, then the working model's set
  // commands. Nothing when a field of the pages could not be stored (and was told).
  std::optional<std::vector<std::string>> SettingsFileLines();

  enum class TBuildRead { kChangesRemain, kNothingToWrite, kFailed };
  // Reads the base settings and drops from the commands every line the indicator
  // already holds. A read that did not complete says so, apart from "nothing to write".
  TBuildRead ReadBuildSettings(std::vector<std::string>& commands);

 private:
  std::vector<std::string> UnsentChanges() const;
  bool Unlock();

  // Whether the file may be loaded; a refusal has been told.
  bool FileIsOurs(const std::vector<std::string>& lines, const QString& path) const;

  THost& host_;
  TSettingsModel& working_;
  TSettingsModel& instrument_;
  const bool saveBeforeLocking_;
  std::unique_ptr<TSettingsFileRecogniser> recogniser_;
  QString ownName_, otherName_;
};
