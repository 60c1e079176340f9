#include "mainwindow/wire/requestengine.h"

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
  if (current_ || quiet_ || !LinkActive || !LinkActive()) return false;
  TWait wait;
  wait.countdown = timeoutTicks;
  current_ = &wait;
  NotifyBusy();
  // Every reply owed to an earlier command comes, or is waited out, first.
  while (!wait.done && LinkClear && !LinkClear()) PumpOnce();
  if (!wait.done) {
    wait.handler = handler;
    context_.prefix = prefix;
    context_.failureMessage.clear();
    if (Send) wait.entry = Send(command, stxEtx, timeoutTicks);
    if (wait.entry == 0) Finish(wait, false);
  }
  while (!wait.done) PumpOnce();
  if (wait.entry != 0 && GiveUp) GiveUp(wait.entry);
  const std::string failure = std::move(context_.failureMessage);
  context_.failureMessage.clear();
  if (!failure.empty() && ShowFailure) ShowFailure(failure);
  if (wait.unanswered) {
    if (ShowNotResponding) ShowNotResponding();
    MarkUnanswered();
  }
  current_ = nullptr;
  NotifyBusy();
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

bool TRequestEngine::Dispatch(std::uint64_t entry, const std::string& reply) {
  TWait* wait = current_;
  if (!wait || wait->done || wait->entry != entry || !wait->handler) return false;
  const TReplyVerdict verdict = wait->handler(context_, reply);
  if (wait != current_ || wait->done) return true;
  switch (verdict) {
    case TReplyVerdict::Accept:
      Finish(*wait, true);
      return true;
    case TReplyVerdict::Fail:
      Finish(*wait, false);
      return true;
    case TReplyVerdict::Wait:
      break;
  }
  if (reply != "?") return false;
  // The indicator refused a query whose handler takes only numbers: this was its
  // answer, and no other is coming.
  wait->unanswered = true;
  Finish(*wait, false);
  return true;
}

bool TRequestEngine::Tick() {
  for (TDelay* delay = delay_; delay; delay = delay->outer)
    if (delay->ticks > 0) --delay->ticks;
  TWait* wait = current_;
  if (!wait || wait->done || wait->entry == 0) return false;
  if (!LinkActive || !LinkActive() || wait->countdown <= 0) return false;
  if (--wait->countdown > 0) return false;
  wait->unanswered = true;
  Finish(*wait, false);
  return true;
}

void TRequestEngine::Abort() {
  if (current_ && !current_->done) Finish(*current_, false);
  for (TDelay* delay = delay_; delay; delay = delay->outer) delay->aborted = true;
}
