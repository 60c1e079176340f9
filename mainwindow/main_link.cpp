// The send path, the receive framing, reply dispatch and the request engine's
// clock: everything between the link and the window's consumers of replies.
#include <QLabel>
#include <algorithm>
#include <cctype>
#include <QTimer>

#include "link/dmViewer.h"
#include "link/logging.h"
#include "mainwindow/commandframe.h"
#include "mainwindow/logsession.h"
#include "mainwindow/main.h"
#include "mainwindow/statuspanel.h"
#include "mimic/voxMimicDisp.h"
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
  // Set before the display paints the reply, so that one repaint shows both.
  statusReply_->setText(QString::fromLatin1(reply.c_str()));
  switch (FPollMode) {
    case pmDisplay:
    case pmCalibration:
      parser_.ParseReply(reply, FPoller->StatusReplyDue(), false);
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
  FPoller->ReplyArrived();
  FLcdBlankTicks = FReplyTimeout;
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

// Once the window shuts down its timer stops, so no tick would ever end a new delay.
bool TFrmMain::DelayTicks(int n) { return !shutDown_ && engine_.DelayTicks(n); }

void TFrmMain::ResetLink() {
  engine_.Abort();
  framer_.Clear();
  FPoller->Reset();
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
  FPoller->Tick();
  if (timedOut) {
    CommsLog("TFrmMain.Timer1Timer: Instrument Not Responding");
    // A timer slot never blocks: the box opens once this tick is done.
    QTimer::singleShot(0, this, [] { Prompter().ShowMessage(QStringLiteral("Instrument Not Responding")); });
  }
  displayMimic_->Buttons().CheckAutoRelease(kAutoReleaseMs);
  if (FTickCount == 0) displayMimic_->PaintLCD();
}

void TFrmMain::InstallLink(std::unique_ptr<TIOIface> link) {
  if (FIOInterface) {
    FIOInterface->Unbind();
    engine_.Abort();
  }
  pollLinkActive_ = false;
  PushPollState();
  FIOInterface = std::move(link);
  FIOInterface->OnRxData = [this](const std::string& data) { FIOInterfaceRxData(data); };
  FIOInterface->OnConnect = [this](TIOIface* sender) { FIOInterfaceConnect(sender); };
  FIOInterface->OnDisconnect = [this](TIOIface* sender) { FIOInterfaceDisconnect(sender); };
}

void TFrmMain::SetPollMode(TPollMode mode) {
  FPollMode = mode;
  PushPollState();
}

void TFrmMain::SetLogMode(TLogMode mode) {
  FLogMode = mode;
  PushPollState();
}

void TFrmMain::SetCalBusy(bool busy) {
  FCalBusy = busy;
  PushPollState();
}

void TFrmMain::SetTransferBusy(bool busy) {
  FTransferBusy = busy;
  PushPollState();
}

void TFrmMain::PushPollState() {
  if (FPoller)
    FPoller->SetState({FPollMode, FLogMode, FCalBusy, engine_.Busy(), FTransferBusy, pollLinkActive_, FAddress,
                       FReplyTimeout});
}

void TFrmMain::LoadReplyTimeout() {
  if (datViewer) FReplyTimeout = std::max(datViewer->GetTimeout(), 1);
  PushPollState();
}

void TFrmMain::StartPollThread() {
  PushPollState();
  FPoller->Start();
}
