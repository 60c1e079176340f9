#include "protocol/comms.h"

std::string& Tcommsobj::FieldSlot(int n) {
  if (n >= kMaxFields) {
    overflow_.clear();
    return overflow_;
  }
  // Fields are taken in order, so slot n is either kept from before or the next new one.
  const auto i = static_cast<std::size_t>(n);
  if (i == FieldTexts.size()) return FieldTexts.emplace_back();
  FieldTexts[i].clear();
  return FieldTexts[i];
}

// Every display poll passes through here, so the fields' texts reuse their storage
// from one parse to the next and nothing is allocated once they have grown.
bool Tcommsobj::ParseReply(std::string_view text, bool hex, bool skipMnemonic) {
  Values.fill(0);
  Decimals.fill(0);
  Valid.fill(false);

  const uint32_t base = hex ? 16 : 10;
  bool inQuote = false;
  int count = 0;
  // The field being read. Accumulation wraps as 32-bit unsigned: a segment state
  // string of up to a hundred hexadecimal digits is read here, and its value is
  // never used.
  uint32_t value = 0;
  enum { kNone, kValid, kInvalid } state = kNone;
  bool negative = false;
  std::size_t decPos = 0;  // 1-based position of the last '.', 0 when none
  std::string* raw = &FieldSlot(0);

  auto takeField = [&] {
    if (count < kMaxFields) {
      uint32_t v = value;
      if (state == kValid && negative) v = 0u - v;
      const auto i = static_cast<std::size_t>(count);
      Values[i] = static_cast<int32_t>(v);
      Decimals[i] = static_cast<int32_t>(decPos);
      Valid[i] = state == kValid;
      ++count;
    }
    raw = &FieldSlot(count);
    value = 0;
    state = kNone;
    negative = false;
    decPos = 0;
  };

  const std::size_t start = skipMnemonic ? 3 : 0;
  for (std::size_t i = start; i < text.size(); ++i) {
    const char c = text[i];
    const auto digit = static_cast<unsigned char>(c - '0');
    if (digit < 10) {
      value = value * base + digit;
      state = kValid;
    } else {
      switch (c) {
        case ' ':
        case '+':
          break;
        case '"':
          inQuote = !inQuote;
          if (inQuote) raw->clear();
          continue;
        case ',':
          if (inQuote) break;
          if (decPos != 0) decPos = i - decPos;  // the characters between the point and the comma
          takeField();
          continue;
        case '-':
          negative = true;
          break;
        case '.':
          decPos = i + 1;
          break;
        default:
          if (hex && ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))) {
            value = value * 16 + static_cast<uint32_t>((c | 0x20) - 'a' + 10);
            state = kValid;
          } else {
            state = kInvalid;
            value = 0;
          }
      }
    }
    raw->push_back(c);
  }
  if (decPos != 0) decPos = text.size() - decPos;
  // An open quote swallows the rest of the line.
  if (!inQuote) takeField();
  fieldCount_ = count;
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
  if (n < 0 || n >= FieldCount()) return false;
  const std::string& field = FieldTexts[static_cast<std::size_t>(n)];
  if (field.size() < minLen || field.size() > maxLen) return false;
  text = field;
  return true;
}
