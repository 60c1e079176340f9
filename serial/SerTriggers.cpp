#include "serial/SerTriggers.h"

#include "serial/SerErrorCodes.h"
#include "serial/SerLineControl.h"
#include "serial/SerOutputRing.h"

namespace {

constexpr int kMaxSerial = 0xFFFF >> 3;

}  // namespace

void TSerTriggers::Clear() {
  std::lock_guard lock(lock_);
  timers_.clear();
  status_.clear();
  nextSerial_ = 1;
  UpdateWatchOutputLocked();
}

int TSerTriggers::NewHandle(int kind) {
  const int serial = nextSerial_.fetch_add(1);
  if (serial > kMaxSerial) {
    nextSerial_ = kMaxSerial + 1;
    return SerErr::NoMoreTriggers;
  }
  return serial << 3 | kind;
}

int TSerTriggers::AddTimer() {
  const int handle = NewHandle(SerTriggerKind::Timer);
  if (handle < 0) return handle;
  std::lock_guard lock(lock_);
  timers_.push_back({handle, {}, false});
  return handle;
}

int TSerTriggers::SetTimer(int handle, int ticks, bool activate) {
  std::lock_guard lock(lock_);
  TTimerTrigger* t = FindTrigger(timers_, handle);
  if (!t) return SerErr::BadTriggerHandle;
  NewTimer(t->Timer, ticks);
  t->Active = activate;
  return SerErr::Ok;
}

int TSerTriggers::AddStatus(int kind) {
  if (kind < SerStatus::ModemStatus || kind > SerStatus::OutSent) return SerErr::BadArgument;
  const int handle = NewHandle(kind);
  if (handle < 0) return handle;
  std::lock_guard lock(lock_);
  status_.push_back({handle, 0, 0, false});
  return handle;
}

int TSerTriggers::SetStatus(int handle, int value, bool activate, int lines) {
  std::lock_guard lock(lock_);
  TStatusTrigger* t = FindTrigger(status_, handle);
  if (!t) return SerErr::BadTriggerHandle;
  t->Value = value;
  t->ModemLines = lines;
  t->Active = activate;
  if ((handle & SerStatus::KindMask) == SerStatus::OutSent) outputSent_ = false;
  UpdateWatchOutputLocked();
  return SerErr::Ok;
}

bool TSerTriggers::Remove(int handle) {
  std::lock_guard lock(lock_);
  return (handle & SerStatus::KindMask) == SerTriggerKind::Timer ? EraseTrigger(timers_, handle)
                                                                  : EraseTrigger(status_, handle);
}

void TSerTriggers::SaveTo(TTriggerSet& set) {
  std::lock_guard lock(lock_);
  set.Timers = timers_;
  set.Status = status_;
  set.NextSerial = nextSerial_;
}

void TSerTriggers::RestoreFrom(const TTriggerSet& set) {
  std::lock_guard lock(lock_);
  timers_ = set.Timers;
  status_ = set.Status;
  nextSerial_ = set.NextSerial;
  UpdateWatchOutputLocked();
}

void TSerTriggers::UpdateWatchOutputLocked() {
  watchOutput_ = std::any_of(status_.begin(), status_.end(), [](const TStatusTrigger& s) {
    return s.Active && (s.Handle & SerStatus::KindMask) >= SerStatus::OutbuffFree;
  });
}

std::vector<TTriggerMessage> TSerTriggers::Check(TSerLineControl& line, TSerOutputRing& out) {
  std::vector<TTriggerMessage> fired;
  const int lines = line.Lines();
  const int errors = line.PendingErrors();
  std::lock_guard lock(lock_);
  for (TStatusTrigger& t : status_) {
    if (!t.Active) continue;
    int value = 0;
    bool holds = false;
    switch (t.Handle & SerStatus::KindMask) {
      case SerStatus::ModemStatus: holds = ((lines ^ t.ModemLines) & t.Value & SerModem::Lines) != 0; break;
      case SerStatus::LineError: holds = (errors & t.Value) != 0; break;
      case SerStatus::OutbuffFree:
        value = out.Free();
        holds = value >= t.Value;
        break;
      case SerStatus::OutbuffUsed:
        value = out.Used();
        holds = value <= t.Value;
        break;
      case SerStatus::OutSent: holds = outputSent_.exchange(false); break;
      default: break;
    }
    if (!holds) continue;
    t.Active = false;
    fired.push_back({SerMsg::Status, t.Handle, value});
  }
  const int32_t now = CurrentTick();
  for (TTimerTrigger& t : timers_) {
    if (!t.Active || !TimerExpired(t.Timer, now)) continue;
    t.Active = false;
    fired.push_back({SerMsg::Timer, t.Handle, 0});
  }
  if (!fired.empty()) UpdateWatchOutputLocked();
  return fired;
}

std::chrono::milliseconds TSerTriggers::TimerWait() {
  std::lock_guard lock(lock_);
  int32_t ticks = kMaxTimerTicks;
  const int32_t now = CurrentTick();
  for (const TTimerTrigger& t : timers_)
    if (t.Active) ticks = std::min(ticks, TicksLeft(t.Timer, now));
  if (ticks == kMaxTimerTicks) return std::chrono::hours(1);
  return std::chrono::milliseconds(std::max<int64_t>(1, int64_t{ticks} * kTickMs));
}
