#include <QLabel>
#include <QStatusBar>
#include <QToolButton>

#include "link/IOIface.h"
#include "mainwindow/commandframe.h"
#include "mainwindow/main.h"
#include "mimic/voxMimicDisp.h"
#include "platform/prompter.h"
#include "ui_main.h"

namespace {
constexpr int kLongPressMs = 2000;
}  // namespace

void TFrmMain::SetPollMode(TPollMode mode) {
  FPollMode = mode;
  FPollThread->SetPollMode(mode);
}

void TFrmMain::SetCalBusy(bool on) {
  FCalBusy = on;
  FPollThread->SetCalBusy(on);
}

void TFrmMain::SetTransferBusy(bool on) {
  FTransferBusy = on;
  FPollThread->SetTransferBusy(on);
}

void TFrmMain::SetLogMode(TLogMode mode) {
  FLogMode = mode;
  FPollThread->SetLogMode(mode);
}

void TFrmMain::StartDisplay() {
  setCursor(Qt::WaitCursor);
  SendCommand("S98;STP;", false);
  Query(AddressPrefix(FAddress) + "ENU?;", false, IntegerReply(), "ENU");
  unsetCursor();
}

void TFrmMain::StartPollThread() {
  if (!FIOInterface->GetActive()) return;
  FPollThread->SetAddress(FAddress);
  FPollThread->SetReplyTimeout(FReplyTimeout);
  FPollThread->Start();
}

void TFrmMain::BlankDisplay(bool allOn) {
  const int count = displayMimic_->LCD().SegmentCount() / 4;
  displayMimic_->LCD().SetSegmentsHex(std::string(static_cast<std::size_t>(count > 0 ? count : 0), allOn ? 'F' : '0'));
}

void TFrmMain::LCDButtonPress(int key, int holdMs) {
  if (!FIOInterface->GetActive()) {
    Prompter().MessageDlg(QStringLiteral("Instrument must be connected"), TMsgDlgType::mtInformation, mbOK);
    return;
  }
  std::string command = "FPL" + std::to_string(key + 1);
  if (holdMs >= kLongPressMs) command += ",1";
  SendCommand(command, false);
}

void TFrmMain::PgCMainChange() {
  QWidget* page = ui_->PgCMain->currentWidget();
  if (page == ui_->TSDisplay) {
    SetPollMode(pmDisplay);
    StartDisplay();
    StartPollThread();
  } else if (page == ui_->TSCal) {
    SetPollMode(pmCalibration);
    StartPollThread();
  } else if (page == ui_->TSTest) {
    ui_->EdtSendStr->setFocus();
    SetPollMode(pmTest);
  } else if (page == ui_->TSLog) {
    SetPollMode(pmLog);
  } else if (page != ui_->TSSettings) {
    SetPollMode(pmNone);
  }
}

void TFrmMain::UpdateStatusLine() {
  const QString port = FIOInterface->GetActive() ? QStringLiteral("Port: %1").arg(FIOInterface->GetDescription())
                                                 : QString();
  QString text = port;
  if (!WorkingModel.SerialNumber.empty()) {
    text = QStringLiteral("Unit %1, SN: %2, Version %3, ID: %4, ")
               .arg(WorkingModel.Address)
               .arg(QString::fromLatin1(WorkingModel.SerialNumber.c_str()),
                    QString::fromLatin1(WorkingModel.SoftwareVersion.c_str()),
                    QString::fromLatin1(WorkingModel.InstrumentID.c_str())) +
           port;
  }
  SetStatusPanel(2, text);
}

void TFrmMain::SetStatusPanel(int panel, const QString& text) {
  statusPanels_[panel]->setText(text);
  if (panel == 2) StatusBarDrawPanel();
}

QString TFrmMain::StatusPanelText(int panel) const { return statusPanels_[panel]->text(); }

void TFrmMain::StatusBarDrawPanel() {
  QLabel& label = *statusPanels_[2];
  QPalette palette = label.palette();
  const bool unsent = !label.text().isEmpty() && !FInSync;
  palette.setColor(QPalette::Window, unsent ? QColor(Qt::red) : ui_->StatusBar->palette().color(QPalette::Button));
  palette.setColor(QPalette::WindowText, unsent ? QColor(Qt::yellow) : QColor(Qt::black));
  label.setPalette(palette);
}
