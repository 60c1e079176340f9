#pragma once
// Scaled integers (an implied number of decimal places, as the indicator keeps
// weights) to and from display text, and the difference of two command lists.
// None of these raises for bad text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads the digits of an edited value as a scaled integer: '-' anywhere makes it
// negative, every other non-digit is skipped. Saturates at the 32-bit limits so a
// range check rejects an overlong entry instead of seeing a wrapped number.
int32_t DigitsToInt(std::string_view text);

// value / 10^decimals with exactly `decimals` places (0..5) and decimalChar as the
// separator; any other decimal count gives the empty text.
std::string IntToFixedStr(int32_t value, int decimals, char decimalChar);

// Brings decimal text to exactly `decimals` places without rounding; '.' and ','
// both count as the separator in the input.
std::string FixDecimals(std::string_view text, int decimals, char decimalChar);

// The decimal reader of weight log files and chart set-up fields.
double StrToFixedFloat(std::string_view text);

// A typed decimal number as an integer count of 10^-places, rounded half to even on
// the decimal digits themselves, so a half stays a half ("0.00015" with 4 places is
// 2). Takes blanks around the number, a sign, '.' or decimalChar as the separator
// and an exponent ("1.5e-3"). Nothing for a text that is no number or whose count
// has no 32-bit integer.
std::optional<int32_t> DecimalTextToCount(std::string_view text, int places, char decimalChar);

// Deletes from a every line that b holds, compared exactly (a change of letter case
// is a change); only when a holds more than one line and b at least one.
void RemoveCommonLines(std::vector<std::string>& a, const std::vector<std::string>& b);
