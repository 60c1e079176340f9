#pragma once
// Scaled integers (an implied number of decimal places, as the indicator keeps
// weights) to and from display text, and the difference of two command lists.
// None of these raises for bad text.
#include <cstdint>
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

// Deletes from a every line that b holds, compared without regard to letter case;
// only when a holds more than one line and b at least one.
void RemoveCommonLines(std::vector<std::string>& a, const std::vector<std::string>& b);
