#include <gtest/gtest.h>

#include "serial/SerTimer.h"

// Ticks are counted round the 32-bit millisecond counter's turn.
TEST(TEventTimer, ExpiresAfterItsTicksAlsoAcrossTheCountersWrap) {
  struct Case {
    int32_t start, ticks, now;
    bool expired;
  } cases[] = {
      {1000, 36, 1036, false},
      {1000, 36, 1037, true},
      {kTicksPerTurn - 10, 36, kTicksPerTurn - 1, false},
      {kTicksPerTurn - 10, 36, 20, false},
      {kTicksPerTurn - 10, 36, 27, true},
      {1000, 0, 1001, true},
  };
  for (const Case& c : cases) {
    TEventTimer t;
    NewTimer(t, c.ticks, c.start);
    EXPECT_EQ(TimerExpired(t, c.now), c.expired) << c.start << " + " << c.ticks << " at " << c.now;
    EXPECT_EQ(TicksLeft(t, c.now) == 0, c.expired);
  }
}
