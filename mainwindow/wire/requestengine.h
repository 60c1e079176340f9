#pragma once
// Request and wait: send one command, keep the window responsive by pumping
// events, and return once a handler accepted a reply, rejected it, or the reply
// time-out counted down in ticks of the window's 10 ms timer. One Request waits
// at a time; losing the link, swapping it or closing the window ends the wait as
// a failure. A Request sends only once no earlier reply is owed (the link's
// account of replies), and takes only the reply owed to its own command. A failed
// Request shows its message before it returns, while it still holds the link, so
// nothing more is sent while the box is open.
// GUI thread only; the pump, the link and the clock are the owner's.
#include <cstdint>
#include <functional>
#include <string>

#include "mainwindow/wire/replyhandlers.h"

class TRequestEngine {
 public:
  TRequestEngine();

  std::function<bool()> LinkActive;
  // Sends the command and enters it in the link's account with this time-out;
  // returns its entry (0 when nothing was sent).
  std::function<std::uint64_t(const std::string& command, bool stxEtx, int timeoutTicks)> Send;
  // No earlier reply is owed.
  std::function<bool()> LinkClear;
  // The Request stopped waiting for this entry's reply.
  std::function<void(std::uint64_t entry)> GiveUp;
  // Handles pending events, waiting for one when there are none.
  std::function<void()> PumpOnce;
  // Busy() changed: polls pause while a Request is under way.
  std::function<void()> BusyChanged;
  // An error box a handler asked for ("Invalid Setting").
  std::function<void(const std::string& message)> ShowFailure;
  // The box of a Request that got no answer.
  std::function<void()> ShowNotResponding;

  // False at once when the link is not active, another Request waits or this
  // action already went unanswered. A
  // time-out of 0 ticks never expires: only a handler ends such a wait, and the
  // Request then reports failure.
  bool Request(const std::string& command, bool stxEtx, int timeoutTicks, const TReplyHandler& handler,
               const std::string& prefix);
  // Waits n ticks while pumping; false when the wait was cut short by Abort.
  bool DelayTicks(int n);

  // A reply owed to this entry; false when it is no answer to the waiting
  // command (it is then no one's).
  bool Dispatch(std::uint64_t entry, const std::string& reply);
  // One tick of the 10 ms timer; true when a Request timed out with this tick.
  bool Tick();
  // Ends a wait and any delay as failures (link lost or swapped, window closing).
  void Abort();
  // The indicator did not answer and the technician was told: the rest of this
  // action sends nothing more and shows no second box, until NewAction.
  void MarkUnanswered() { quiet_ = true; }
  // The technician acts again (a click, a key).
  void NewAction() { quiet_ = false; }
  // The last Request failed for want of an answer (not a refusal).
  bool Unanswered() const { return quiet_; }

  // A Request is under way, waiting for the link, a reply or its box: polls stay paused.
  bool Busy() const { return current_ != nullptr; }
  // A Request or a delay counts ticks down.
  bool Ticking() const { return current_ != nullptr || delay_ != nullptr; }
  TReplyContext& Context() { return context_; }

 private:
  struct TWait {
    TReplyHandler handler;
    std::uint64_t entry = 0;
    int countdown = 0;
    bool done = false;
    bool accepted = false;
    bool unanswered = false;
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
  bool quiet_ = false;
};
