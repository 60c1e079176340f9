// The weighing chain, the front panel and calibration.
#include <cmath>
#include <cstdlib>

#include "tools/panel/segments.h"
#include "tools/sim/sim_indicator.h"

namespace sim {

namespace {

constexpr int kDivisions[] = {1, 2, 5, 10, 20, 50, 100};
// The signal at full scale with the factory calibration, in 1/10000 mV/V.
constexpr double kFullScaleSignal = 20000;

// Status word A of a weight sample.
constexpr int kSteadyBit = 0x0002;
constexpr int kZeroBit = 0x0100;

}  // namespace

int TSimIndicator::DecimalPoint() const { return IntField("IAD1", 1); }

int TSimIndicator::Division() const {
  const int index = IntField("IAD1", 2) - 1;
  return kDivisions[index >= 0 && index < 7 ? index : 0];
}

double TSimIndicator::LoadCounts() const {
  return LoadAt(signal_, Now() - signalStart_, seed_) * std::pow(10.0, DecimalPoint());
}

int TSimIndicator::SignalValue() const {
  const double fullScale = std::max(1, IntField("IAD1", 0));
  return static_cast<int>(std::lround(LoadCounts() * kFullScaleSignal / fullScale));
}

double TSimIndicator::ReadingCounts() const {
  if (directSpan_ == directZero_) return 0;
  const double fullScale = std::max(1, IntField("IAD1", 0));
  const double signal = LoadCounts() * kFullScaleSignal / fullScale;
  return (signal - directZero_) * fullScale / (directSpan_ - directZero_);
}

long long TSimIndicator::GrossCounts() const {
  const int division = Division();
  return std::llround((ReadingCounts() - zeroOffset_) / division) * division;
}

long long TSimIndicator::ShownCounts() const { return showNet_ ? GrossCounts() - tare_ : GrossCounts(); }

bool TSimIndicator::Moving() const {
  return MovingAt(signal_, Now() - signalStart_, Division() / std::pow(10.0, DecimalPoint()));
}

std::string TSimIndicator::WeightSample() const {
  int wordA = 0;
  if (!Moving()) wordA |= kSteadyBit;
  if (GrossCounts() == 0) wordA |= kZeroBit;
  std::string sample = std::to_string(ShownCounts()) + "," + std::to_string(DecimalPoint()) + "," + std::to_string(wordA);
  if (cof12_) sample += ",0";
  return sample;
}

std::string TSimIndicator::TextLocked() const {
  if (inMenu_) return "F  " + std::to_string(menuDigit_);
  const long long counts = ShownCounts();
  std::string digits = std::to_string(std::llabs(counts));
  const auto places = static_cast<std::size_t>(DecimalPoint());
  if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
  if (places > 0) digits.insert(digits.size() - places, ".");
  const std::string text = (counts < 0 ? "-" : "") + digits;
  const auto characters = text.size() - (places > 0 ? 1 : 0);
  return characters > panel::kCharacters ? "oL" : text;
}

std::string TSimIndicator::SegmentsLocked() const {
  std::uint32_t annunciators = 0;
  auto light = [&](panel::Annunciator a) { annunciators |= 1u << a; };
  if (!inMenu_) {
    if (GrossCounts() == 0) light(panel::kAnnZero);
    if (Moving()) light(panel::kAnnMotion);
    light(showNet_ ? panel::kAnnNet : panel::kAnnGross);
    if (tare_ != 0) light(panel::kAnnTare);
    switch (IntField("ENU", 0)) {
      case 1: light(panel::kAnnG); break;
      case 2: light(panel::kAnnKg); break;
      case 3: light(panel::kAnnLb); break;
      case 4: light(panel::kAnnT); break;
      default: break;
    }
  }
  return panel::SegmentString(model_ == Model::W830 ? panel::kW830 : panel::kW840, TextLocked(), annunciators);
}

std::string TSimIndicator::DisplaySegments() const {
  std::lock_guard lock(mutex_);
  return SegmentsLocked();
}

std::string TSimIndicator::DisplayText() const {
  std::lock_guard lock(mutex_);
  return TextLocked();
}

std::string TSimIndicator::KeyCommand(const std::string& argument) {
  const std::vector<std::string> fields = SplitFields(argument);
  if (fields.empty() || fields.size() > 2 || (fields.size() == 2 && fields[1] != "1")) return "?";
  const bool w830 = model_ == Model::W830;
  static const std::vector<std::string> w830Keys = {"1", "2", "3", "4", "5", "6"};
  static const std::vector<std::string> w840Keys = {"1", "2", "3", "4", "6"};
  const auto& keys = w830 ? w830Keys : w840Keys;
  const auto found = std::find(keys.begin(), keys.end(), fields[0]);
  if (found == keys.end()) return "?";
  const auto key = static_cast<std::size_t>(found - keys.begin());
  if (fields.size() == 2) {
    // Holding any key enters the set-up menu or leaves it.
    inMenu_ = !inMenu_;
    return "0";
  }
  if (inMenu_) {
    menuDigit_ = menuDigit_ % 9 + 1;
    return "0";
  }
  if (IntField("LBT" + std::to_string(key), 0) == 0) return "0";  // the key is locked
  switch (key) {
    case 0:
      zeroOffset_ = ReadingCounts();
      break;
    case 1:
      tare_ = GrossCounts();
      showNet_ = true;
      break;
    case 2:
      showNet_ = !showNet_;
      break;
    default:
      break;
  }
  return "0";
}

std::string TSimIndicator::CalibrationCommand(const std::string& name, const std::string& argument) {
  const bool zero = name == "LDN" || name == "LDW";
  if (argument.empty()) {
    cal_ = {name, false, busyPolls_, 1};
    if (busyPolls_ == 0) FinishCalibration();
    return "0";
  }
  char* end = nullptr;
  const long value = std::strtol(argument.c_str(), &end, 10);
  if (*end != '\0' || value < -32000 || value > 32000) return "?";
  (zero ? directZero_ : directSpan_) = static_cast<int>(value);
  // The W830 reports a written value through its busy and done status too.
  const int busy = model_ == Model::W830 ? busyPolls_ : 0;
  cal_ = {name, true, busy, busy > 0 ? 1 : 0};
  if (busy == 0) FinishCalibration();
  return "0";
}

std::string TSimIndicator::CalibrationStatus(const std::string& name, const std::string& index) {
  const bool zero = name == "LDN" || name == "LDW";
  const int value = zero ? directZero_ : directSpan_;
  if (model_ == Model::W840 && index == "1") return std::to_string(value);
  if (!index.empty()) return "?";
  int status = 0;
  if (cal_.name == name) {
    status = cal_.status;
    if (cal_.busyLeft > 0 && --cal_.busyLeft == 0) FinishCalibration();
  }
  if (model_ == Model::W840) return std::to_string(status);
  return std::to_string(value) + "," + std::to_string(status);
}

void TSimIndicator::FinishCalibration() {
  cal_.busyLeft = 0;
  if (scriptedError_ != 0) {
    cal_.status = scriptedError_;
    scriptedError_ = 0;
    return;
  }
  cal_.status = 0;
  if (cal_.direct) return;
  const int signal = SignalValue();
  if (cal_.name == "LDN" || cal_.name == "LDW") {
    if (std::abs(signal) > 30000) {
      cal_.status = 101;
      return;
    }
    directZero_ = signal;
    zeroOffset_ = 0;
    return;
  }
  const int calWeight = IntField("CWT", 0);
  const double fullScale = std::max(1, IntField("IAD1", 0));
  const double span = directZero_ + (signal - directZero_) * fullScale / std::max(1, calWeight);
  if (calWeight <= 0 || signal == directZero_ || std::fabs(span) > 32000) {
    cal_.status = 104;
    return;
  }
  directSpan_ = static_cast<int>(std::lround(span));
}

}  // namespace sim
