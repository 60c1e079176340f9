#pragma once
// The main window's side of a settings transfer: its link, poll mode, dialogs and
// pages, as TSettingsTransfer asks for them.
#include "mainwindow/main.h"
#include "mainwindow/settingstransfer.h"

class TFrmMain::TSettingsHost final : public TSettingsTransfer::THost {
 public:
  explicit TSettingsHost(TFrmMain& window) : w_(window) {}

  bool LinkActive() const override;
  void SetTransferBusy(bool busy) override;
  void WaitOneReplyTimeout() override;
  int PollMode() const override;
  void SetPollMode(int mode) override;
  void RestartPolling() override;
  bool RunTraffic(const std::string& caption, const std::vector<std::string>& commands,
                  const std::vector<std::string>& replySlots, std::vector<std::string>& replies) override;
  std::optional<int32_t> QueryInteger(const std::string& command, const std::string& prefix) override;
  bool QueryWfp() override;
  bool QuerySet(const std::string& command) override;
  std::optional<std::string> AskPasscode() override;
  bool ControlsToSettings() override;
  void SettingsToControls() override;
  bool SettingsPagesShown() const override;
  void SettingsLoaded() override;
  void SetInSync(bool inSync) override;
  void UpdateStatusLine() override;
  void ClearClockEdited() override;
  void SetBusyCursor(bool busy) override;

 private:
  TFrmMain& w_;
};
