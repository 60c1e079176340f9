#include "protocol/tools.h"

#include <algorithm>
#include <limits>

int32_t DigitsToInt(std::string_view text) {
  constexpr int64_t kCap = int64_t{1} << 31;
  int64_t value = 0;
  bool negative = false;
  for (const char c : text) {
    if (c == '-') {
      negative = true;
    } else if (c >= '0' && c <= '9') {
      value = std::min(kCap, value * 10 + (c - '0'));
    }
  }
  if (negative) return static_cast<int32_t>(-value);
  return static_cast<int32_t>(std::min<int64_t>(value, std::numeric_limits<int32_t>::max()));
}

std::string IntToFixedStr(int32_t value, int decimals, char decimalChar) {
  if (decimals < 0 || decimals > 5) return std::string();
  const bool negative = value < 0;
  uint64_t magnitude = negative ? uint64_t{0} - static_cast<uint64_t>(static_cast<int64_t>(value))
                                : static_cast<uint64_t>(value);
  // Digits from the right: the fraction places first, then the integer part.
  char buffer[32];
  char* end = buffer + sizeof buffer;
  char* p = end;
  for (int i = 0; i < decimals; ++i) {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  if (decimals > 0) *--p = decimalChar;
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) *--p = '-';
  return std::string(p, end);
}

std::string FixDecimals(std::string_view text, int decimals, char decimalChar) {
  const std::size_t sep = text.find_first_of(".,");
  const std::string_view integerPart = text.substr(0, sep);
  std::string out(integerPart.empty() ? std::string_view("0") : integerPart);
  if (decimals <= 0) return out;
  std::string_view fraction = sep == std::string_view::npos ? std::string_view() : text.substr(sep + 1);
  out += decimalChar;
  for (int i = 0; i < decimals; ++i)
    out += static_cast<std::size_t>(i) < fraction.size() ? fraction[static_cast<std::size_t>(i)] : '0';
  return out;
}

double StrToFixedFloat(std::string_view text) {
  // Past eighteen digits the text is no number the programs wrote; the value stops
  // growing there rather than overflowing.
  constexpr int64_t kLimit = 100'000'000'000'000'000;
  int64_t value = 0;
  int64_t divisor = 0;
  bool negative = false;
  for (const char c : text) {
    if (c == '-') {
      negative = true;
    } else if (c == '.') {
      divisor = 1;
    } else {
      const int worth = static_cast<unsigned char>(c) - '0';
      if (value < kLimit && value > -kLimit && divisor < kLimit) {
        value = value * 10 + worth;
        divisor *= 10;
      }
    }
  }
  const double v = static_cast<double>(negative ? -value : value);
  return v / static_cast<double>(divisor == 0 ? 1 : divisor);
}

namespace {
bool SameIgnoringCase(const std::string& x, const std::string& y) {
  return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), [](char p, char q) {
           auto lower = [](unsigned char ch) {
             // Latin-1 letters fold too: À..Þ (but not ×) to à..þ.
             if ((ch >= 'A' && ch <= 'Z') || (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7)) return ch + 32;
             return static_cast<int>(ch);
           };
           return lower(static_cast<unsigned char>(p)) == lower(static_cast<unsigned char>(q));
         });
}
}  // namespace

void RemoveCommonLines(std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.size() <= 1 || b.empty()) return;
  std::erase_if(a, [&](const std::string& line) {
    return std::any_of(b.begin(), b.end(), [&](const std::string& other) { return SameIgnoringCase(line, other); });
  });
}
