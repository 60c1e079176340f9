#pragma once
// Request and wait: send one command, keep the window responsive by pumping
// events, and return once a handler accepted a reply, rejected it, or the reply
// time-out counted down in ticks of the window's 10 ms timer. One Request waits
// at a time; losing the link, swapping it or closing the window ends the wait as
// a failure. Before it sends, a Request lets a display poll already on the wire
// be answered (or time out), so that a poll's reply never reaches its handler.
// GUI thread only; the pump, the link and the clock are the owner's.
#include <functional>
#include <string>

#include "mainwindow/replyhandlers.h"

class TRequestEngine {
 public:
  TRequestEngine();

  std::function<bool()> LinkActive;
  std::function<void(const std::string& command, bool stxEtx)> Send;
  // A poll was sent and is neither answered nor timed out.
  std::function<bool()> PollOutstanding;
  // Handles pending events, waiting for one when there are none.
  std::function<void()> PumpOnce;
  // Busy() changed: polls pause while a Request is under way.
  std::function<void()> BusyChanged;
  // An error box a handler asked for, once the wait has ended.
  std::function<void(const std::string& message)> ShowFailure;

  // False at once when the link is not active or another Request waits. A
  // time-out of 0 ticks never expires: only a handler ends such a wait, and the
  // Request then reports failure.
  bool Request(const std::string& command, bool stxEtx, int timeoutTicks, const TReplyHandler& handler,
               const std::string& prefix);
  // Waits n ticks while pumping; false when the wait was cut short by Abort.
  bool DelayTicks(int n);

  // Every received reply, after the poll and display consumers.
  void Dispatch(const std::string& reply);
  // One tick of the 10 ms timer; true when a Request timed out with this tick.
  bool Tick();
  // Ends a wait and any delay as failures (link lost or swapped, window closing).
  void Abort();

  // A handler waits for its reply: display replies leave the LCD alone.
  bool Waiting() const { return current_ != nullptr && !current_->draining; }
  // A Request is under way, draining a poll or waiting: polls stay paused.
  bool Busy() const { return current_ != nullptr; }
  TReplyContext& Context() { return context_; }
  // Ticks a Request waits at most for an outstanding poll before it sends anyway.
  int drainLimitTicks = 100;

 private:
  struct TWait {
    TReplyHandler handler;
    int countdown = 0;
    int drainTicks = 0;
    bool draining = true;
    bool done = false;
    bool accepted = false;
  };
  struct TDelay {
    int ticks = 0;
    bool aborted = false;
    TDelay* outer = nullptr;  // a delay whose pump runs this one
  };
  void Finish(TWait& wait, bool accepted);
  void NotifyBusy();

  TReplyContext context_;
  TWait* current_ = nullptr;
  TDelay* delay_ = nullptr;
};
