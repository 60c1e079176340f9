#include "mainwindow/pollthread.h"

#include <algorithm>
#include <utility>

#include "mainwindow/commandframe.h"
#include "mainwindow/pollmode.h"

TPollStatusThread::TPollStatusThread(std::function<void(const std::string&)> sendRequest)
    : sendRequest_(std::move(sendRequest)), thread_([this] { Main(); }) {}

TPollStatusThread::~TPollStatusThread() { Stop(); }

template <class T>
void TPollStatusThread::Store(std::atomic<T>& field, T value) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    field = value;
  }
  changed_.notify_all();
}

void TPollStatusThread::Start() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stop_) return;
    runRequested_ = true;
  }
  changed_.notify_all();
}

void TPollStatusThread::Stop() {
  Store(stop_, true);
  if (thread_.joinable()) thread_.join();
}

void TPollStatusThread::EndThreadWait() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++replySeq_;
  }
  changed_.notify_all();
}

void TPollStatusThread::SetPollMode(int mode) { Store(pollMode_, mode); }
void TPollStatusThread::SetWaiting(bool on) { Store(waiting_, on); }
void TPollStatusThread::SetCalBusy(bool on) { Store(calBusy_, on); }
void TPollStatusThread::SetTransferBusy(bool on) { Store(transferBusy_, on); }
void TPollStatusThread::SetLogMode(int mode) { Store(logMode_, mode); }
void TPollStatusThread::SetAddress(int address) { Store(address_, address); }
void TPollStatusThread::SetReplyTimeout(int ticks) { Store(replyTimeout_, ticks); }

void TPollStatusThread::Main() {
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return stop_ || runRequested_; });
      if (stop_) return;
      runRequested_ = false;
      running_ = true;
    }
    PollStatus();
    running_ = false;
  }
}

bool TPollStatusThread::DisplayPaused() const { return calBusy_ || waiting_ || transferBusy_; }
bool TPollStatusThread::LogPaused() const { return logMode_ != lmPolled || transferBusy_ || waiting_; }

void TPollStatusThread::Poll(const std::string& command) {
  std::uint64_t seq;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    seq = replySeq_;  // taken before the send is asked for, so a quick reply is never missed
    threadWaiting_ = true;
  }
  ++pollsSent_;
  sendRequest_(command);
  const auto timeout = kTick * std::max(replyTimeout_.load(), 1);
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, timeout, [&] { return stop_ || replySeq_ != seq; });
  threadWaiting_ = false;
}

void TPollStatusThread::PollStatus() {
  const auto displayMode = [this] { return pollMode_ == pmDisplay || pollMode_ == pmCalibration; };
  while (!Stopping() && displayMode()) {
    if (DisplayPaused()) {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return stop_ || !displayMode() || !DisplayPaused(); });
      continue;
    }
    const Clock::time_point sent = Clock::now();
    Poll("FPL?;");
    const auto elapsed = Clock::now() - sent;
    const auto pause = std::clamp<Clock::duration>(kDisplayPeriod - elapsed, Clock::duration::zero(), kDisplayPeriod);
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, pause, [this] { return stop_.load(); });
  }
  while (!Stopping() && pollMode_ == pmLog) {
    if (LogPaused()) {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return stop_ || pollMode_ != pmLog || !LogPaused(); });
      continue;
    }
    Poll(AddressPrefix(address_) + "MSV?;");
  }
}
