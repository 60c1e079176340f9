#pragma once
// The conditions that make a port's handler run, and the messages it then gets.
// Data triggers match patterns in the received bytes and live with the receive
// ring, which scans for them; timer and status triggers live here.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "serial/SerTimer.h"

class TSerLineControl;
class TSerOutputRing;

// The messages a port's handler gets, and the notices its users get.
namespace SerMsg {
constexpr int Avail = 0x7E01;   // WParam: the unread bytes announced
constexpr int Data = 0x7E02;    // WParam: the data trigger; Value: its pattern's length
constexpr int Timer = 0x7E03;   // WParam: the timer trigger
constexpr int Status = 0x7E04;  // WParam: the status trigger; Value: what met its condition
constexpr int PortOpened = 0x7E08;
constexpr int PortClosed = 0x7E09;
constexpr int PortClosing = 0x7E0A;
}  // namespace SerMsg

// Status trigger kinds, the low three bits of a status trigger's handle.
namespace SerStatus {
constexpr int ModemStatus = 1;  // a watched modem line changed
constexpr int LineError = 2;    // a watched line error is pending
constexpr int OutbuffFree = 3;  // at least the limit is free in the output ring
constexpr int OutbuffUsed = 4;  // at most the limit is used in the output ring
constexpr int OutSent = 5;      // a block was queued
constexpr int KindMask = 0x7;
}  // namespace SerStatus

// Trigger handles: a serial number above the kind, which takes the low three bits.
namespace SerTriggerKind {
constexpr int Timer = 6;
constexpr int Data = 7;
}  // namespace SerTriggerKind

struct TTriggerMessage {
  int Msg;
  int WParam;
  int Value;
};

struct TDataTrigger {
  int Handle;
  std::string Pattern;  // upper case when IgnoreCase
  bool IgnoreCase;
  std::vector<bool> Matching;  // position k: the last k + 1 bytes match the pattern's start
};

struct TTimerTrigger {
  int Handle;
  TEventTimer Timer;
  bool Active;
};

struct TStatusTrigger {
  int Handle;
  int Value;      // the modem lines or line errors watched, or the output limit
  int ModemLines;  // the lines when the trigger was armed
  bool Active;
};

// Every trigger of a port, as kept across a close and the next open.
struct TTriggerSet {
  std::vector<TDataTrigger> Data;
  std::vector<TTimerTrigger> Timers;
  std::vector<TStatusTrigger> Status;
  int NextSerial = 1;
  int AvailThreshold = 1;
};

// The timer and status triggers, under a lock of their own that is taken before
// the line's or the output ring's lock, never while one of those is held.
class TSerTriggers {
 public:
  // No triggers; handles count from 1 again.
  void Clear();
  // A handle of the kind, or SerErr::NoMoreTriggers.
  int NewHandle(int kind);
  int AddTimer();
  int SetTimer(int handle, int ticks, bool activate);
  int AddStatus(int kind);
  // lines: the modem lines now, from which a modem-status trigger counts changes.
  int SetStatus(int handle, int value, bool activate, int lines);
  // False when no timer or status trigger has the handle.
  bool Remove(int handle);
  void SaveTo(TTriggerSet& set);
  void RestoreFrom(const TTriggerSet& set);

  // Each active status trigger whose condition holds fires once, in list order;
  // so does each active timer trigger that expired.
  std::vector<TTriggerMessage> Check(TSerLineControl& line, TSerOutputRing& out);
  // Until the first active timer expires.
  std::chrono::milliseconds TimerWait();
  // Some active status trigger watches the output ring, so the dispatch thread is
  // to be told when it changes.
  bool WatchesOutput() const { return watchOutput_; }
  void OutputSent() { outputSent_ = true; }

 private:
  void UpdateWatchOutputLocked();

  std::mutex lock_;
  std::vector<TTimerTrigger> timers_;
  std::vector<TStatusTrigger> status_;
  std::atomic<int> nextSerial_{1};
  std::atomic<bool> watchOutput_{false};
  std::atomic<bool> outputSent_{false};
};

template <class T>
T* FindTrigger(std::vector<T>& list, int handle) {
  const auto it = std::find_if(list.begin(), list.end(), [&](const T& t) { return t.Handle == handle; });
  return it == list.end() ? nullptr : &*it;
}

template <class T>
bool EraseTrigger(std::vector<T>& list, int handle) {
  const auto it = std::find_if(list.begin(), list.end(), [&](const T& t) { return t.Handle == handle; });
  if (it == list.end()) return false;
  list.erase(it);
  return true;
}
