#include <QPlainTextEdit>
#include <algorithm>
#include <cctype>
#include <QTabWidget>
#include <QToolButton>

#include "dialogs/IOIfaceConfigure.h"
#include "link/IOIface.h"
#include "link/dmViewer.h"
#include "link/logging.h"
#include "mainwindow/commandframe.h"
#include "mainwindow/main.h"
#include "mimic/voxMimicDisp.h"
#include "ui_main.h"

namespace {
constexpr std::size_t kDisplayMinLength = 12;
constexpr std::size_t kDisplayMaxLength = 100;
constexpr int kConnectSettleTicks = 100;

bool IsHexText(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}
}  // namespace

void TFrmMain::SendCommand(const std::string& text, bool stxEtx) {
  if (text.empty() || !FIOInterface->GetActive()) return;
  SetStatusPanel(0, QString::fromLatin1(text.data(), static_cast<int>(text.size())));
  const TCommandFrame frame = FrameCommand(text, stxEtx);
  FIOInterface->Send(frame.wire);
  CommsLogData("", false, frame.wire);
  AddTestLine(frame.echo);
}

void TFrmMain::SendPoll(const std::string& command) {
  if (engine_.Waiting() || FTransferBusy || FCalBusy) {
    FPollThread->EndThreadWait();  // the link is taken: the poll thread pauses at once
    return;
  }
  SendCommand(command, false);
}

void TFrmMain::FIOInterfaceRxData(const std::string& data) {
  if (FClosing) return;
  framer_.Feed(data);
}

void TFrmMain::DispatchReply(const std::string& reply) {
  switch (FPollMode) {
    case pmDisplay:
    case pmCalibration: {
      Parser.ParseReply(reply, false, false);
      if (engine_.Waiting()) break;
      std::string segments;
      // Stray bytes before a reply would otherwise light segments the indicator never showed.
      if (!Parser.GetString(0, segments, kDisplayMinLength, kDisplayMaxLength) || !IsHexText(segments))
        segments.clear();
      TVoxMimicDisp& mimic = FPollMode == pmCalibration ? *calMimic_ : *displayMimic_;
      if (!segments.empty()) mimic.LCD().SetSegmentsHex(segments);
      mimic.PaintLCD();
      break;
    }
    default:
      break;
  }
  FPollThread->EndThreadWait();
  FLcdBlankTicks = FReplyTimeout;
  SetStatusPanel(1, QString::fromLatin1(reply.data(), static_cast<int>(reply.size())));
  AddTestLine(reply);
  engine_.Reply(reply);
}

void TFrmMain::AddTestLine(const std::string& line) {
  if (ui_->PgCMain->currentWidget() != ui_->TSTest) return;
  QPlainTextEdit& memo = *ui_->MemoRx;
  if (memo.blockCount() > 500) {
    QTextCursor cursor(memo.document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 10);
    cursor.removeSelectedText();
  }
  memo.appendPlainText(QString::fromLatin1(line.data(), static_cast<int>(line.size())));
}

void TFrmMain::ConnectInstrument() {
  if (datViewer) FReplyTimeout = datViewer->GetTimeout();
  if (FIOInterface->GetActive()) {
    FIOInterface->Close();
    UpdateStatusLine();
    return;
  }
  if (!datViewer) return;
  std::unique_ptr<TIOIface> link = ConfigureIOInterface(*datViewer, FAddress);
  FReplyTimeout = datViewer->GetTimeout();
  if (link) InstallLink(std::move(link));
}

void TFrmMain::InstallLink(std::unique_ptr<TIOIface> link) {
  FPollThread->SetAddress(FAddress);
  FPollThread->SetReplyTimeout(FReplyTimeout);
  FIOInterface->UnbindEvents();
  if (FIOInterface->GetActive()) FIOInterface->Close();
  FIOInterface = std::move(link);
  FIOInterface->OnRxData = [this](const std::string& data) { FIOInterfaceRxData(data); };
  FIOInterface->OnConnect = [this](TIOIface* sender) { FIOInterfaceConnect(sender); };
  FIOInterface->OnDisconnect = [this](TIOIface* sender) { FIOInterfaceDisconnect(sender); };
  if (connected_) SetConnected(false);
  ResetLink();
  FIOInterface->Open();
  UpdateStatusLine();
}

void TFrmMain::FIOInterfaceConnect(TIOIface* sender) {
  CommsLog("TFrmMain.FIOInterfaceConnect: Connected to indicator");
  if (sender != FIOInterface.get()) return;
  SetConnected(true);
}

void TFrmMain::FIOInterfaceDisconnect(TIOIface* sender) {
  CommsLog("TFrmMain.FIOInterfaceDisconnect: Disconnected from indicator");
  if (sender != FIOInterface.get()) return;
  engine_.Abort();
  SetConnected(false);
}

void TFrmMain::SetConnected(bool on) {
  if (on) {
    const TIOIface* link = FIOInterface.get();
    DelayTicks(kConnectSettleTicks);
    // The link may have dropped or been replaced while the window waited.
    if (FClosing || link != FIOInterface.get() || !FIOInterface->GetActive()) return;
  }
  connected_ = on;
  ui_->PgCMain->setTabVisible(ui_->PgCMain->indexOf(ui_->TSTest), on);
  ui_->PgCMain->setTabVisible(ui_->PgCMain->indexOf(ui_->TSCal), false);
  ui_->PgCMain->setTabVisible(ui_->PgCMain->indexOf(ui_->TSSettings), false);
  ui_->ReadSettings1->setEnabled(on);
  ui_->WriteSettings1->setEnabled(on);
  if (on) {
    ToolButton4->setText(QStringLiteral("&Disconnect"));
    ToolButton4->setToolTip(QStringLiteral("Disconnect from instrument"));
    if (ui_->PgCMain->currentWidget() == ui_->TSDisplay) {
      SetPollMode(pmDisplay);
      StartDisplay();
      StartPollThread();
    }
  } else {
    ToolButton4->setText(QStringLiteral("&Connect"));
    ToolButton4->setToolTip(QStringLiteral("Connect to instrument"));
    FLcdBlankTicks = 0;
    SetPollMode(pmNone);
    BlankDisplay(true);
  }
  ui_->Connect2->setText(ToolButton4->text());
  if (!on) SetLogMode(lmOff);
  WorkingModel.SerialNumber.clear();
  UpdateStatusLine();
}
