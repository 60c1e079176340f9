#include "mainwindow/main_loghost.h"

#include <QApplication>

#include "dialogs/logdialog.h"
#include "mainwindow/commandframe.h"
#include "platform/prompter.h"
#include "ui_main.h"

bool TFrmMain::TLogHost::LinkActive() const { return w_.LinkActive(); }

std::string TFrmMain::TLogHost::AddressPrefix() const { return ::AddressPrefix(w_.FAddress); }

bool TFrmMain::TLogHost::AskLogSetup() { return FrmLogDialog && Prompter().ExecDialog(*FrmLogDialog) == mrOk; }

TLogChoice TFrmMain::TLogHost::LogChoice() const {
  TLogChoice choice;
  if (!FrmLogDialog) return choice;
  choice.sampleIntervalMs = FrmLogDialog->GetSampleInterval();
  choice.mode = static_cast<TLogMode>(FrmLogDialog->GetLogMode());
  for (int i = 0; i < TLogTraces::kChannels; ++i)
    choice.sources[static_cast<std::size_t>(i)] = FrmLogDialog->GetDigitalSource(i);
  return choice;
}

TChartInputs TFrmMain::TLogHost::ChartInputs() const { return w_.variant_.ChartInputs(*w_.workingData_); }

bool TFrmMain::TLogHost::QueryAck(const std::string& command) { return w_.Query(command, false, AckReply); }

bool TFrmMain::TLogHost::QuerySet(const std::string& command) { return w_.Query(command, false, SetReply); }

void TFrmMain::TLogHost::Send(const std::string& command) { w_.SendCommand(command, false); }

// The indicator answers "STP;" after the lines it streamed before it, so its answer
// closes the stream. Inside another request's wait the answer would be that
// request's: a reply time-out then lets the lines in flight arrive.
void TFrmMain::TLogHost::StopStream() {
  if (w_.engine_.Busy()) {
    w_.SendCommand("STP;", false);
    w_.DelayTicks(w_.FReplyTimeout);
    return;
  }
  w_.Query("STP;", false, AckReply);
}

void TFrmMain::TLogHost::ShowMessage(const QString& text) { Prompter().ShowMessage(text); }

void TFrmMain::TLogHost::Warn(const QString& text) { Prompter().MessageDlg(text, TMsgDlgType::mtWarning, mbOK); }

void TFrmMain::TLogHost::SetBusyCursor(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

// Polled logging polls whenever the Log page is shown, also when the log starts
// there after the link came up on it.
void TFrmMain::TLogHost::LogModeChanged() {
  w_.SetLogMode(w_.logSession_->LogMode());
  w_.UpdateLogButtons();
  if (w_.LogMode() != lmOff && w_.ui_->PgCMain->currentWidget() == w_.ui_->TSLog) {
    w_.SetPollMode(pmLog);
    w_.StartPollThread();
  }
}
