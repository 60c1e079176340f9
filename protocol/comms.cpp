#include "protocol/comms.h"

#include <algorithm>

// Every display poll passes through here, so the fields' texts reuse one buffer
// from one parse to the next and nothing is allocated once it has grown.
bool Tcommsobj::ParseReply(std::string_view text, bool hex, bool skipMnemonic) {
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
  // A field's raw text is every byte of it but the quotes and what stands ahead of
  // its last opening quote, so the texts of a line never outgrow the line.
  if (texts_.size() < text.size()) texts_.resize(text.size());
  char* const raw = texts_.data();
  std::size_t fieldStart = 0;
  std::size_t rawEnd = 0;

  const char* const chars = text.data();
  const std::size_t size = text.size();
  // The line's end closes the last field as a comma would, unless a quote is open:
  // an open quote swallows the rest of the line, and the field it opened is dropped.
  for (std::size_t i = std::min<std::size_t>(skipMnemonic ? 3 : 0, size); i <= size; ++i) {
    const char c = i < size ? chars[i] : ',';
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
          if (inQuote) rawEnd = fieldStart;
          continue;
        case ',':
          if (inQuote) break;
          if (count < kMaxFields) {
            if (state == kValid && negative) value = 0u - value;
            // The decimals are the characters between the last point and the comma.
            fields_[static_cast<std::size_t>(count)] = {static_cast<int32_t>(value),
                                                         static_cast<int32_t>(decPos != 0 ? i - decPos : 0),
                                                         state == kValid, fieldStart, rawEnd - fieldStart};
            ++count;
          }
          fieldStart = rawEnd;
          value = 0;
          state = kNone;
          negative = false;
          decPos = 0;
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
    raw[rawEnd++] = c;
  }
  fieldCount_ = count;
  return !inQuote && count >= 1;
}

bool Tcommsobj::GetInteger(int n, int32_t& value, int32_t min, int32_t max, int32_t& decimals) const {
  if (!GetInteger(n, value, min, max)) return false;
  decimals = fields_[static_cast<std::size_t>(n)].decimals;
  return true;
}

// The settings loaders ask for every field through here.
bool Tcommsobj::GetInteger(int n, int32_t& value, int32_t min, int32_t max) const {
  if (n < 0 || n >= fieldCount_) return false;
  const TField& field = fields_[static_cast<std::size_t>(n)];
  if (!field.valid || field.value < min || field.value > max) return false;
  value = field.value;
  return true;
}

bool Tcommsobj::GetString(int n, std::string& text, std::size_t minLen, std::size_t maxLen) const {
  if (n < 0 || n >= fieldCount_) return false;
  const TField& field = fields_[static_cast<std::size_t>(n)];
  if (field.size < minLen || field.size > maxLen) return false;
  text.assign(texts_, field.start, field.size);
  return true;
}
