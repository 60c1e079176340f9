#pragma once
// The driver's time base: ticks of 55 ms of a 32-bit millisecond counter, which
// wraps after about 49.7 days; timer triggers count in these ticks.
#include <cstdint>

constexpr int kTickMs = 55;
// The ticks of one turn of the counter, and the longest a timer may run: half a turn.
constexpr int32_t kTicksPerTurn = static_cast<int32_t>(4294967296LL / kTickMs);
constexpr int32_t kMaxTimerTicks = kTicksPerTurn / 2;

struct TEventTimer {
  int32_t StartTick = 0;
  int32_t ExpireTick = 0;
};

int32_t CurrentTick();
void NewTimer(TEventTimer& timer, int32_t ticks, int32_t now = CurrentTick());
// Counted modulo the counter's turn, so a timer that runs across the wrap expires
// on time and never looks expired before it should.
bool TimerExpired(const TEventTimer& timer, int32_t now = CurrentTick());
// Ticks left until the timer expires; 0 once it has.
int32_t TicksLeft(const TEventTimer& timer, int32_t now = CurrentTick());
