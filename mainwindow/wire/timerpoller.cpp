#include "mainwindow/wire/timerpoller.h"

#include "mainwindow/wire/commandframe.h"

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

bool TTimerPoller::NeedsTicks() const { return Running() || (replyPendingTicks_ > 0 && !stopped_ && host_.LinkActive()); }

void TTimerPoller::Poll() {
  std::string command;
  switch (state_.pollMode) {
    case pmDisplay:
    case pmCalibration: {
      if (state_.calBusy || state_.transferBusy) return;
      const bool status = statusPollCountdown_ <= 1;
      command = status ? AddressPrefix(state_.address) + "ESR?;" : "FPL?;";
      // Another command's reply is still owed: the poll waits for a later tick.
      if (!host_.MaySend(command)) return;
      statusPollCountdown_ = status ? kPollsPerStatus : statusPollCountdown_ - 1;
      break;
    }
    case pmLog:
      if (state_.logMode != lmPolled || state_.transferBusy) return;
      command = AddressPrefix(state_.address) + "MSV?;";
      if (!host_.MaySend(command)) return;
      break;
    default:
      return;
  }
  host_.SendCommand(command);
  replyPendingTicks_ = state_.replyTimeoutTicks;
}

void TTimerPoller::Reset() {
  replyPendingTicks_ = 0;
  statusPollCountdown_ = kPollsPerStatus;
}

}  // namespace w840
