#include "tools/sim/sim_fields.h"

#include <charconv>

namespace sim {

std::vector<std::string> SplitFields(std::string_view text) {
  std::vector<std::string> fields;
  if (text.empty()) return fields;
  std::string current;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      fields.push_back(current);
      current.clear();
      continue;
    }
    current += c;
  }
  fields.push_back(current);
  return fields;
}

bool AcceptField(const TFieldSpec& spec, const std::string& field, std::string& held) {
  switch (spec.kind) {
    case TFieldSpec::Empty:
      return field.empty();
    case TFieldSpec::Text: {
      std::string text = field;
      if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
      if (text.find('"') != std::string::npos) return false;
      const auto length = static_cast<int>(text.size());
      if (length < spec.lo || length > spec.hi) return false;
      held = text;
      return true;
    }
    case TFieldSpec::Int: {
      long long value = 0;
      const char* first = field.data();
      const char* last = field.data() + field.size();
      if (first != last && *first == '+') ++first;
      const auto [end, error] = std::from_chars(first, last, value);
      if (first == last || error != std::errc() || end != last) return false;
      if (value < spec.lo || value > spec.hi) return false;
      held = std::to_string(value);
      return true;
    }
  }
  return false;
}

std::string WireField(const TFieldSpec& spec, const std::string& held) {
  switch (spec.kind) {
    case TFieldSpec::Empty: return "";
    case TFieldSpec::Text: return "\"" + held + "\"";
    case TFieldSpec::Int: return held;
  }
  return held;
}

namespace {

TFieldSpec I(int lo, int hi, int value) { return {TFieldSpec::Int, lo, hi, std::to_string(value)}; }
TFieldSpec T(int lo, int hi, std::string value = "") { return {TFieldSpec::Text, lo, hi, std::move(value)}; }
TFieldSpec E() { return {TFieldSpec::Empty, 0, 0, ""}; }

void Add(std::vector<TSettingSpec>& table, std::string mnemonic, std::vector<TFieldSpec> fields) {
  table.push_back({std::move(mnemonic), "", false, true, 0, std::move(fields)});
}

// A setting with an index whose reply leaves the index out (the viewer's
// prefix supplies it).
void AddIndexed(std::vector<TSettingSpec>& table, const std::string& mnemonic, int first, int last,
                const std::vector<TFieldSpec>& fields) {
  for (int n = first; n <= last; ++n) table.push_back({mnemonic, std::to_string(n), false, true, 0, fields});
}

// A setting whose reply starts with its own index.
void AddEchoed(std::vector<TSettingSpec>& table, const std::string& mnemonic, int n,
               const std::vector<TFieldSpec>& fields) {
  table.push_back({mnemonic, std::to_string(n), true, true, 0, fields});
}

void AddIdentity(std::vector<TSettingSpec>& table, const std::string& serial) {
  // Only the ID can be set; serial number and version are the unit's own.
  table.push_back({"IDN", "", false, true, 1, {T(0, 10), T(1, 10, serial), T(1, 6, "1.00")}});
}

void AddPrintTexts(std::vector<TSettingSpec>& table) {
  Add(table, "PFT", {T(0, 100)});
  AddIndexed(table, "PST", 1, 6, {T(0, 30)});
  Add(table, "AFT", {T(0, 20)});
}

}  // namespace

std::vector<TSettingSpec> W830Settings(int address) {
  std::vector<TSettingSpec> t;
  AddIdentity(t, "830001");
  Add(t, "ADR", {I(0, 31, address)});
  Add(t, "AOC", {I(0, 1, 0), I(0, 3, 0), I(0, 65535, 0), I(0, 65535, 0), I(0, 2, 0), I(0, 1, 0), I(0, 1, 0)});
  AddEchoed(t, "IAD", 1, {I(0, 999999, 4000), I(0, 5, 0), I(1, 7, 1), I(0, 1, 0), I(0, 999999, 0), I(0, 1, 0)});
  AddEchoed(t, "IAD", 2, {I(0, 999999, 6000), I(0, 5, 0), I(1, 7, 2), I(0, 1, 0), I(0, 999999, 0), I(0, 1, 0)});
  Add(t, "WMD", {I(1, 3, 1), I(0, 2, 0)});
  Add(t, "ENU", {I(0, 6, 2)});
  Add(t, "ICR", {I(10, 100, 50)});
  AddIndexed(t, "LBT", 0, 5, {I(0, 2, 1)});
  Add(t, "MBS", {I(0, 1, 0), I(502, 65535, 0)});
  Add(t, "MTD", {I(0, 15, 1)});
  Add(t, "ZST", {I(0, 1, 0), I(0, 15, 0), I(1, 4, 4), I(0, 999999, 0)});
  Add(t, "CWT", {I(0, 999999, 3000)});
  t.push_back({"WFP", "", false, false, 0, {I(0, 9999, 0)}});
  Add(t, "CLK", {I(0, 23, 0), I(0, 59, 0), I(0, 59, 0), I(0, 31, 0), I(1, 12, 0), I(0, 99, 0)});
  Add(t, "CFM", {I(0, 1, 0), I(0, 5, 0)});
  Add(t, "QAF", {I(0, 1, 0), I(0, 31, 0), I(1, 12, 0), I(0, 99, 0)});
  Add(t, "BRT", {I(0, 100, 0)});
  Add(t, "UNT", {I(0, 6, 0), I(0, 5, 0), I(1, 999999, 0), I(0, 1, 0)});
  Add(t, "ASF", {I(0, 14, 0), I(0, 2, 0)});
  Add(t, "ETH", {I(0, 1, 1), T(7, 15, "0.0.0.0"), T(7, 15, "255.255.255.255"), T(7, 15, "0.0.0.0"),
                 T(7, 15, "0.0.0.0"), T(7, 15, "0.0.0.0"), T(7, 23, "0.0.0.0.0.0"), T(0, 64), T(0, 255),
                 T(7, 15, "0.0.0.0")});
  Add(t, "BUZ", {I(0, 1, 0)});
  const std::vector<TFieldSpec> serial = {I(0, 9, 0), I(1, 10, 1), I(0, 2, 0), I(7, 8, 7),
                                          I(1, 2, 1), I(0, 1, 0),  I(0, 1, 0), I(0, 1, 0)};
  const std::vector<TFieldSpec> server = {E(), E(), E(), E(), E(), E(), E(), E(), I(0, 65535, 0), I(0, 86400, 0)};
  const std::vector<TFieldSpec> udpOut = {I(0, 5, 0), E(), E(), E(), E(), E(), E(), E(), I(0, 65535, 0), E(), T(7, 15)};
  const std::vector<TFieldSpec> udpIn = {I(0, 5, 0), E(), E(), E(), E(), E(), E(), E(), I(0, 65535, 0)};
  for (int k : {0, 1, 2, 3}) AddEchoed(t, "BDX", k, serial);
  for (int k : {4, 5}) AddEchoed(t, "BDX", k, server);
  for (int k : {6, 7}) AddEchoed(t, "BDX", k, serial);
  for (int k : {11, 12}) AddEchoed(t, "BDX", k, udpOut);
  for (int k : {13, 14}) AddEchoed(t, "BDX", k, udpIn);
  AddPrintTexts(t);
  Add(t, "PRS", {E(), I(1, 8, 1), I(1, 6, 1), I(0, 20, 0), I(0, 10, 0), I(1, 4, 1), I(0, 2, 0)});
  AddIndexed(t, "FBT", 1, 3, {I(0, 14, 0)});
  AddIndexed(t, "RBT", 1, 8, {I(0, 22, 0)});
  for (int n = 1; n <= 8; ++n)
    AddEchoed(t, "LIV", n, {I(0, 11, 0), I(1, 2, 1), E(), I(-99999, 999999, 0), I(0, 999999, 0), I(0, 999999, 0),
                            I(1, 2, 1), I(0, 1, 0), I(0, 4, 0), I(0, 3, 0), I(0, 2, 0)});
  Add(t, "LIW", {I(100, 60000, 0), I(100, 60000, 0), I(1, 20, 0), I(0, 20, 0), I(0, 1, 0), I(0, 60000, 0)});
  return t;
}

std::vector<TSettingSpec> W840Settings(int address) {
  std::vector<TSettingSpec> t;
  AddIdentity(t, "840001");
  Add(t, "ADR", {I(0, 31, address)});
  AddEchoed(t, "IAD", 1, {I(0, 999999, 4000), I(0, 5, 0), I(1, 7, 1), I(0, 1, 0), I(0, 999999, 0)});
  AddEchoed(t, "IAD", 2, {I(0, 999999, 6000), I(0, 5, 0), I(1, 7, 2), I(0, 1, 0), I(0, 999999, 0)});
  Add(t, "WMD", {I(1, 4, 1), I(0, 1, 0)});
  Add(t, "ENU", {I(0, 4, 2)});
  Add(t, "ICR", {I(10, 100, 50)});
  AddIndexed(t, "LBT", 0, 4, {I(0, 2, 1)});
  Add(t, "MTD", {I(0, 12, 1)});
  Add(t, "ZST", {I(0, 1, 0), I(0, 12, 0), I(1, 4, 4), I(0, 999999, 0)});
  Add(t, "CWT", {I(0, 999999, 3000)});
  // The reply names the serial port the viewer is on, counted from 1.
  t.push_back({"WFP", "", false, false, 0, {I(1, 9999, 1)}});
  Add(t, "ASF", {I(0, 14, 0), I(0, 2, 0)});
  Add(t, "ETH", {I(0, 1, 1), T(7, 15, "0.0.0.0"), T(7, 15, "255.255.255.255"), T(7, 15, "0.0.0.0"),
                 T(7, 15, "0.0.0.0"), T(7, 15, "0.0.0.0"), T(7, 23, "0.0.0.0.0.0"), T(0, 64)});
  Add(t, "BUZ", {I(0, 1, 0)});
  for (int k = 1; k <= 4; ++k)
    AddEchoed(t, "BDX", k, {I(0, 7, 0), I(1, 10, 1), I(0, 2, 0), I(7, 8, 7), I(1, 2, 1), I(0, 1, 0), I(0, 1, 0),
                            I(0, 1, 0)});
  for (int k : {5, 6})
    AddEchoed(t, "BDX", k, {E(), E(), E(), E(), E(), E(), E(), E(), I(0, 65535, k == 5 ? 2222 : 2223)});
  AddPrintTexts(t);
  Add(t, "PRS", {E(), I(1, 8, 1), I(1, 6, 1), I(0, 20, 0), I(0, 10, 0), I(1, 4, 1)});
  AddIndexed(t, "RBT", 0, 8, {I(0, 21, 0)});
  for (int n = 1; n <= 8; ++n)
    AddEchoed(t, "LIV", n, {I(0, 50, 0), I(1, 2, 1), I(1, 2, 1), I(-99999, 999999, 0), I(0, 999999, 0),
                            I(0, 999999, 0), I(1, 2, 1), I(0, 1, 0), I(0, 3, 0)});
  return t;
}

}  // namespace sim
