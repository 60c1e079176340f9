// Connecting and disconnecting, what the window shows in each state, the pages'
// poll modes, the front-panel keys and the status line.
#include <QGuiApplication>

#include "dialogs/comdialog.h"
#include "link/dmViewer.h"
#include "link/logging.h"
#include "mainwindow/logging/logsession.h"
#include "mainwindow/window/main.h"
#include "mainwindow/window/statuspanel.h"
#include "mainwindow/window/statustextpanel.h"
#include "mainwindow/wire/commandframe.h"
#include "mimic/voxMimicDisp.h"
#include "platform/prompter.h"
#include "ui_main.h"

namespace {
constexpr int kConnectSettleTicks = 100;
constexpr int kLongPressMs = 2000;
}  // namespace

void TFrmMain::Connect2Click() { ConnectInstrument(); }

void TFrmMain::ConnectInstrument(const TTcpChoice* choice) {
  if (!datViewer) return;
  LoadReplyTimeout();
  if (LinkActive()) {
    FIOInterface->Close();
    UpdateStatusLine();
    return;
  }
  std::unique_ptr<TIOIface> link = ConfigureIOInterface(*datViewer, FAddress, variant_.Model(), choice);
  LoadReplyTimeout();
  if (!link) return;
  InstallLink(std::move(link));
  ResetLink();
  FIOInterface->Open();
  UpdateStatusLine();
}

void TFrmMain::FIOInterfaceConnect(TIOIface*) {
  CommsLog("TFrmMain.FIOInterfaceConnect: Connected to indicator");
  SetConnected(true);
}

void TFrmMain::FIOInterfaceDisconnect(TIOIface*) {
  CommsLog("TFrmMain.FIOInterfaceDisconnect: Disconnected from indicator");
  engine_.Abort();
  EndTraffic();
  SetConnected(false);
}

void TFrmMain::SetConnected(bool on) {
  if (on) {
    // The indicator gets a second to settle; the link may drop or be swapped
    // meanwhile, and then this connection is not the one to show.
    TIOIface* link = FIOInterface.get();
    if (!DelayTicks(kConnectSettleTicks) || FIOInterface.get() != link || !LinkActive()) return;
  }
  connected_ = on;
  ui_->PgCMain->setTabVisible(ui_->PgCMain->indexOf(ui_->TSTest), on);
  ui_->PgCMain->setTabVisible(ui_->PgCMain->indexOf(ui_->TSCal), false);
  ui_->PgCMain->setTabVisible(ui_->PgCMain->indexOf(ui_->TSSettings), false);
  ui_->ReadSettings1->setEnabled(on);
  ui_->WriteSettings1->setEnabled(on);
  ui_->ToolButton6->setEnabled(on);
  ui_->ToolButton7->setEnabled(on);
  pollLinkActive_ = on;
  PushPollState();
  if (on) {
    ui_->ToolButton4->setText(QStringLiteral("&Disconnect"));
    ui_->ToolButton4->setToolTip(QStringLiteral("Disconnect from instrument"));
    if (ui_->PgCMain->currentWidget() == ui_->TSDisplay) SetPollMode(pmDisplay);
    StartDisplay();
    StartPollThread();
  } else {
    ui_->ToolButton4->setText(QStringLiteral("&Connect"));
    ui_->ToolButton4->setToolTip(QStringLiteral("Connect to instrument"));
    lcdBlankAt_.reset();
    if (!variant_.KeepsPollModeOffline()) SetPollMode(pmNone);
    BlankDisplay(true);
  }
  ui_->Connect2->setText(ui_->ToolButton4->text());
  if (!on) logSession_->LinkLost();
  UpdateLogButtons();
  workingData_->SerialNumber.clear();
  UpdateStatusLine();
}

void TFrmMain::StartDisplay() {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  SendCommand("S98;STP;", false);
  Query(AddressPrefix(FAddress) + "ENU?;", false, IntegerReply, "ENU");
  QGuiApplication::restoreOverrideCursor();
}

void TFrmMain::BlankDisplay(bool allOn) {
  displayMimic_->LCD().SetSegmentsHex(variant_.DisplayFill(allOn, displayMimic_->LCD().SegmentCount()));
}

void TFrmMain::LCDButtonPress(int key, int holdMs) {
  if (!LinkActive()) {
    Prompter().MessageDlg(QStringLiteral("Instrument must be connected"), TMsgDlgType::mtInformation, mbOK);
    return;
  }
  const std::string command = variant_.KeyCommand(key, holdMs >= kLongPressMs);
  if (command.empty()) return;
  // The W840 answers a key press; the W830 does not.
  const bool answered = variant_.Model() == TViewerModel::W840;
  SendCommand(command, false, answered ? TReplyOwner::kKey : TReplyOwner::kNone);
  FPoller->KeySent();
}

void TFrmMain::PgCMainChange() {
  QWidget* page = ui_->PgCMain->currentWidget();
  ui_->Print1->setText(page == ui_->TSLog ? QStringLiteral("&Print Log") : QStringLiteral("&Print Settings"));
  if (page != ui_->TSSettings) SettingsPageLeft();
  // A streamed log stands still while its replies go elsewhere (the display pages
  // stop the stream and poll over it), and streams again on the way back.
  const bool logGetsReplies = page == ui_->TSLog || (page == ui_->TSSettings && FPollMode == pmLog);
  if (!logGetsReplies && !logHeldByPage_) {
    logHeldByPage_ = true;
    logSession_->HoldStream();
    // Another page chosen while the stream drained has had its own change.
    if (ui_->PgCMain->currentWidget() != page) return;
  }
  if (page == ui_->TSDisplay) {
    SetPollMode(pmDisplay);
    StartDisplay();
    StartPollThread();
  } else if (page == ui_->TSCal) {
    SetPollMode(pmCalibration);
    if (!statusLine_->Text().isEmpty() && !FInSync &&
        Prompter().MessageDlg(QStringLiteral("Current Settings not sent to instrument.  Send now?"),
                              TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes)
      ui_->WriteSettings1->trigger();
    StartPollThread();
  } else if (page == ui_->TSTest) {
    ui_->EdtSendStr->setFocus();
    SetPollMode(pmTest);
  } else if (page == ui_->TSLog) {
    logSession_->FollowSettings();
    SetPollMode(pmLog);
    StartPollThread();
    if (logHeldByPage_) {
      logHeldByPage_ = false;
      logSession_->ReleaseStream();
    }
    ui_->Chart->setFocus();
  } else if (page == ui_->TSSettings) {
    SettingsPageShown();
  } else {
    SetPollMode(pmNone);
  }
}

void TFrmMain::UpdateStatusLine() {
  const QString port =
      LinkActive() ? QStringLiteral("Port: %1").arg(FIOInterface->GetDescription()) : QString();
  QString text = port;
  const TSettingsModel& m = *workingData_;
  if (!m.SerialNumber.empty())
    text = QStringLiteral("Unit %1, SN: %2, Version %3, ID: %4, ")
               .arg(m.Address)
               .arg(QString::fromLatin1(m.SerialNumber.c_str()), QString::fromLatin1(m.SoftwareVersion.c_str()),
                    QString::fromLatin1(m.InstrumentID.c_str())) +
           port;
  statusLine_->SetText(text);
}

void TFrmMain::SetInSync(bool inSync) {
  FInSync = inSync;
  statusLine_->SetInSync(inSync);
}

QString TFrmMain::StatusPanelText(int panel) const {
  switch (panel) {
    case 0:
      return statusCommand_->Text();
    case 1:
      return statusReply_->Text();
    default:
      return statusLine_->Text();
  }
}
