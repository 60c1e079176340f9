#include <QTimer>

#include "link/IOIface.h"
#include "link/logging.h"
#include "mainwindow/main.h"
#include "mimic/voxMimicDisp.h"
#include "platform/prompter.h"

namespace {
constexpr int32_t kIntegerMin = -99999;
constexpr int32_t kIntegerMax = 999999;
constexpr int kAutoReleaseMs = 2000;

bool IsRejection(const std::string& reply) { return reply == "?"; }

TReplyVerdict Ack(const std::string& reply) {
  if (reply == "0") return TReplyVerdict::Accept;
  return IsRejection(reply) ? TReplyVerdict::Reject : TReplyVerdict::KeepWaiting;
}
}  // namespace

bool TFrmMain::Request(const std::string& command, bool stxEtx, int timeoutTicks, TReplyHandler handler,
                       const std::string& prefix) {
  return engine_.Request(command, stxEtx, timeoutTicks, std::move(handler), prefix);
}

bool TFrmMain::Query(const std::string& command, bool stxEtx, TReplyHandler handler, const std::string& prefix) {
  return Request(command, stxEtx, FReplyTimeout, std::move(handler), prefix);
}

void TFrmMain::DelayTicks(int n) { engine_.DelayTicks(n); }

void TFrmMain::ResetLink() {
  framer_.Reset();
  engine_.Reset();
  FLcdBlankTicks = FReplyTimeout;
  SetTransferBusy(false);
}

void TFrmMain::ReplyTimedOut() {
  CommsLog("TFrmMain.Timer1Timer: Instrument Not Responding");
  QTimer::singleShot(0, this, [] { Prompter().ShowMessage(QStringLiteral("Instrument Not Responding")); });
}

void TFrmMain::Timer1Timer() {
  engine_.Tick();
  if (FLcdBlankTicks > 0 && --FLcdBlankTicks == 0) {
    BlankDisplay(false);
    displayMimic_->PaintLCD();
  }
  displayMimic_->Buttons().CheckAutoRelease(kAutoReleaseMs);
  if (engine_.TickCount() == 0) displayMimic_->PaintLCD();
}

TReplyHandler TFrmMain::AckReply() {
  return [](const std::string& reply, const std::string&) { return Ack(reply); };
}

TReplyHandler TFrmMain::SetReply() {
  return [](const std::string& reply, const std::string&) {
    const TReplyVerdict verdict = Ack(reply);
    if (verdict == TReplyVerdict::Reject)
      Prompter().MessageDlg(QStringLiteral("Invalid Setting"), TMsgDlgType::mtError, mbOK);
    return verdict;
  };
}

TReplyHandler TFrmMain::IntegerReply() {
  return [this](const std::string& reply, const std::string& prefix) {
    int32_t value = 0;
    if (!Parser.ParseReply(prefix + reply, false, true) || !Parser.GetInteger(0, value, kIntegerMin, kIntegerMax))
      return TReplyVerdict::KeepWaiting;
    FReplyValue = value;
    return TReplyVerdict::Accept;
  };
}

TReplyHandler TFrmMain::CalStatusReply() {
  return [this](const std::string& reply, const std::string& prefix) {
    int32_t value = 0;
    if (!Parser.ParseReply(prefix + reply, false, true) || !Parser.GetInteger(1, value, kIntegerMin, kIntegerMax))
      return TReplyVerdict::KeepWaiting;
    FCalStatus = value;
    return TReplyVerdict::Accept;
  };
}

TReplyHandler TFrmMain::WfpReply() {
  return [this](const std::string& reply, const std::string& prefix) {
    int32_t value = 0;
    if (!Parser.ParseReply(prefix + reply, false, true) || !Parser.GetInteger(0, value, 0, 9999))
      return TReplyVerdict::KeepWaiting;
    WorkingModel.SetWFP(value);
    FReplyValue = value;
    return TReplyVerdict::Accept;
  };
}

TReplyHandler TFrmMain::LinPointReply() {
  return [this](const std::string& reply, const std::string& prefix) {
    int32_t point = 0, percent = 0, weight = 0;
    if (!Parser.ParseReply(prefix + reply, false, true) || !Parser.GetInteger(0, point, 1, 10) ||
        !Parser.GetInteger(1, percent, -150, 150) || !Parser.GetInteger(2, weight, kIntegerMin, kIntegerMax))
      return TReplyVerdict::KeepWaiting;
    WorkingModel.LinPercent[static_cast<std::size_t>(point - 1)] = percent;
    WorkingModel.LinWeight[static_cast<std::size_t>(point - 1)] = weight;
    return TReplyVerdict::Accept;
  };
}

TReplyHandler TFrmMain::ClearWaitReply() {
  return [](const std::string&, const std::string&) { return TReplyVerdict::Accept; };
}
