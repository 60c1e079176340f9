#pragma once
// The worker that keeps the front panel alive: while a display mode holds it asks
// for the display image ("FPL?;") at most ten times a second, paced from each send
// by the steady clock; while polled logging runs it asks for the weight back to
// back. It never touches the link: it asks the GUI thread to send (SendRequest,
// which must queue the send) and waits on a condition variable for EndThreadWait
// or the time-out. While paused it sleeps until a flag changes. One long-lived
// thread; Stop (or the destructor) ends and joins it.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class TPollStatusThread {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kDisplayPeriod{100};
  static constexpr std::chrono::milliseconds kTick{10};

  // Called on the poll thread; must hand the command to the GUI thread.
  explicit TPollStatusThread(std::function<void(const std::string& command)> sendRequest);
  ~TPollStatusThread();
  TPollStatusThread(const TPollStatusThread&) = delete;
  TPollStatusThread& operator=(const TPollStatusThread&) = delete;

  // Runs the poll loops for the current mode (StartPollThread); a no-op while they run.
  void Start();
  // Ends the loops and joins the thread; nothing is asked to be sent afterwards.
  void Stop();

  // A reply came (any reply, in any mode), or the GUI thread declined to send.
  void EndThreadWait();

  // The shared state, written by the GUI thread.
  void SetPollMode(int mode);
  void SetWaiting(bool on);
  void SetCalBusy(bool on);
  void SetTransferBusy(bool on);
  void SetLogMode(int mode);
  void SetAddress(int address);
  void SetReplyTimeout(int ticks);

  int PollMode() const { return pollMode_; }
  // The loops run (false once they have ended for a mode without polling).
  bool Running() const { return running_; }
  // A poll was asked for and its reply or time-out has not come yet.
  bool ThreadWaiting() const { return threadWaiting_; }
  std::uint64_t PollsSent() const { return pollsSent_; }

 private:
  void Main();
  void PollStatus();
  // Asks for the send and waits for the reply or the time-out.
  void Poll(const std::string& command);
  bool DisplayPaused() const;
  bool LogPaused() const;
  template <class T>
  void Store(std::atomic<T>& field, T value);
  bool Stopping() const { return stop_; }

  std::function<void(const std::string&)> sendRequest_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::atomic<int> pollMode_{0};
  std::atomic<bool> waiting_{false};
  std::atomic<bool> calBusy_{false};
  std::atomic<bool> transferBusy_{false};
  std::atomic<int> logMode_{0};
  std::atomic<int> address_{99};
  std::atomic<int> replyTimeout_{70};
  std::atomic<bool> threadWaiting_{false};
  std::atomic<bool> running_{false};
  std::atomic<bool> stop_{false};
  std::atomic<std::uint64_t> replySeq_{0};
  std::atomic<std::uint64_t> pollsSent_{0};
  bool runRequested_ = false;  // under mutex_
  std::thread thread_;
};
