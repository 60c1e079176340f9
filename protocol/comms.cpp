#include "protocol/comms.h"

namespace {

// Accumulation wraps as 32-bit unsigned: a segment state string of up to a hundred
// hexadecimal digits passes through here on every poll, and its value is never used.
struct FieldState {
  uint32_t value = 0;
  enum { kNone, kValid, kInvalid } state = kNone;
  bool negative = false;
  std::size_t decPos = 0;  // 1-based position of the last '.', 0 when none
  std::string raw;
};

}  // namespace

bool Tcommsobj::ParseReply(std::string_view text, bool hex, bool skipMnemonic) {
  FieldTexts.clear();
  Values.fill(0);
  Decimals.fill(0);
  Valid.fill(false);

  const uint32_t base = hex ? 16 : 10;
  bool inQuote = false;
  int count = 0;
  FieldState f;

  auto takeField = [&] {
    if (inQuote) return;
    if (count < kMaxFields) {
      FieldTexts.push_back(std::move(f.raw));
      uint32_t v = f.value;
      if (f.state == FieldState::kValid && f.negative) v = 0u - v;
      Values[static_cast<std::size_t>(count)] = static_cast<int32_t>(v);
      Decimals[static_cast<std::size_t>(count)] = static_cast<int32_t>(f.decPos);
      Valid[static_cast<std::size_t>(count)] = f.state == FieldState::kValid;
      ++count;
    }
    f = FieldState{};
  };

  const std::size_t start = skipMnemonic ? 3 : 0;
  for (std::size_t i = start; i < text.size(); ++i) {
    const char c = text[i];
    const std::size_t pos = i + 1;
    bool keep = true;
    if (c == ' ' || c == '+') {
    } else if (c == '"') {
      inQuote = !inQuote;
      if (inQuote) f.raw.clear();
      keep = false;
    } else if (c == ',') {
      if (!inQuote) {
        if (f.decPos != 0) f.decPos = pos - f.decPos - 1;
        takeField();
        keep = false;
      }
    } else if (c == '-') {
      f.negative = true;
    } else if (c == '.') {
      f.decPos = pos;
    } else if (c >= '0' && c <= '9') {
      f.value = f.value * base + static_cast<uint32_t>(c - '0');
      f.state = FieldState::kValid;
    } else if (hex && ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))) {
      f.value = f.value * 16 + static_cast<uint32_t>((c | 0x20) - 'a' + 10);
      f.state = FieldState::kValid;
    } else {
      f.state = FieldState::kInvalid;
      f.value = 0;
    }
    if (keep) f.raw += c;
  }
  if (f.decPos != 0) f.decPos = text.size() - f.decPos;
  takeField();
  return !inQuote && count >= 1;
}

bool Tcommsobj::GetInteger(int n, int32_t& value, int32_t min, int32_t max, int32_t& decimals) const {
  if (n < 0 || n >= kMaxFields) return false;
  const auto i = static_cast<std::size_t>(n);
  if (!Valid[i] || Values[i] < min || Values[i] > max) return false;
  value = Values[i];
  decimals = Decimals[i];
  return true;
}

bool Tcommsobj::GetInteger(int n, int32_t& value, int32_t min, int32_t max) const {
  int32_t decimals = 0;
  return GetInteger(n, value, min, max, decimals);
}

bool Tcommsobj::GetString(int n, std::string& text, std::size_t minLen, std::size_t maxLen) const {
  if (n < 0 || n >= kMaxFields || n >= FieldCount()) return false;
  const std::string& field = FieldTexts[static_cast<std::size_t>(n)];
  if (field.size() < minLen || field.size() > maxLen) return false;
  text = field;
  return true;
}
