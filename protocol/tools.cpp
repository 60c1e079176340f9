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

std::optional<int32_t> DecimalTextToCount(std::string_view text, int places, char decimalChar) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // The number is digits x 10^exponent; leading zeros say nothing and are dropped.
  std::string digits;
  int64_t exponent = 0;
  bool anyDigit = false, separator = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      anyDigit = true;
      if (!digits.empty() || c != '0') digits += c;
      if (separator) --exponent;
    } else if ((c == '.' || c == decimalChar) && !separator) {
      separator = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return std::nullopt;
  if (i < text.size()) {
    if (text[i] != 'e' && text[i] != 'E') return std::nullopt;
    ++i;
    bool expNegative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    int64_t e = 0;
    for (; i < text.size(); ++i) {
      if (text[i] < '0' || text[i] > '9') return std::nullopt;
      e = std::min<int64_t>(e * 10 + (text[i] - '0'), 1'000'000);
    }
    exponent += expNegative ? -e : e;
  }
  exponent += places;
  if (digits.empty()) return 0;
  // Whole digits and the first dropped one; what follows only says "more than half".
  const int64_t wholeCount = static_cast<int64_t>(digits.size()) + exponent;
  constexpr int64_t kLimit = int64_t{1} << 31;
  if (wholeCount > 10) return std::nullopt;
  int64_t count = 0;
  for (int64_t k = 0; k < std::max<int64_t>(wholeCount, 0); ++k)
    count = count * 10 + (k < static_cast<int64_t>(digits.size()) ? digits[static_cast<std::size_t>(k)] - '0' : 0);
  if (wholeCount >= 0 && wholeCount < static_cast<int64_t>(digits.size())) {
    const std::size_t first = static_cast<std::size_t>(wholeCount);
    const int dropped = digits[first] - '0';
    const bool beyondHalf = digits.find_first_not_of('0', first + 1) != std::string::npos;
    if (dropped > 5 || (dropped == 5 && (beyondHalf || count % 2 != 0))) ++count;
  } else if (wholeCount < 0) {
    count = 0;  // below a tenth of the last place: nearer zero than one
  }
  if (count > (negative ? kLimit : kLimit - 1)) return std::nullopt;
  return static_cast<int32_t>(negative ? -count : count);
}

void RemoveCommonLines(std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.size() <= 1 || b.empty()) return;
  std::erase_if(a, [&](const std::string& line) { return std::find(b.begin(), b.end(), line) != b.end(); });
}
