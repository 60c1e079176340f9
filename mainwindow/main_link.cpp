// The send path, the receive framing, reply dispatch and the request engine's
// clock: everything between the link and the window's consumers of replies.
#include <QLabel>
#include <algorithm>
#include <cctype>
#include <QTimer>

#include "link/logging.h"
#include "mainwindow/commandframe.h"
#include "mainwindow/logsession.h"
#include "mainwindow/main.h"
#include "mainwindow/statuspanel.h"
#include "mimic/voxMimicDisp.h"
#include "platform/guard.h"
#include "platform/prompter.h"
#include "ui_main.h"

namespace {
constexpr int kAutoReleaseMs = 2000;
constexpr int kTicksPerSecond = 100;
}  // namespace

bool TFrmMain::LinkActive() const { return !FClosing && FIOInterface && FIOInterface->GetActive(); }

void TFrmMain::SendCommand(const std::string& text, bool stxEtx) {
  if (!LinkActive() || text.empty()) return;
  statusCommand_->setText(QString::fromLatin1(text.c_str()));
  const TCommandFrame frame = FrameCommand(text, stxEtx);
  FIOInterface->Send(frame.wire);
  CommsLogData("", false, frame.wire);
  AddTestLine(frame.echo);
}

void TFrmMain::FIOInterfaceRxData(const std::string& data) {
  if (FClosing) return;
  framer_.Feed(data);
}

void TFrmMain::ShowDisplayReply(TVoxMimicDisp& mimic) {
  std::string segments;
  parser_.GetString(0, segments, 12, 100);
  // Stray bytes ahead of a reply make it no display image: keep the last one.
  const bool image = std::all_of(segments.begin(), segments.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
  if (image) mimic.LCD().SetSegmentsHex(segments);
  mimic.PaintLCD();
}

void TFrmMain::DispatchReply(const std::string& reply) {
  switch (FPollMode) {
    case pmDisplay:
    case pmCalibration:
      parser_.ParseReply(reply, false, false);
      // A request's reply is not a display image.
      if (!engine_.Waiting()) ShowDisplayReply(FPollMode == pmCalibration ? *calMimic_ : *displayMimic_);
      break;
    case pmReadSettings:
    case pmWriteSettings:
      RouteTrafficReply(reply);
      break;
    case pmLog:
      logSession_->LogSample(reply);
      break;
    default:
      break;
  }
  FPollThread->EndThreadWait();
  FLcdBlankTicks = FReplyTimeout;
  statusReply_->setText(QString::fromLatin1(reply.c_str()));
  AddTestLine(reply);
  engine_.Dispatch(reply);
}

bool TFrmMain::Request(const std::string& command, bool stxEtx, int timeoutTicks, const TReplyHandler& handler,
                       const std::string& prefix) {
  return engine_.Request(command, stxEtx, timeoutTicks, handler, prefix);
}

bool TFrmMain::Query(const std::string& command, bool stxEtx, const TReplyHandler& handler,
                     const std::string& prefix) {
  return Request(command, stxEtx, FReplyTimeout, handler, prefix);
}

bool TFrmMain::DelayTicks(int n) { return engine_.DelayTicks(n); }

void TFrmMain::ResetLink() {
  engine_.Abort();
  framer_.Clear();
  FLcdBlankTicks = FReplyTimeout;
  SetTransferBusy(false);
  engine_.drainLimitTicks = FReplyTimeout + 10;
}

void TFrmMain::Timer1Timer() {
  const bool timedOut = engine_.Tick();
  if (++FTickCount >= kTicksPerSecond) FTickCount = 0;
  if (FLcdBlankTicks > 0 && --FLcdBlankTicks == 0) {
    BlankDisplay(false);
    displayMimic_->PaintLCD();
  }
  if (timedOut) {
    CommsLog("TFrmMain.Timer1Timer: Instrument Not Responding");
    // A timer slot never blocks: the box opens once this tick is done.
    QTimer::singleShot(0, this, [] { Prompter().ShowMessage(QStringLiteral("Instrument Not Responding")); });
  }
  displayMimic_->Buttons().CheckAutoRelease(kAutoReleaseMs);
  if (FTickCount == 0) displayMimic_->PaintLCD();
}

void TFrmMain::PollSend(const std::string& command) {
  // The poll thread asked before a request, a transfer, a calibration step or
  // another page took the link: that poll must not go out now.
  const bool wanted = command == "FPL?;" ? FPollMode == pmDisplay || FPollMode == pmCalibration
                                         : FPollMode == pmLog && FLogMode == lmPolled;
  if (!wanted || engine_.Busy() || FTransferBusy || FCalBusy || !LinkActive()) {
    FPollThread->CancelOutstanding();
    return;
  }
  SendCommand(command, false);
}

void TFrmMain::SendQueuedPolls() {
  std::deque<std::string> polls;
  {
    const std::lock_guard lock(queuedPollsMutex_);
    polls.swap(queuedPolls_);
  }
  for (const std::string& command : polls) Guarded([&] { PollSend(command); });
}

void TFrmMain::InstallLink(std::unique_ptr<TIOIface> link) {
  if (FIOInterface) {
    FIOInterface->Unbind();
    engine_.Abort();
  }
  FPollThread->SetLinkActive(false);
  FIOInterface = std::move(link);
  FIOInterface->OnRxData = [this](const std::string& data) { FIOInterfaceRxData(data); };
  FIOInterface->OnConnect = [this](TIOIface* sender) { FIOInterfaceConnect(sender); };
  FIOInterface->OnDisconnect = [this](TIOIface* sender) { FIOInterfaceDisconnect(sender); };
}

void TFrmMain::SetPollMode(TPollMode mode) {
  FPollMode = mode;
  FPollThread->SetPollMode(mode);
}

void TFrmMain::SetLogMode(TLogMode mode) {
  FLogMode = mode;
  FPollThread->SetLogMode(mode);
}

void TFrmMain::SetCalBusy(bool busy) {
  FCalBusy = busy;
  FPollThread->SetCalBusy(busy);
}

void TFrmMain::SetTransferBusy(bool busy) {
  FTransferBusy = busy;
  FPollThread->SetTransferBusy(busy);
}

void TFrmMain::StartPollThread() {
  FPollThread->SetAddress(FAddress);
  FPollThread->SetReplyTimeoutTicks(FReplyTimeout);
  FPollThread->SetLinkActive(LinkActive());
  FPollThread->StartPollThread();
}
