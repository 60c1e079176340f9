#include "tools/sim/sim_signal.h"

#include <cmath>

namespace sim {

namespace {

// A hash of the sample slot, so that the same time always gives the same noise.
double NoiseAt(std::uint32_t seed, long long slot) {
  std::uint64_t x = static_cast<std::uint64_t>(slot) * 0x9E3779B97F4A7C15ull ^ seed;
  x ^= x >> 33;
  x *= 0xFF51AFD7ED558CCDull;
  x ^= x >> 33;
  return static_cast<double>(x % 20001) / 10000.0 - 1.0;
}

}  // namespace

double LoadAt(const TSignal& signal, double seconds, std::uint32_t seed) {
  switch (signal.shape) {
    case TSignal::Steady:
      return signal.level;
    case TSignal::Ramp:
      return signal.level + signal.rate * seconds;
    case TSignal::Noise:
      // A new value every 20 ms, as a filtered reading would change.
      return signal.level + signal.amplitude * NoiseAt(seed, static_cast<long long>(std::floor(seconds * 50)));
    case TSignal::Steps: {
      const double period = signal.period > 0 ? signal.period : 1;
      return signal.level + signal.amplitude * std::floor(seconds / period);
    }
  }
  return signal.level;
}

bool MovingAt(const TSignal& signal, double seconds, double step) {
  switch (signal.shape) {
    case TSignal::Steady:
      return false;
    case TSignal::Ramp:
      return std::fabs(signal.rate) * 0.5 > step;
    case TSignal::Noise:
      return 2 * std::fabs(signal.amplitude) > step;
    case TSignal::Steps: {
      const double period = signal.period > 0 ? signal.period : 1;
      const double sinceStep = seconds - period * std::floor(seconds / period);
      return seconds >= period && sinceStep < 0.5 && std::fabs(signal.amplitude) > step;
    }
  }
  return false;
}

}  // namespace sim
