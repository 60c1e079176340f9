#include "serial/SerTimer.h"

#include <algorithm>
#include <chrono>

namespace {

int32_t Elapsed(int32_t from, int32_t to) {
  const int32_t d = to - from;
  return d < 0 ? d + kTicksPerTurn : d;
}

}  // namespace

int32_t CurrentTick() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<int32_t>(static_cast<uint32_t>(ms.count()) / kTickMs);
}

void NewTimer(TEventTimer& timer, int32_t ticks, int32_t now) {
  ticks = std::clamp<int32_t>(ticks, 0, kMaxTimerTicks);
  timer.StartTick = now;
  timer.ExpireTick = (now + ticks) % kTicksPerTurn;
}

// Past the expiry, or so long past that the counter came round again.
bool TimerExpired(const TEventTimer& timer, int32_t now) {
  const int32_t elapsed = Elapsed(timer.StartTick, now);
  return elapsed > Elapsed(timer.StartTick, timer.ExpireTick) || elapsed > kMaxTimerTicks;
}

int32_t TicksLeft(const TEventTimer& timer, int32_t now) {
  if (TimerExpired(timer, now)) return 0;
  return Elapsed(timer.StartTick, timer.ExpireTick) - Elapsed(timer.StartTick, now) + 1;
}
