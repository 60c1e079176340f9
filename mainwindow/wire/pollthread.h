#pragma once
// The worker that keeps the front panel alive: while the Display or Calibration
// page is shown it asks for the display image ("FPL?;") at most ten times a
// second; while polled logging runs it asks for the weight back to back. It never
// touches the link: it asks the GUI thread to send (PostSend must hand the
// command over, e.g. as a queued call) and waits for ReplyArrived or the reply
// time-out. It stands still, without spinning, while a request, a transfer or a
// calibration step has the link. One long-lived thread; Stop joins it.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "mainwindow/wire/pollmode.h"

class TPollStatusThread {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kDisplayPeriod{100};

  // Called on the poll thread with each command to send.
  explicit TPollStatusThread(std::function<void(const std::string& command)> postSend);
  ~TPollStatusThread();
  TPollStatusThread(const TPollStatusThread&) = delete;
  TPollStatusThread& operator=(const TPollStatusThread&) = delete;

  // Runs the poll loops for the current mode; does nothing while the link is down.
  void StartPollThread();
  // Ends the loops and joins the thread; nothing is sent afterwards.
  void Stop();
  // True from StartPollThread until the mode no longer polls.
  bool Running() const;

  // Any reply ends the wait for the poll on the wire (GUI thread).
  void EndThreadWait();
  // The poll on the wire will not be answered (it was not sent after all).
  void CancelOutstanding() { EndThreadWait(); }
  // A poll was sent and neither answered nor timed out.
  bool Outstanding() const;

  void SetPollMode(TPollMode mode);
  void SetLogMode(TLogMode mode);
  void SetCalBusy(bool busy);
  void SetRequestBusy(bool busy);
  void SetTransferBusy(bool busy);
  void SetLinkActive(bool active);
  void SetAddress(int address);
  void SetReplyTimeoutTicks(int ticks);  // 10 ms each

  // When the last poll went out and when its wait ended.
  Clock::time_point PollSent() const;
  Clock::time_point PollAnswered() const;
  std::uint64_t PollsSent() const;

 private:
  enum class TStep { Pause, Display, Log, End };
  TStep NextStep() const;  // with the lock held
  void Execute();
  void Poll(std::unique_lock<std::mutex>& lock, const std::string& command, bool paced);
  // Waits until then, or until Stop.
  void PauseUntil(std::unique_lock<std::mutex>& lock, Clock::time_point until);
  template <class F>
  void Change(F&& change);

  std::function<void(const std::string&)> postSend_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool running_ = false;
  bool outstanding_ = false;
  bool pacing_ = false;  // waiting out the display period: a reply needs no wake-up
  std::uint64_t replySeq_ = 0;
  std::uint64_t pollsSent_ = 0;
  TPollMode pollMode_ = pmNone;
  TLogMode logMode_ = lmOff;
  bool calBusy_ = false;
  bool requestBusy_ = false;
  bool transferBusy_ = false;
  bool linkActive_ = false;
  int address_ = 99;
  int replyTimeoutTicks_ = 70;
  Clock::time_point pollSent_{};
  Clock::time_point pollAnswered_{};
  std::thread thread_;
};
