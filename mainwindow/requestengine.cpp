#include "mainwindow/requestengine.h"

#include <utility>

void TRequestEngine::Finish(TWait& wait, bool accepted) {
  wait.done = true;
  wait.accepted = accepted;
  wait.loop.quit();
}

bool TRequestEngine::Request(const std::string& command, bool stxEtx, int timeoutTicks, TReplyHandler handler,
                             const std::string& prefix) {
  if (wait_ || drain_ || !LinkActive || !LinkActive()) return false;
  TWait wait;
  wait.handler = std::move(handler);
  wait.prefix = prefix;
  wait.countdown = timeoutTicks;
  if (OnWaitingChanged) OnWaitingChanged(true);
  DrainPoll(timeoutTicks);
  wait_ = &wait;
  if (LinkActive()) {
    if (Send) Send(command, stxEtx);
    if (!wait.done) wait.loop.exec();
  } else {
    wait.done = true;
  }
  wait_ = nullptr;
  if (OnWaitingChanged) OnWaitingChanged(false);
  return wait.accepted && wait.countdown > 0;
}

void TRequestEngine::DrainPoll(int timeoutTicks) {
  if (!PollOutstanding || !PollOutstanding()) return;
  TDelay drain;
  drain.ticks = timeoutTicks > 0 ? timeoutTicks : kTicksPerSecond;
  drain_ = &drain;
  while (!drain.done && PollOutstanding()) drain.loop.processEvents(QEventLoop::WaitForMoreEvents);
  drain_ = nullptr;
}

void TRequestEngine::Reply(const std::string& reply) {
  if (!wait_ || wait_->done || !wait_->handler) return;
  switch (wait_->handler(reply, wait_->prefix)) {
    case TReplyVerdict::KeepWaiting:
      break;
    case TReplyVerdict::Accept:
      Finish(*wait_, true);
      break;
    case TReplyVerdict::Reject:
      wait_->countdown = 0;
      Finish(*wait_, false);
      break;
  }
}

void TRequestEngine::Tick() {
  if (delay_ && delay_->ticks > 0 && --delay_->ticks == 0) {
    delay_->done = true;
    delay_->loop.quit();
  }
  if (drain_ && drain_->ticks > 0 && --drain_->ticks == 0) drain_->done = true;
  if (++tickCount_ >= kTicksPerSecond) tickCount_ = 0;
  if (!LinkActive || !LinkActive()) return;
  if (wait_ && !wait_->done && wait_->countdown > 0 && --wait_->countdown == 0) {
    Finish(*wait_, false);
    if (OnTimeout) OnTimeout();
  }
}

void TRequestEngine::Abort() {
  if (wait_ && !wait_->done) {
    wait_->countdown = 0;
    Finish(*wait_, false);
  }
  if (drain_) drain_->done = true;
  if (delay_) {
    delay_->done = true;
    delay_->loop.quit();
  }
}

void TRequestEngine::Reset() {
  Abort();
  tickCount_ = 0;
}

void TRequestEngine::DelayTicks(int n) {
  if (n <= 0) return;
  TDelay delay;
  delay.ticks = n;
  TDelay* outer = delay_;
  delay_ = &delay;
  if (!delay.done) delay.loop.exec();
  delay_ = outer;
}
