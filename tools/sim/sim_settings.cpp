#include "tools/sim/sim_settings.h"

#include <algorithm>
#include <cstdlib>

#include "tools/sim/sim_indicator.h"

namespace sim {
namespace {

// How a mnemonic's lines are keyed and answered.
enum class Indexing {
  kNone,         // one line: "ENU2"
  kEchoed,       // one line per index, the reply repeats the index: "IAD1,4000,..."
  kNotEchoed,    // one line per index, the reply leaves the index out: "LBT0,1" answers "1"
};

// A field rule in the terms of the set line: a number range, a text length range
// (quoted), or anything.
struct FieldRule {
  enum Kind { kAny, kNumber, kText } kind = kAny;
  long min = 0, max = 0;
};

FieldRule N(long min, long max) { return {FieldRule::kNumber, min, max}; }
FieldRule T(long min, long max) { return {FieldRule::kText, min, max}; }
const FieldRule kAnyField{};

struct MnemonicRule {
  Indexing indexing;
  long indexMin = 0, indexMax = 0;
  bool settable = true;  // false: the indicator only answers it
  std::vector<FieldRule> fields;  // field 0 first (for indexed lines, the index)
};

const std::map<std::string, MnemonicRule>& W830Rules() {
  static const std::map<std::string, MnemonicRule> rules = {
      {"IDN", {Indexing::kNone, 0, 0, true, {T(0, 10), T(1, 10), T(1, 6)}}},
      {"ADR", {Indexing::kNone, 0, 0, true, {N(0, 31)}}},
      {"IAD", {Indexing::kEchoed, 1, 2, true,
               {N(1, 2), N(0, 999999), N(0, 5), N(1, 7), N(0, 1), N(0, 999999), N(0, 1)}}},
      {"CWT", {Indexing::kNone, 0, 0, true, {N(0, 999999)}}},
      {"WMD", {Indexing::kNone, 0, 0, true, {N(1, 3), N(0, 2)}}},
      {"ENU", {Indexing::kNone, 0, 0, true, {N(0, 6)}}},
      {"ICR", {Indexing::kNone, 0, 0, true, {N(10, 100)}}},
      {"ASF", {Indexing::kNone, 0, 0, true, {N(0, 14), N(0, 2)}}},
      {"LBT", {Indexing::kNotEchoed, 0, 5, true, {N(0, 5), N(0, 2)}}},
      {"MTD", {Indexing::kNone, 0, 0, true, {N(0, 15)}}},
      {"PFT", {Indexing::kNone, 0, 0, true, {T(0, 100)}}},
      {"AFT", {Indexing::kNone, 0, 0, true, {T(0, 20)}}},
      {"PST", {Indexing::kNotEchoed, 1, 6, true, {N(1, 6), T(0, 30)}}},
      {"PRS", {Indexing::kNone, 0, 0, true, {kAnyField, N(1, 8), N(1, 6), N(0, 20), N(0, 10), N(1, 4), N(0, 2)}}},
      {"ZST", {Indexing::kNone, 0, 0, true, {N(0, 1), N(0, 15), N(1, 4), N(0, 999999)}}},
      {"FBT", {Indexing::kNotEchoed, 1, 3, true, {N(1, 3), N(0, 14)}}},
      {"RBT", {Indexing::kNotEchoed, 1, 8, true, {N(1, 8), N(0, 22)}}},
      {"BUZ", {Indexing::kNone, 0, 0, true, {N(0, 1)}}},
      {"ETH", {Indexing::kNone, 0, 0, true,
               {N(0, 1), T(7, 15), T(7, 15), T(7, 15), T(7, 15), T(7, 15), T(7, 23), T(0, 64), T(0, 255), T(7, 15)}}},
      {"BDX", {Indexing::kEchoed, 0, 14, true, {}}},  // field rules depend on the port, see BdxRules
      {"LIV", {Indexing::kEchoed, 1, 8, true,
               {N(1, 8), N(0, 11), N(1, 2), kAnyField, N(-99999, 999999), N(0, 999999), N(0, 999999), N(1, 2),
                N(0, 1), N(0, 4), N(0, 3), N(0, 2)}}},
      {"LIW", {Indexing::kNone, 0, 0, true,
               {N(0, 60000), N(0, 60000), N(0, 20), N(0, 20), N(0, 1), N(0, 60000)}}},
      {"MBS", {Indexing::kNone, 0, 0, true, {N(0, 1), N(0, 65535)}}},
      {"AOC", {Indexing::kNone, 0, 0, true,
               {N(0, 1), N(0, 3), N(0, 65535), N(0, 65535), N(0, 2), N(0, 1), N(0, 1)}}},
      {"CLK", {Indexing::kNone, 0, 0, true, {N(0, 23), N(0, 59), N(0, 59), N(0, 31), N(0, 12), N(0, 99)}}},
      {"CFM", {Indexing::kNone, 0, 0, true, {N(0, 1), N(0, 5)}}},
      {"QAF", {Indexing::kNone, 0, 0, true, {N(0, 1), N(0, 31), N(0, 12), N(0, 99)}}},
      {"BRT", {Indexing::kNone, 0, 0, true, {N(0, 100)}}},
      {"UNT", {Indexing::kNone, 0, 0, true, {N(0, 6), N(0, 5), N(0, 999999), N(0, 1)}}},
      {"WFP", {Indexing::kNone, 0, 0, false, {N(0, 9999)}}},
      {"LDN", {Indexing::kNone, 0, 0, false, {N(-32000, 32000)}}},
      {"LWN", {Indexing::kNone, 0, 0, false, {N(-32000, 32000)}}},
      {"LIC", {Indexing::kNotEchoed, 1, 10, false, {N(1, 10), N(-150, 150), N(-99999, 999999)}}},
  };
  return rules;
}

const std::map<std::string, MnemonicRule>& W840Rules() {
  static const std::map<std::string, MnemonicRule> rules = {
      {"IDN", {Indexing::kNone, 0, 0, true, {T(0, 10), T(1, 10), T(1, 6)}}},
      {"ADR", {Indexing::kNone, 0, 0, true, {N(0, 31)}}},
      {"IAD", {Indexing::kEchoed, 1, 2, true, {N(1, 2), N(0, 999999), N(0, 5), N(1, 7), N(0, 1), N(0, 999999)}}},
      {"CWT", {Indexing::kNone, 0, 0, true, {N(0, 999999)}}},
      {"WMD", {Indexing::kNone, 0, 0, true, {N(1, 4), N(0, 1)}}},
      {"ENU", {Indexing::kNone, 0, 0, true, {N(0, 4)}}},
      {"ICR", {Indexing::kNone, 0, 0, true, {N(10, 100)}}},
      {"ASF", {Indexing::kNone, 0, 0, true, {N(0, 14), N(0, 2)}}},
      {"LBT", {Indexing::kNotEchoed, 0, 4, true, {N(0, 4), N(0, 2)}}},
      {"MTD", {Indexing::kNone, 0, 0, true, {N(0, 12)}}},
      {"PFT", {Indexing::kNone, 0, 0, true, {T(0, 100)}}},
      {"AFT", {Indexing::kNone, 0, 0, true, {T(0, 20)}}},
      {"PST", {Indexing::kNotEchoed, 1, 6, true, {N(1, 6), T(0, 30)}}},
      {"PRS", {Indexing::kNone, 0, 0, true, {kAnyField, N(1, 8), N(1, 6), N(0, 20), N(0, 10), N(1, 4)}}},
      {"ZST", {Indexing::kNone, 0, 0, true, {N(0, 1), N(0, 12), N(1, 4), N(0, 999999)}}},
      {"RBT", {Indexing::kNotEchoed, 0, 8, true, {N(0, 8), N(0, 21)}}},
      {"BUZ", {Indexing::kNone, 0, 0, true, {N(0, 1)}}},
      {"ETH", {Indexing::kNone, 0, 0, true,
               {N(0, 1), T(7, 15), T(7, 15), T(7, 15), T(7, 15), T(7, 15), T(7, 23), T(0, 64)}}},
      {"BDX", {Indexing::kEchoed, 1, 6, true, {}}},
      {"LIV", {Indexing::kEchoed, 1, 8, true,
               {N(1, 8), N(0, 50), N(1, 2), N(1, 2), N(-99999, 999999), N(0, 999999), N(0, 999999), N(1, 2),
                N(0, 1), N(0, 3)}}},
      {"WFP", {Indexing::kNone, 0, 0, false, {N(1, 9999)}}},
      {"LDW", {Indexing::kNotEchoed, 1, 1, false, {N(1, 1), N(-32000, 32000)}}},
      {"LWT", {Indexing::kNotEchoed, 1, 1, false, {N(1, 1), N(-32000, 32000)}}},
      {"LIC", {Indexing::kNotEchoed, 1, 10, false, {N(1, 10), N(-150, 150), N(-99999, 999999)}}},
  };
  return rules;
}

std::vector<FieldRule> W840BdxRules(long port) {
  if (port == 5 || port == 6)
    return {N(1, 6), kAnyField, kAnyField, kAnyField, kAnyField, kAnyField, kAnyField, kAnyField, kAnyField,
            N(0, 65535)};
  return {N(1, 6), N(0, 7), N(1, 10), N(0, 2), N(7, 8), N(1, 2), N(0, 1), N(0, 1), N(0, 1)};
}

std::vector<FieldRule> BdxRules(long port) {
  switch (port) {
    case 4:
    case 5:
      return {N(0, 14), kAnyField, kAnyField, kAnyField, kAnyField, kAnyField, kAnyField, kAnyField, kAnyField,
              N(0, 65535), N(0, 86400)};
    case 11:
    case 12:
      return {N(0, 14), N(0, 5), kAnyField, kAnyField, kAnyField, kAnyField, kAnyField, kAnyField, kAnyField,
              N(0, 65535), kAnyField, T(7, 15)};
    case 13:
    case 14:
      return {N(0, 14), N(0, 5), kAnyField, kAnyField, kAnyField, kAnyField, kAnyField, kAnyField, kAnyField,
              N(0, 65535)};
    default:
      return {N(0, 14), N(0, 9), N(1, 10), N(0, 2), N(7, 8), N(1, 2), N(0, 1), N(0, 1), N(0, 1)};
  }
}

// The factory settings of a W840, as set lines.
const std::vector<std::string>& W840Defaults() {
  static const std::vector<std::string> lines = [] {
    std::vector<std::string> l = {
        "IDN\"\",\"SIM00002\",\"3.05\"", "ADR0", "IAD1,4000,0,1,0,0", "IAD2,6000,0,2,0,0", "CWT3000", "WMD1,0",
        "ENU2", "ICR50", "ASF0,0", "MTD1", "PFT\"\"", "AFT\"\"", "PRS,1,1,0,0,1", "ZST0,0,4,0", "BUZ0",
        "ETH1,\"0.0.0.0\",\"255.255.255.255\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0.0.0\",\"\"",
        "BDX5,,,,,,,,,2222", "BDX6,,,,,,,,,2223", "WFP1", "LDW1,0", "LWT1,20000"};
    for (int k = 0; k <= 4; ++k) l.push_back("LBT" + std::to_string(k) + ",1");
    for (int n = 1; n <= 6; ++n) l.push_back("PST" + std::to_string(n) + ",\"\"");
    for (int n = 0; n <= 8; ++n) l.push_back("RBT" + std::to_string(n) + ",0");
    for (int n = 1; n <= 10; ++n) l.push_back("LIC" + std::to_string(n) + ",0,0");
    for (int n = 1; n <= 8; ++n) l.push_back("LIV" + std::to_string(n) + ",0,1,1,0,0,0,1,0,0");
    for (int k = 1; k <= 4; ++k) l.push_back("BDX" + std::to_string(k) + ",0,1,0,7,1,0,0,0");
    return l;
  }();
  return lines;
}

// The factory settings of a W830, as set lines.
const std::vector<std::string>& W830Defaults() {
  static const std::vector<std::string> lines = [] {
    std::vector<std::string> l = {
        "IDN\"\",\"SIM00001\",\"2.10\"", "ADR0", "IAD1,4000,0,1,0,0,0", "IAD2,6000,0,2,0,0,0", "CWT3000",
        "WMD1,0", "ENU2", "ICR50", "ASF0,0", "MTD1", "PFT\"\"", "AFT\"\"", "PRS,1,1,0,0,1,0", "ZST0,0,4,0",
        "BUZ0",
        "ETH1,\"0.0.0.0\",\"255.255.255.255\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0.0.0\",\"\",\"\","
        "\"0.0.0.0\"",
        "LIW0,0,0,0,0,0", "MBS0,0", "AOC0,0,0,0,0,0,0", "CLK0,0,0,0,0,0", "CFM0,0", "QAF0,0,0,0", "BRT0",
        "UNT0,0,0,0", "WFP0", "LDN0", "LWN20000"};
    for (int k = 0; k <= 5; ++k) l.push_back("LBT" + std::to_string(k) + ",1");
    for (int n = 1; n <= 6; ++n) l.push_back("PST" + std::to_string(n) + ",\"\"");
    for (int n = 1; n <= 3; ++n) l.push_back("FBT" + std::to_string(n) + ",0");
    for (int n = 1; n <= 8; ++n) l.push_back("RBT" + std::to_string(n) + ",0");
    for (int n = 1; n <= 10; ++n) l.push_back("LIC" + std::to_string(n) + ",0,0");
    for (int n = 1; n <= 8; ++n) l.push_back("LIV" + std::to_string(n) + ",0,1,,0,0,0,1,0,0,0,0");
    for (int k = 0; k <= 14; ++k) {
      const std::string p = "BDX" + std::to_string(k);
      if (k == 4 || k == 5) l.push_back(p + ",,,,,,,,,0,0");
      else if (k == 11 || k == 12) l.push_back(p + ",0,,,,,,,,0,,\"\"");
      else if (k == 13 || k == 14) l.push_back(p + ",0,,,,,,,,0");
      else l.push_back(p + ",0,1,0,7,1,0,0,0");
    }
    return l;
  }();
  return lines;
}

bool ParseNumber(const std::string& text, long& value) {
  if (text.empty() || text.size() > 12) return false;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return end == text.c_str() + text.size();
}

bool FieldValid(const FieldRule& rule, const std::string& field) {
  if (field.empty()) return true;  // an empty field leaves the value as it is
  switch (rule.kind) {
    case FieldRule::kAny: return true;
    case FieldRule::kNumber: {
      long v = 0;
      return ParseNumber(field, v) && v >= rule.min && v <= rule.max;
    }
    case FieldRule::kText: {
      if (field.size() < 2 || field.front() != '"' || field.back() != '"') return false;
      const auto length = static_cast<long>(field.size() - 2);
      return length >= rule.min && length <= rule.max;
    }
  }
  return false;
}

const std::map<std::string, MnemonicRule>& RulesOf(Model model) {
  return model == Model::W830 ? W830Rules() : W840Rules();
}

const std::vector<std::string>& DefaultsOf(Model model) {
  return model == Model::W830 ? W830Defaults() : W840Defaults();
}

}  // namespace

std::vector<std::string> SplitFields(const std::string& values) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (const char c : values) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      fields.emplace_back();
      continue;
    }
    fields.back() += c;
  }
  return fields;
}

std::string JoinFields(const std::vector<std::string>& fields) {
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) out += ',';
    out += fields[i];
  }
  return out;
}

TSimSettings::TSimSettings(Model model) : model_(model) {
  const auto& rules = RulesOf(model);
  for (const auto& line : DefaultsOf(model)) {
    const std::string mnemonic = line.substr(0, 3);
    auto fields = SplitFields(line.substr(3));
    const auto& rule = rules.at(mnemonic);
    lines_[rule.indexing == Indexing::kNone ? mnemonic : mnemonic + fields[0]] = std::move(fields);
  }
}

bool TSimSettings::IsProtected(const std::string& mnemonic) {
  static const char* const kProtected[] = {"CWT", "ENU", "IAD", "ICR", "LBT", "MTD", "WMD", "ZST"};
  return std::any_of(std::begin(kProtected), std::end(kProtected), [&](const char* p) { return mnemonic == p; });
}

std::optional<std::string> TSimSettings::Query(const std::string& mnemonic, const std::string& index) const {
  const auto& rules = RulesOf(model_);
  const auto rule = rules.find(mnemonic);
  if (rule == rules.end()) return std::nullopt;
  std::string key = mnemonic;
  if (rule->second.indexing != Indexing::kNone) {
    long i = 0;
    if (!ParseNumber(index, i) || i < rule->second.indexMin || i > rule->second.indexMax) return std::nullopt;
    key += std::to_string(i);
  } else if (!index.empty()) {
    return std::nullopt;
  }
  const auto line = lines_.find(key);
  if (line == lines_.end()) return std::nullopt;
  if (rule->second.indexing == Indexing::kNotEchoed)
    return JoinFields({line->second.begin() + 1, line->second.end()});
  return JoinFields(line->second);
}

bool TSimSettings::Set(const std::string& line) {
  if (line.size() < 3) return false;
  const std::string mnemonic = line.substr(0, 3);
  const auto& rules = RulesOf(model_);
  const auto rule = rules.find(mnemonic);
  if (rule == rules.end() || !rule->second.settable) return false;
  const auto fields = SplitFields(line.substr(3));
  std::string key = mnemonic;
  std::vector<FieldRule> fieldRules = rule->second.fields;
  if (rule->second.indexing != Indexing::kNone) {
    long i = 0;
    if (!ParseNumber(fields[0], i) || i < rule->second.indexMin || i > rule->second.indexMax) return false;
    key += std::to_string(i);
    if (mnemonic == "BDX") fieldRules = model_ == Model::W830 ? BdxRules(i) : W840BdxRules(i);
  }
  if (fields.size() > fieldRules.size()) return false;
  for (std::size_t f = 0; f < fields.size(); ++f)
    if (!FieldValid(fieldRules[f], fields[f])) return false;
  auto& held = lines_[key];
  if (held.size() < fields.size()) held.resize(fields.size());
  for (std::size_t f = 0; f < fields.size(); ++f)
    if (!fields[f].empty() || fieldRules[f].kind == FieldRule::kAny) held[f] = fields[f];
  return true;
}

std::string TSimSettings::Line(const std::string& key) const {
  const auto line = lines_.find(key);
  if (line == lines_.end()) return std::string();
  const std::string mnemonic = key.substr(0, 3);
  return mnemonic + JoinFields(line->second);
}

std::string TSimSettings::Field(const std::string& key, int field) const {
  const auto line = lines_.find(key);
  if (line == lines_.end() || field < 0 || static_cast<std::size_t>(field) >= line->second.size()) return {};
  return line->second[static_cast<std::size_t>(field)];
}

void TSimSettings::SetField(const std::string& key, int field, const std::string& value) {
  auto& held = lines_[key];
  if (held.size() <= static_cast<std::size_t>(field)) held.resize(static_cast<std::size_t>(field) + 1);
  held[static_cast<std::size_t>(field)] = value;
}

}  // namespace sim
