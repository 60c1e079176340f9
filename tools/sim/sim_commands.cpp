// The command language: which handler answers a command, and the settings
// that the indicator holds.
#include <algorithm>
#include <charconv>

#include "tools/sim/sim_indicator.h"

namespace sim {

namespace {

bool ParseInt(const std::string& text, int lo, int hi, int& value) {
  int parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  if (parsed < lo || parsed > hi) return false;
  value = parsed;
  return true;
}

std::string Join(const std::vector<std::string>& parts) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out += ',';
    out += parts[i];
  }
  return out;
}

const std::vector<std::string> kProtected = {"CWT", "ENU", "IAD", "ICR", "LBT", "MTD", "WMD", "ZST"};

}  // namespace

std::string TSimIndicator::Answer(TSession& s, const std::string& command) {
  if (command.size() < 3) return "?";
  const std::string mnemonic = command.substr(0, 3);
  const bool w830 = model_ == Model::W830;
  const std::string zeroName = w830 ? "LDN" : "LDW";
  const std::string spanName = w830 ? "LWN" : "LWT";
  if (command.size() > 3 && command[3] == '?') {
    const std::string argument = command.substr(4);
    if (mnemonic == "FPL" && argument.empty()) return SegmentsLocked();
    if (mnemonic == "MSV" && argument.empty()) return WeightSample();
    if (mnemonic == "MSV" && argument == ",0") {
      s.streaming = true;
      s.nextSample = Now();
      return "";
    }
    if (mnemonic == "VAL" && argument.empty()) return std::to_string(SignalValue());
    if (mnemonic == "ESR" && argument.empty()) return cal_.status > 100 ? std::to_string(cal_.status) : "0";
    if (mnemonic == "PCD" && argument.empty()) return !passcode_.empty() && !unlocked_ ? "1" : "0";
    if (mnemonic == zeroName || mnemonic == spanName) return CalibrationStatus(mnemonic, argument);
    if (mnemonic == "LIC" || mnemonic == "BCA") return mnemonic == "LIC" ? LinearisationCommand(command)
                                                                         : BackupCommand(command);
    return SettingsQuery(command);
  }
  const std::string argument = command.substr(3);
  if (mnemonic == "FPL") return KeyCommand(argument);
  if (mnemonic == "STP" && argument.empty()) {
    s.streaming = false;
    return "0";
  }
  if (mnemonic == "PCD") return PasscodeCommand(argument);
  if (mnemonic == "TDD") {
    if (argument != "1") return "?";
    ++saves_;
    return "0";
  }
  if (mnemonic == "COF") {
    if (argument != "11" && argument != "12") return "?";
    cof12_ = argument == "12";
    return "0";
  }
  if (mnemonic == zeroName || mnemonic == spanName) return CalibrationCommand(mnemonic, argument);
  if (mnemonic == "LIC") return LinearisationCommand(command);
  if (mnemonic == "BCA") return BackupCommand(command);
  return SettingsSet(command, false);
}

TSettingSpec* TSimIndicator::Find(const std::string& key) {
  for (auto& spec : settings_)
    if (spec.mnemonic.size() + spec.index.size() == key.size() && key.rfind(spec.mnemonic, 0) == 0 &&
        key.compare(spec.mnemonic.size(), std::string::npos, spec.index) == 0)
      return &spec;
  return nullptr;
}

const TSettingSpec* TSimIndicator::Find(const std::string& key) const {
  return const_cast<TSimIndicator*>(this)->Find(key);
}

std::string TSimIndicator::FieldValue(const std::string& key, std::size_t field) const {
  const TSettingSpec* spec = Find(key);
  if (!spec || field >= spec->fields.size()) return "";
  return spec->fields[field].value;
}

int TSimIndicator::IntField(const std::string& key, std::size_t field) const {
  int value = 0;
  ParseInt(FieldValue(key, field), -2147483647, 2147483647, value);
  return value;
}

int TSimIndicator::Address() const { return IntField("ADR", 0); }

std::string TSimIndicator::SetLine(const TSettingSpec& spec) {
  std::vector<std::string> parts;
  for (const auto& field : spec.fields) parts.push_back(WireField(field, field.value));
  if (spec.index.empty()) return spec.mnemonic + Join(parts);
  return spec.mnemonic + spec.index + (parts.empty() ? "" : "," + Join(parts));
}

std::string TSimIndicator::ReplyOf(const TSettingSpec& spec) {
  std::vector<std::string> parts;
  if (spec.echoIndex) parts.push_back(spec.index);
  for (const auto& field : spec.fields) parts.push_back(WireField(field, field.value));
  return Join(parts);
}

bool TSimIndicator::IsProtected(const std::string& mnemonic) const {
  return std::find(kProtected.begin(), kProtected.end(), mnemonic) != kProtected.end();
}

std::string TSimIndicator::SettingsQuery(const std::string& command) {
  const TSettingSpec* spec = Find(command.substr(0, 3) + command.substr(4));
  return spec ? ReplyOf(*spec) : "?";
}

std::string TSimIndicator::SettingsSet(const std::string& command, bool force) {
  const std::string mnemonic = command.substr(0, 3);
  std::vector<std::string> fields = SplitFields(std::string_view(command).substr(3));
  const bool indexed = std::any_of(settings_.begin(), settings_.end(), [&](const TSettingSpec& spec) {
    return spec.mnemonic == mnemonic && !spec.index.empty();
  });
  std::string key = mnemonic;
  if (indexed) {
    if (fields.empty()) return "?";
    key += fields.front();
    fields.erase(fields.begin());
  }
  TSettingSpec* spec = Find(key);
  if (!spec || fields.empty()) return "?";
  if (!force && (!spec->writable || (IsProtected(mnemonic) && !passcode_.empty() && !unlocked_))) return "?";
  const std::size_t settable = force || spec->settable == 0 ? spec->fields.size() : spec->settable;
  if (fields.size() > settable) return "?";
  std::vector<std::string> held(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (!AcceptField(spec->fields[i], fields[i], held[i])) return "?";
  for (std::size_t i = 0; i < fields.size(); ++i) spec->fields[i].value = held[i];
  return "0";
}

std::string TSimIndicator::PasscodeCommand(const std::string& argument) {
  if (argument.empty()) {
    unlocked_ = false;
    return "0";
  }
  if (!std::all_of(argument.begin(), argument.end(), [](char c) { return c >= '0' && c <= '9'; })) return "?";
  if (!passcode_.empty() && argument != passcode_) return "?";
  unlocked_ = true;
  return "0";
}

std::string TSimIndicator::LinearisationCommand(const std::string& command) {
  const bool query = command.size() > 3 && command[3] == '?';
  const std::vector<std::string> fields = SplitFields(std::string_view(command).substr(query ? 4 : 3));
  int point = 0;
  if (fields.empty() || !ParseInt(fields[0], 1, 10, point)) return "?";
  const auto i = static_cast<std::size_t>(point - 1);
  if (query) return fields.size() == 1 ? std::to_string(linPercent_[i]) + "," + std::to_string(linWeight_[i]) : "?";
  if (fields.size() == 1) {
    linPercent_[i] = 0;
    linWeight_[i] = 0;
    return "0";
  }
  // The point's weight is kept in sixteenths of a display count.
  int weight = 0;
  if (fields.size() != 2 || !ParseInt(fields[1], -6249, 62499, weight)) return "?";
  const int fullScale = std::max(1, IntField("IAD1", 0));
  int percent = static_cast<int>(std::clamp(static_cast<long long>(weight) * 100 / fullScale, -150LL, 150LL));
  if (percent == 0) percent = weight < 0 ? -1 : 1;
  linPercent_[i] = percent;
  linWeight_[i] = weight * 16;
  return "0";
}

std::string TSimIndicator::BackupCommand(const std::string& command) {
  const bool query = command.size() > 3 && command[3] == '?';
  const std::vector<std::string> fields = SplitFields(std::string_view(command).substr(query ? 4 : 3));
  int block = 0;
  if (fields.empty() || !ParseInt(fields[0], 0, 4, block)) return "?";
  if (query) {
    if (fields.size() != 1) return "?";
    std::vector<std::string> parts{fields[0]};
    if (block == 0) {
      parts.push_back(std::to_string(directZero_));
      parts.push_back(std::to_string(directSpan_));
    } else if (block <= 2) {
      for (std::size_t p = 0; p < 5; ++p) {
        const std::size_t i = static_cast<std::size_t>(block - 1) * 5 + p;
        parts.push_back(std::to_string(linPercent_[i]));
        parts.push_back(std::to_string(linWeight_[i]));
      }
    } else {
      parts.push_back(factoryBlocks_[static_cast<std::size_t>(block - 3)]);
    }
    return Join(parts);
  }
  const std::size_t expected = block == 0 ? 3 : block <= 2 ? 11 : 2;
  if (fields.size() != expected) return "?";
  std::vector<int> values;
  for (std::size_t f = 1; f < fields.size(); ++f) {
    int value = 0;
    const bool percentField = block >= 1 && block <= 2 && f % 2 == 1;
    const int lo = block == 0 ? -32000 : percentField ? -150 : -99999;
    const int hi = block == 0 ? 32000 : percentField ? 150 : 999999;
    if (!ParseInt(fields[f], lo, hi, value)) return "?";
    values.push_back(value);
  }
  if (block == 0) {
    directZero_ = values[0];
    directSpan_ = values[1];
  } else if (block <= 2) {
    for (std::size_t p = 0; p < 5; ++p) {
      const std::size_t i = static_cast<std::size_t>(block - 1) * 5 + p;
      linPercent_[i] = values[2 * p];
      linWeight_[i] = values[2 * p + 1];
    }
  } else {
    factoryBlocks_[static_cast<std::size_t>(block - 3)] = std::to_string(values[0]);
  }
  return "0";
}

std::string TSimIndicator::Setting(const std::string& key) const {
  std::lock_guard lock(mutex_);
  const bool w830 = model_ == Model::W830;
  if (key == (w830 ? "LDN" : "LDW")) return key + std::to_string(directZero_);
  if (key == (w830 ? "LWN" : "LWT")) return key + std::to_string(directSpan_);
  int point = 0;
  if (key.rfind("LIC", 0) == 0 && ParseInt(key.substr(3), 1, 10, point))
    return key + "," + std::to_string(linPercent_[static_cast<std::size_t>(point - 1)]) + "," +
           std::to_string(linWeight_[static_cast<std::size_t>(point - 1)]);
  const TSettingSpec* spec = Find(key);
  return spec ? SetLine(*spec) : "";
}

std::string TSimIndicator::Field(const std::string& key, std::size_t field) const {
  std::lock_guard lock(mutex_);
  return FieldValue(key, field);
}

bool TSimIndicator::SetSetting(const std::string& line) {
  std::lock_guard lock(mutex_);
  return line.size() >= 3 && SettingsSet(line, true) == "0";
}

}  // namespace sim
