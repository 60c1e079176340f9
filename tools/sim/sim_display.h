#pragma once
// What the simulated indicator's LCD shows, as a segment state string.
#include <cstdint>
#include <string>

#include "tools/panel/segments.h"

namespace sim {

struct TDisplayState {
  long counts = 0;         // weight shown, in display counts
  int decimals = 0;        // decimal places of the weight
  int units = 2;           // as ENU: 0 none, 1 g, 2 kg, 3 lb, 4 t
  bool motion = false;
  bool centreOfZero = false;
  bool net = false;
  bool tareHeld = false;
  int range = 1;           // 1 or 2
  std::string text;        // when not empty, shown instead of the weight (menus, busy)
};

// The text of the six characters for a weight; "-OL-" style overload beyond six.
std::string WeightText(long counts, int decimals);
std::string SegmentStringOf(const panel::Layout& layout, const TDisplayState& state);

}  // namespace sim
