#pragma once
// The load on the simulated scale as a function of time.
#include <cstdint>

namespace sim {

struct TSignal {
  enum Shape { Steady, Ramp, Noise, Steps };
  Shape shape = Steady;
  double level = 0;      // weight in display units (12.5 kg is 12.5)
  double rate = 0;       // Ramp: change per second
  double amplitude = 0;  // Noise: peak deviation; Steps: height of each step
  double period = 1;     // Steps: seconds per step
};

// The load at `seconds` since the signal was set. Noise is a repeatable
// pseudo-random sequence seeded by `seed`.
double LoadAt(const TSignal& signal, double seconds, std::uint32_t seed);

// Whether the load moves by more than `step` within the half second before `seconds`.
bool MovingAt(const TSignal& signal, double seconds, double step);

}  // namespace sim
