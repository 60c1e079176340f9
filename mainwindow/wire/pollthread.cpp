#include "mainwindow/wire/pollthread.h"

#include <algorithm>

#include "mainwindow/wire/commandframe.h"

TPollStatusThread::TPollStatusThread(std::function<void(const std::string&)> postSend)
    : postSend_(std::move(postSend)), thread_([this] { Execute(); }) {}

TPollStatusThread::~TPollStatusThread() { Stop(); }

template <class F>
void TPollStatusThread::Change(F&& change) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    change();
  }
  wake_.notify_all();
}

void TPollStatusThread::StartPollThread() {
  Change([this] { running_ = linkActive_; });
}

void TPollStatusThread::Stop() {
  Change([this] { stop_ = true; });
  if (thread_.joinable()) thread_.join();
}

bool TPollStatusThread::Running() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return running_;
}

void TPollStatusThread::EndThreadWait() {
  bool wake = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++replySeq_;
    if (outstanding_) pollAnswered_ = Clock::now();
    outstanding_ = false;
    wake = !pacing_;
  }
  if (wake) wake_.notify_all();
}

bool TPollStatusThread::Outstanding() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return outstanding_;
}

void TPollStatusThread::SetPollMode(TPollMode mode) {
  Change([&] { pollMode_ = mode; });
}
void TPollStatusThread::SetLogMode(TLogMode mode) {
  Change([&] { logMode_ = mode; });
}
void TPollStatusThread::SetCalBusy(bool busy) {
  Change([&] { calBusy_ = busy; });
}
void TPollStatusThread::SetRequestBusy(bool busy) {
  Change([&] { requestBusy_ = busy; });
}
void TPollStatusThread::SetTransferBusy(bool busy) {
  Change([&] { transferBusy_ = busy; });
}
void TPollStatusThread::SetLinkActive(bool active) {
  Change([&] { linkActive_ = active; });
}
void TPollStatusThread::SetAddress(int address) {
  Change([&] { address_ = address; });
}
void TPollStatusThread::SetReplyTimeoutTicks(int ticks) {
  Change([&] { replyTimeoutTicks_ = ticks; });
}

TPollStatusThread::Clock::time_point TPollStatusThread::PollSent() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pollSent_;
}

TPollStatusThread::Clock::time_point TPollStatusThread::PollAnswered() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pollAnswered_;
}

std::uint64_t TPollStatusThread::PollsSent() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pollsSent_;
}

TPollStatusThread::TStep TPollStatusThread::NextStep() const {
  if (!running_) return TStep::Pause;
  switch (pollMode_) {
    case pmDisplay:
    case pmCalibration:
      return calBusy_ || requestBusy_ || transferBusy_ || !linkActive_ ? TStep::Pause : TStep::Display;
    case pmLog:
      // A request pauses the log polls too: their replies must not reach its handler.
      return logMode_ != lmPolled || transferBusy_ || requestBusy_ || !linkActive_ ? TStep::Pause : TStep::Log;
    default:
      return TStep::End;
  }
}

void TPollStatusThread::Execute() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_) {
    wake_.wait(lock, [this] { return stop_ || NextStep() != TStep::Pause; });
    if (stop_) break;
    switch (NextStep()) {
      case TStep::Display:
        Poll(lock, "FPL?;", true);
        break;
      case TStep::Log:
        Poll(lock, AddressPrefix(address_) + "MSV?;", false);
        break;
      case TStep::End:
        running_ = false;
        break;
      case TStep::Pause:
        break;
    }
  }
}

void TPollStatusThread::Poll(std::unique_lock<std::mutex>& lock, const std::string& command, bool paced) {
  // The sequence is taken before the send is asked for: a reply that comes back
  // at once still ends this wait.
  const std::uint64_t seq = replySeq_;
  outstanding_ = true;
  pollSent_ = Clock::now();
  ++pollsSent_;
  const auto sent = pollSent_;
  const auto timeout = std::chrono::milliseconds(10) * std::max(replyTimeoutTicks_, 0);
  lock.unlock();
  postSend_(command);
  lock.lock();
  if (paced) {
    // A reply within the period changes nothing here, as the next poll waits for
    // the period anyway: it need not wake the thread.
    pacing_ = true;
    PauseUntil(lock, sent + std::min<Clock::duration>(timeout, kDisplayPeriod));
    pacing_ = false;
  }
  // A reply has ended the wait on the GUI thread already; otherwise it times out now.
  if (!wake_.wait_until(lock, sent + timeout, [&] { return stop_ || replySeq_ != seq; })) pollAnswered_ = Clock::now();
  outstanding_ = false;
  if (paced) PauseUntil(lock, sent + kDisplayPeriod);
}

// A wait whose time has passed is not waited: the library would still go to the
// kernel to learn so, once on every display poll.
void TPollStatusThread::PauseUntil(std::unique_lock<std::mutex>& lock, Clock::time_point until) {
  if (Clock::now() < until) wake_.wait_until(lock, until, [this] { return stop_; });
}
