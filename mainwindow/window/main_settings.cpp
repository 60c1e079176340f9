// The main window's settings pages and its settings read and write: the form's side
// of TSettingsTransfer, which decides what is sent.
#include <QApplication>
#include <QTabBar>
#include <QTabWidget>
#include <QLayout>

#include "mainwindow/logging/logsession.h"
#include "mainwindow/settings/settingspagescore.h"
#include "mainwindow/settings/settingstransfer.h"
#include "mainwindow/window/main.h"
#include "mainwindow/window/reusabledialogs.h"
#include "mainwindow/window/viewervariant.h"
#include "mimic/voxMimicDisp.h"
#include "platform/prompter.h"
#include "protocol/settingsmodel.h"
#include "ui_main.h"

// The main window's side of a settings transfer: its link, poll mode, dialogs and
// pages, as TSettingsTransfer asks for them.
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

bool TFrmMain::TSettingsHost::LinkActive() const { return w_.LinkActive(); }

void TFrmMain::TSettingsHost::SetTransferBusy(bool busy) { w_.SetTransferBusy(busy); }

void TFrmMain::TSettingsHost::WaitOneReplyTimeout() { w_.WaitLinkClear(); }

int TFrmMain::TSettingsHost::PollMode() const { return w_.FPollMode; }

void TFrmMain::TSettingsHost::SetPollMode(int mode) { w_.SetPollMode(static_cast<TPollMode>(mode)); }

void TFrmMain::TSettingsHost::RestartPolling() {
  if (w_.FPollMode == pmDisplay || w_.FPollMode == pmCalibration) w_.StartPollThread();
}

bool TFrmMain::TSettingsHost::RunTraffic(const std::string& caption, const std::vector<std::string>& commands,
                                         const std::vector<std::string>& replySlots,
                                         std::vector<std::string>& replies) {
  if (!FrmTraffic) return false;
  TFrmTraffic& dialog = *FrmTraffic;
  dialog.setWindowTitle(QString::fromLatin1(caption.c_str()));
  // The dialog keeps its own time for each reply; before a resend it gives up on
  // the last send's reply, which is then dropped should it still come. A reply
  // that echoes another index than the one asked is no answer to the query: it is
  // never loaded, and the query is asked again until the dialog gives up.
  std::uint64_t entry = 0;
  const TSettingsModel& model = *w_.workingData_;
  dialog.SendCommand = [this, &entry, &model](const std::string& command) {
    const std::string query = TReplyLedger::CommandBody(command);
    entry = w_.SendCommand(command, false, TReplyOwner::kTraffic, 0,
                           [&model, query](const std::string& reply) { return model.ReplyFits(query, reply); });
  };
  dialog.GiveUpReply = [this, &entry] {
    if (entry != 0) w_.ledger_.GiveUp(entry);
  };
  dialog.LinkClear = [this] { return w_.ledger_.Clear(); };
  dialog.SetCommands(commands, replySlots);
  w_.BlankDisplay(false);
  w_.displayMimic_->PaintLCD();
  dialog.SetAnimateActive(true);
  // Replies reach the dialog only while it runs; a lost link ends it as Cancel.
  struct TRoute {
    TFrmMain& w;
    std::uint64_t& entry;
    ~TRoute() {
      w.FTraffic = nullptr;
      if (entry != 0) w.ledger_.GiveUp(entry);
    }
  } route{w_, entry};
  w_.FTraffic = &dialog;
  const int result = Prompter().ExecDialog(dialog);
  dialog.SetAnimateActive(false);
  replies = dialog.Replies();
  if (result == mrCancel && dialog.GaveUp()) {
    Prompter().ShowMessage(QStringLiteral("Instrument Not Responding"));
    w_.engine_.MarkUnanswered();
  }
  return result != mrCancel;
}

std::optional<int32_t> TFrmMain::TSettingsHost::QueryInteger(const std::string& command,
                                                             const std::string& prefix) {
  if (!w_.Query(command, false, IntegerReply, prefix)) return std::nullopt;
  return w_.FReplyValue();
}

bool TFrmMain::TSettingsHost::QueryWfp() { return w_.Query("WFP?", false, w_.variant_.WfpReply(), "WFP"); }

bool TFrmMain::TSettingsHost::QuerySet(const std::string& command) {
  return w_.Query(command, false, SetReply);
}

std::optional<std::string> TFrmMain::TSettingsHost::AskPasscode() {
  if (!FrmPasscode) return std::nullopt;
  FrmPasscode->Clear();
  if (Prompter().ExecDialog(*FrmPasscode) != mrOk) return std::nullopt;
  return FrmPasscode->Passcode().toStdString();
}

bool TFrmMain::TSettingsHost::ControlsToSettings() { return w_.settingsPages_->StorePages(); }

void TFrmMain::TSettingsHost::SettingsToControls() { w_.settingsPages_->ShowPages(); }

bool TFrmMain::TSettingsHost::SettingsPagesShown() const {
  return w_.ui_->PgCMain->isTabVisible(w_.ui_->PgCMain->indexOf(w_.ui_->TSCal));
}

void TFrmMain::TSettingsHost::SettingsLoaded() {
  w_.logSession_->FollowSettings();
  w_.ui_->PgCMain->setTabVisible(w_.ui_->PgCMain->indexOf(w_.ui_->TSCal), true);
  w_.ui_->PgCMain->setTabVisible(w_.ui_->PgCMain->indexOf(w_.ui_->TSSettings), true);
}

void TFrmMain::TSettingsHost::SetInSync(bool inSync) { w_.SetInSync(inSync); }

void TFrmMain::TSettingsHost::UpdateStatusLine() { w_.UpdateStatusLine(); }

void TFrmMain::TSettingsHost::ClearClockEdited() { w_.settingsPages_->WriteEnded(); }

void TFrmMain::TSettingsHost::SetBusyCursor(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void TFrmMain::CreateSettingsPages() {
  settingsPages_ = variant_.MakePages(ui_->TSSettings);
  ui_->TSSettings->layout()->addWidget(settingsPages_);
  settingsPages_->SetModel(workingData_.get());
  settingsPages_->OnUpdateStatusLine = [this] { UpdateStatusLine(); };
  settingsHost_ = std::make_unique<TSettingsHost>(*this);
  settingsTransfer_ = std::make_unique<TSettingsTransfer>(*settingsHost_, *workingData_, *instrumentData_,
                                                          variant_.SavesBeforeLocking());
  const bool isW830 = variant_.Model() == TViewerModel::W830;
  settingsTransfer_->RecogniseFilesOf(*(isW830 ? w840::Variant() : w830::Variant()).MakeModel(),
                                      isW830 ? QStringLiteral("W830") : QStringLiteral("W840"),
                                      isW830 ? QStringLiteral("W840") : QStringLiteral("W830"));
}

void TFrmMain::ReadSettings1Click() {
  const TLogSession::TStreamHold hold(*logSession_);
  settingsTransfer_->ReadSettings1Click();
}

void TFrmMain::WriteSettings1Click() {
  const TLogSession::TStreamHold hold(*logSession_);
  settingsTransfer_->WriteSettings1Click();
}

void TFrmMain::CheckSettingsSync() { settingsTransfer_->CheckSettingsSync(); }

void TFrmMain::SettingsPageLeft() {
  if (settingsPages_->ControlsLoaded()) settingsPages_->StorePages();
  CheckSettingsSync();
}

void TFrmMain::SettingsPageShown() { settingsPages_->ShowFirstPage(); }

void TFrmMain::RouteTrafficReply(const std::string& reply) {
  if (FTraffic) FTraffic->ReplyReceived(reply);
}

void TFrmMain::EndTraffic() {
  if (FTraffic) static_cast<QDialog*>(FTraffic)->reject();
}
