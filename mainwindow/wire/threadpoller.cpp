#include "mainwindow/wire/threadpoller.h"

#include "platform/guard.h"

namespace w830 {

TThreadPoller::TThreadPoller(THost& host)
    : host_(host), thread_([this](const std::string& command) {
        {
          const std::lock_guard lock(queuedPollsMutex_);
          queuedPolls_.push_back(command);
        }
        QMetaObject::invokeMethod(this, "SendQueuedPolls", Qt::QueuedConnection);
      }) {}

void TThreadPoller::SetState(const TPollState& state) {
  state_ = state;
  thread_.SetPollMode(state.pollMode);
  thread_.SetLogMode(state.logMode);
  thread_.SetCalBusy(state.calBusy);
  thread_.SetRequestBusy(state.requestBusy);
  thread_.SetTransferBusy(state.transferBusy);
  thread_.SetLinkActive(state.linkActive);
  thread_.SetAddress(state.address);
  thread_.SetReplyTimeoutTicks(state.replyTimeoutTicks);
}

void TThreadPoller::Start() {
  thread_.SetLinkActive(host_.LinkActive());
  thread_.StartPollThread();
}

bool TThreadPoller::Wanted(const std::string& command) const {
  const bool wanted = command == "FPL?;" ? state_.pollMode == pmDisplay || state_.pollMode == pmCalibration
                                         : state_.pollMode == pmLog && state_.logMode == lmPolled;
  return wanted && !state_.requestBusy && !state_.transferBusy && !state_.calBusy && host_.LinkActive();
}

void TThreadPoller::PollSend(const std::string& command) {
  // The thread asked before a request, a transfer, a calibration step or another
  // page took the link: that poll must not go out now.
  if (!Wanted(command)) {
    heldPoll_.clear();
    thread_.CancelOutstanding();
    return;
  }
  // Another command's reply is still owed: the poll waits for it, on the ticks.
  if (!host_.MaySend(command)) {
    heldPoll_ = command;
    return;
  }
  heldPoll_.clear();
  host_.SendCommand(command);
}

void TThreadPoller::Tick() {
  if (heldPoll_.empty()) return;
  const std::string command = heldPoll_;
  PollSend(command);
}

void TThreadPoller::SendQueuedPolls() {
  std::deque<std::string> polls;
  {
    const std::lock_guard lock(queuedPollsMutex_);
    polls.swap(queuedPolls_);
  }
  for (const std::string& command : polls) Guarded([&] { PollSend(command); });
}

}  // namespace w830
