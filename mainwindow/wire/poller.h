#pragma once
// How a main window keeps its front panel and its polled log fed: the W830's poll
// thread or the W840's timer. The window tells its poller every change of the state
// that decides what may be sent, hands it each reply, and gives it the 10 ms ticks.
#include <string>

#include "mainwindow/wire/pollmode.h"

// What decides whether and what a poller sends.
struct TPollState {
  TPollMode pollMode = pmNone;
  TLogMode logMode = lmOff;
  bool calBusy = false;       // a calibration step has the link
  bool requestBusy = false;   // a Request is under way
  bool transferBusy = false;  // a settings transfer or file operation runs
  bool linkActive = false;    // the window shows the link as connected
  int address = 99;
  int replyTimeoutTicks = 70;

  bool operator==(const TPollState&) const = default;
};

class TPoller {
 public:
  // The window's side: the link as it stands and its send path.
  class THost {
   public:
    virtual ~THost() = default;
    virtual bool LinkActive() const = 0;
    // No reply is owed to any command but an earlier one of this same poll, whose
    // replies are interchangeable with its own.
    virtual bool MaySend(const std::string& command) const = 0;
    virtual void SendCommand(const std::string& command) = 0;
  };

  virtual ~TPoller() = default;

  virtual void SetState(const TPollState& state) = 0;
  // Polling should run now (a display page shown, the link up, a transfer ended).
  virtual void Start() = 0;
  // Nothing is sent afterwards; safe to repeat.
  virtual void Stop() = 0;
  // Polls go out while the state allows.
  virtual bool Running() const = 0;
  // A poll was sent and is neither answered nor timed out.
  virtual bool Outstanding() const = 0;
  // Any reply ends the wait for the poll on the wire.
  virtual void ReplyArrived() = 0;
  // A key command went out: its reply is awaited like a poll's.
  virtual void KeySent() = 0;
  // One tick of the window's 10 ms timer.
  virtual void Tick() = 0;
  // The next tick has something to do or to count down: without it the window's
  // timer may sleep.
  virtual bool NeedsTicks() const = 0;
  // A new link: nothing is outstanding.
  virtual void Reset() = 0;
};
