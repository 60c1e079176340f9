#include "mainwindow/timerpoller.h"

#include "mainwindow/commandframe.h"

namespace w840 {

bool TTimerPoller::Running() const {
  if (stopped_ || !host_.LinkActive()) return false;
  return state_.pollMode == pmDisplay || state_.pollMode == pmCalibration ||
         (state_.pollMode == pmLog && state_.logMode == lmPolled);
}

void TTimerPoller::Tick() {
  if (stopped_ || !host_.LinkActive()) return;
  if (replyPendingTicks_ == 0 && !state_.requestBusy) Poll();
  if (replyPendingTicks_ > 0) --replyPendingTicks_;
}

void TTimerPoller::Poll() {
  switch (state_.pollMode) {
    case pmDisplay:
    case pmCalibration:
      if (state_.calBusy || state_.transferBusy) return;
      if (statusPollCountdown_ > 0) --statusPollCountdown_;
      if (statusPollCountdown_ == 0) {
        host_.SendCommand(AddressPrefix(state_.address) + "ESR?;");
        statusPollCountdown_ = kPollsPerStatus;
      } else {
        host_.SendCommand("FPL?;");
      }
      break;
    case pmLog:
      if (state_.logMode != lmPolled || state_.transferBusy) return;
      host_.SendCommand(AddressPrefix(state_.address) + "MSV?;");
      break;
    default:
      return;
  }
  replyPendingTicks_ = state_.replyTimeoutTicks;
}

void TTimerPoller::Reset() {
  replyPendingTicks_ = 0;
  statusPollCountdown_ = kPollsPerStatus;
}

}  // namespace w840
