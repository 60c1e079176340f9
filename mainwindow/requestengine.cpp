#include "mainwindow/requestengine.h"

#include <QCoreApplication>
#include <QEventLoop>

TRequestEngine::TRequestEngine() {
  PumpOnce = [] { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); };
}

void TRequestEngine::NotifyBusy() {
  if (BusyChanged) BusyChanged();
}

bool TRequestEngine::Request(const std::string& command, bool stxEtx, int timeoutTicks,
                             const TReplyHandler& handler, const std::string& prefix) {
  if (current_ || !LinkActive || !LinkActive()) return false;
  TWait wait;
  wait.countdown = timeoutTicks;
  wait.drainTicks = drainLimitTicks;
  current_ = &wait;
  NotifyBusy();
  while (!wait.done && wait.draining && PollOutstanding && PollOutstanding() && wait.drainTicks > 0) PumpOnce();
  if (!wait.done) {
    wait.draining = false;
    wait.handler = handler;
    context_.prefix = prefix;
    context_.failureMessage.clear();
    if (Send) Send(command, stxEtx);
  }
  while (!wait.done) PumpOnce();
  current_ = nullptr;
  NotifyBusy();
  const std::string failure = std::move(context_.failureMessage);
  context_.failureMessage.clear();
  if (!failure.empty() && ShowFailure) ShowFailure(failure);
  return wait.accepted && wait.countdown > 0;
}

bool TRequestEngine::DelayTicks(int n) {
  TDelay delay{n, false, delay_};
  delay_ = &delay;
  while (delay.ticks > 0 && !delay.aborted) PumpOnce();
  delay_ = delay.outer;
  return !delay.aborted;
}

void TRequestEngine::Finish(TWait& wait, bool accepted) {
  wait.done = true;
  wait.accepted = accepted;
  if (!accepted) wait.countdown = 0;
}

void TRequestEngine::Dispatch(const std::string& reply) {
  TWait* wait = current_;
  if (!wait || wait->draining || wait->done || !wait->handler) return;
  const TReplyVerdict verdict = wait->handler(context_, reply);
  if (wait != current_ || wait->done) return;
  if (verdict == TReplyVerdict::Accept) Finish(*wait, true);
  if (verdict == TReplyVerdict::Fail) Finish(*wait, false);
}

bool TRequestEngine::Tick() {
  for (TDelay* delay = delay_; delay; delay = delay->outer)
    if (delay->ticks > 0) --delay->ticks;
  TWait* wait = current_;
  if (!wait || wait->done) return false;
  if (wait->draining) {
    --wait->drainTicks;
    return false;
  }
  if (!LinkActive || !LinkActive() || wait->countdown <= 0) return false;
  if (--wait->countdown > 0) return false;
  Finish(*wait, false);
  return true;
}

void TRequestEngine::Abort() {
  if (current_ && !current_->done) Finish(*current_, false);
  for (TDelay* delay = delay_; delay; delay = delay->outer) delay->aborted = true;
}
