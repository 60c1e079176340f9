#include "tools/sim/sim_display.h"

#include <cstdlib>

namespace sim {

std::string WeightText(long counts, int decimals) {
  if (counts > 999999 || counts < -99999) return "  OL  ";
  std::string digits = std::to_string(std::labs(counts));
  if (decimals > 0 && digits.size() <= static_cast<std::size_t>(decimals))
    digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
  std::string text = counts < 0 ? "-" : "";
  if (decimals > 0) {
    text += digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
    text += '.';
    text += digits.substr(digits.size() - static_cast<std::size_t>(decimals));
  } else {
    text += digits;
  }
  return text;
}

std::string SegmentStringOf(const panel::Layout& layout, const TDisplayState& state) {
  uint32_t annunciators = 0;
  auto light = [&](panel::Annunciator a) { annunciators |= 1u << a; };
  if (state.text.empty()) {
    if (state.motion) light(panel::kAnnMotion);
    if (state.centreOfZero) light(panel::kAnnZero);
    light(state.net ? panel::kAnnNet : panel::kAnnGross);
    if (state.tareHeld) light(panel::kAnnTare);
    light(state.range == 2 ? panel::kAnnRange2 : panel::kAnnRange1);
    switch (state.units) {
      case 1: light(panel::kAnnG); break;
      case 2: light(panel::kAnnKg); break;
      case 3: light(panel::kAnnLb); break;
      case 4: light(panel::kAnnT); break;
      default: break;
    }
  }
  const std::string text = state.text.empty() ? WeightText(state.counts, state.decimals) : state.text;
  return panel::SegmentString(layout, text, annunciators);
}

}  // namespace sim
