// The send path, the receive framing, reply dispatch and the request engine's
// clock: everything between the link and the window's consumers of replies.
#include <algorithm>
#include <cctype>

#include "link/dmViewer.h"
#include "link/logging.h"
#include "mainwindow/logging/logsession.h"
#include "mainwindow/window/main.h"
#include "mainwindow/window/statuspanel.h"
#include "mainwindow/window/statustextpanel.h"
#include "mainwindow/wire/commandframe.h"
#include "mimic/voxMimicDisp.h"
#include "ui_main.h"

namespace {
constexpr int kAutoReleaseMs = 2000;
constexpr std::chrono::milliseconds kTick{10};
constexpr std::chrono::seconds kLcdRepaintPeriod{1};
}  // namespace

bool TFrmMain::LinkActive() const { return !FClosing && FIOInterface && FIOInterface->GetActive(); }

namespace {

bool IsAck(const std::string& reply) { return reply == "0"; }

}  // namespace

std::uint64_t TFrmMain::SendCommand(const std::string& text, bool stxEtx, TReplyOwner owner, int timeoutTicks,
                                    TReplyShape fits) {
  if (!LinkActive() || text.empty()) return 0;
  statusCommand_->SetText(QString::fromLatin1(text.c_str()));
  const TCommandFrame frame = FrameCommand(text, stxEtx);
  const std::string body = TReplyLedger::CommandBody(text);
  // A stop's answer comes after every sample sent before it: the stream has
  // drained once it is in, and no sample can pass for it.
  if (body == "STP") {
    ledger_.SetStreaming(false);
    if (!fits) fits = IsAck;
  }
  std::uint64_t entry = 0;
  if (owner != TReplyOwner::kNone && TReplyLedger::ReplyExpected(text))
    entry = ledger_.Owe(owner, text, timeoutTicks < 0 ? FReplyTimeout : timeoutTicks, std::move(fits));
  FIOInterface->Send(frame.wire);
  if (body == "MSV?,0") ledger_.SetStreaming(true);
  CommsLogData("", false, frame.wire);
  AddTestLine(frame.echo);
  ScheduleTicks();
  return entry;
}

bool TFrmMain::WaitLinkClear() {
  while (!ledger_.Clear()) {
    if (!LinkActive() || !DelayTicks(1)) return false;
  }
  return LinkActive();
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

void TFrmMain::PollReply(const std::string& command, const std::string& reply) {
  FPoller->ReplyArrived();
  switch (FPollMode) {
    case pmDisplay:
    case pmCalibration:
      parser_.ParseReply(reply, TReplyLedger::CommandBody(command) == "ESR?", false);
      ShowDisplayReply(FPollMode == pmCalibration ? *calMimic_ : *displayMimic_);
      break;
    case pmLog:
      logSession_->LogSample(reply);
      break;
    default:
      break;
  }
}

// A display image that comes after its poll's time-out still shows the indicator
// as it was a moment ago. Dropped, it would leave the front panel frozen behind
// one lost reply for as long as polls go out back to back, each poll taking the
// image that answers the one after it.
void TFrmMain::LatePollReply(const std::string& command, const std::string& reply) {
  if (command != "FPL?;" || (FPollMode != pmDisplay && FPollMode != pmCalibration)) return;
  parser_.ParseReply(reply, false, false);
  ShowDisplayReply(FPollMode == pmCalibration ? *calMimic_ : *displayMimic_);
}

void TFrmMain::UnownedReply(const std::string& reply) {
  if (ledger_.Streaming() && FPollMode == pmLog) logSession_->LogSample(reply);
}

void TFrmMain::DispatchReply(const std::string& reply) {
  RouteReply(reply);
  // The reply may end what the ticks counted for, or give a poll its turn.
  ScheduleTicks();
}

// Each reply goes to the command the link's account says it answers; a reply
// whose owner has given up on it is dropped, but for a display image.
void TFrmMain::RouteReply(const std::string& reply) {
  ArmLcdBlank();
  // Set before the display paints the reply, so that one repaint shows both.
  statusReply_->SetText(QString::fromLatin1(reply.c_str()));
  AddTestLine(reply);
  TReplyLedger::TClaim claim = ledger_.Claim(reply);
  if (!claim.owed) {
    UnownedReply(reply);
    return;
  }
  if (claim.entry.late) {
    if (claim.entry.owner == TReplyOwner::kPoll) LatePollReply(claim.entry.command, reply);
    return;
  }
  switch (claim.entry.owner) {
    case TReplyOwner::kRequest:
      if (!engine_.Dispatch(claim.entry.id, reply)) {
        ledger_.Unclaim(std::move(claim.entry));
        UnownedReply(reply);
      }
      break;
    case TReplyOwner::kPoll:
      PollReply(claim.entry.command, reply);
      break;
    case TReplyOwner::kTraffic:
      if (FPollMode == pmReadSettings || FPollMode == pmWriteSettings) RouteTrafficReply(reply);
      break;
    case TReplyOwner::kKey:
      FPoller->ReplyArrived();
      break;
    case TReplyOwner::kOther:
    case TReplyOwner::kNone:
      break;
  }
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
bool TFrmMain::DelayTicks(int n) {
  if (shutDown_) return false;
  StartTicking();
  return engine_.DelayTicks(n);
}

void TFrmMain::ResetLink() {
  engine_.Abort();
  framer_.Clear();
  ledger_.Reset();
  FPoller->Reset();
  ArmLcdBlank();
  SetTransferBusy(false);
}

void TFrmMain::ArmLcdBlank() { lcdBlankAt_ = TickClock::now() + FReplyTimeout * kTick; }

void TFrmMain::Timer1Timer() {
  const bool timedOut = engine_.Tick();
  ledger_.Tick();
  const TickClock::time_point now = TickClock::now();
  if (lcdBlankAt_ && now >= *lcdBlankAt_) {
    lcdBlankAt_.reset();
    BlankDisplay(false);
    displayMimic_->PaintLCD();
  }
  FPoller->Tick();
  // The box is the failed Request's, shown before it returns: a timer slot never blocks.
  if (timedOut) CommsLog("TFrmMain.Timer1Timer: Instrument Not Responding");
  displayMimic_->Buttons().CheckAutoRelease(kAutoReleaseMs);
  if (now >= lcdRepaintAt_) {
    lcdRepaintAt_ = now + kLcdRepaintPeriod;
    displayMimic_->PaintLCD();
  }
  ScheduleTicks();
}

bool TFrmMain::TicksWanted() const {
  return engine_.Ticking() || !ledger_.Clear() || FPoller->NeedsTicks() || displayMimic_->Buttons().HeldKey() >= 0;
}

bool TFrmMain::Ticking() const { return Timer1.isActive() && Timer1.interval() == kTick.count(); }

// A timer that already ticks keeps its phase.
void TFrmMain::StartTicking() {
  if (!Ticking()) Timer1.start(kTick);
}

void TFrmMain::ScheduleTicks() {
  if (!ticksStarted_ || shutDown_) return;
  if (TicksWanted()) {
    StartTicking();
    return;
  }
  TickClock::time_point next = lcdRepaintAt_;
  if (lcdBlankAt_) next = std::min(next, *lcdBlankAt_);
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - TickClock::now());
  Timer1.start(std::max(wait, std::chrono::milliseconds(1)));
}

void TFrmMain::InstallLink(std::unique_ptr<TIOIface> link) {
  if (FIOInterface) {
    FIOInterface->Unbind();
    engine_.Abort();
  }
  ledger_.Reset();
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
  if (!FPoller) return;
  FPoller->SetState({FPollMode, FLogMode, FCalBusy, engine_.Busy(), FTransferBusy, pollLinkActive_, FAddress,
                     FReplyTimeout});
  ScheduleTicks();
}

void TFrmMain::LoadReplyTimeout() {
  if (datViewer) FReplyTimeout = std::max(datViewer->GetTimeout(), 1);
  PushPollState();
}

void TFrmMain::StartPollThread() {
  PushPollState();
  FPoller->Start();
}
