#pragma once
// The request-and-wait engine: Request sends one command and pumps events until a
// reply handler accepts or rejects a reply, the time-out counted in 10 ms ticks
// runs out, or the wait is aborted (disconnect, link swap, window closing). Each
// Request has its own wait context; a second Request while one waits is refused.
// Also keeps the window's other tick clocks: the general delay and the once a
// second tick count.
#include <QEventLoop>
#include <functional>
#include <string>

enum class TReplyVerdict { KeepWaiting, Accept, Reject };

// Gets each reply of a pending request and the prefix the request gave.
using TReplyHandler = std::function<TReplyVerdict(const std::string& reply, const std::string& prefix)>;

class TRequestEngine {
 public:
  static constexpr int kTicksPerSecond = 100;

  // Wiring to the window: whether the link can carry data, how to send, whether a
  // display poll is out and unanswered, and what to do on a time-out.
  std::function<bool()> LinkActive;
  std::function<void(const std::string& command, bool stxEtx)> Send;
  std::function<bool()> PollOutstanding;
  std::function<void()> OnTimeout;
  // Called with true when a request starts waiting and false when it ends.
  std::function<void(bool waiting)> OnWaitingChanged;

  // True when a handler accepted a reply in time. False at once when the link is
  // not active or another request waits. A time-out of 0 ticks never expires; the
  // request then ends only through a handler, and returns false.
  bool Request(const std::string& command, bool stxEtx, int timeoutTicks, TReplyHandler handler,
               const std::string& prefix);

  // Every dispatched reply.
  void Reply(const std::string& reply);
  // One 10 ms tick: the delay, the tick count and, while the link is active, the
  // reply countdown.
  void Tick();
  // Ends a waiting request as a failure.
  void Abort();
  // Idle state, for a new link.
  void Reset();

  // Waits n ticks while pumping events; ends early on Abort.
  void DelayTicks(int n);

  bool Waiting() const { return wait_ != nullptr; }
  int TickCount() const { return tickCount_; }

 private:
  struct TWait {
    QEventLoop loop;
    TReplyHandler handler;
    std::string prefix;
    int countdown = 0;
    bool done = false;
    bool accepted = false;
  };
  struct TDelay {
    QEventLoop loop;
    int ticks = 0;
    bool done = false;
  };
  static void Finish(TWait& wait, bool accepted);
  // Lets a display poll that is already on the wire be answered (or time out), so
  // that its reply never reaches this request's handler.
  void DrainPoll(int timeoutTicks);

  TWait* wait_ = nullptr;
  TDelay* delay_ = nullptr;
  TDelay* drain_ = nullptr;
  int tickCount_ = 0;
};
