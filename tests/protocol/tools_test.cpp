#include "protocol/tools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(DigitsToInt, ReadsDigitsAndSaturates) {
  const struct {
    const char* text;
    int32_t want;
  } cases[] = {
      {"-1,234.5", -12345},
      {"abc", 0},
      {"1-2", -12},
      {"", 0},
      {"12.50", 1250},
      {"99999999999", std::numeric_limits<int32_t>::max()},
      {"-99999999999", std::numeric_limits<int32_t>::min()},
      {"2147483647", 2147483647},
      {"2147483648", std::numeric_limits<int32_t>::max()},
      {"-2147483648", std::numeric_limits<int32_t>::min()},
  };
  for (const auto& c : cases) EXPECT_EQ(DigitsToInt(c.text), c.want) << c.text;
}

TEST(IntToFixedStr, WritesScaledIntegersWithTheGivenSeparator) {
  const struct {
    int32_t value;
    int decimals;
    char sep;
    const char* want;
  } cases[] = {
      {1250, 2, '.', "12.50"},   {5, 2, '.', "0.05"},       {-5, 1, '.', "-0.5"},
      {1234, 6, '.', ""},        {1234, -1, '.', ""},       {-1234, 0, ',', "-1234"},
      {1234, 3, ',', "1,234"},   {0, 3, '.', "0.000"},      {-123456, 5, ',', "-1,23456"},
      {std::numeric_limits<int32_t>::min(), 2, '.', "-21474836.48"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IntToFixedStr(c.value, c.decimals, c.sep), c.want) << c.value << "/" << c.decimals;
}

TEST(FixDecimals, CutsOrPadsWithoutRounding) {
  const struct {
    const char* text;
    int decimals;
    char sep;
    const char* want;
  } cases[] = {
      {"12.345", 2, '.', "12.34"}, {"7", 3, ',', "7,000"}, {".5", 2, '.', "0.50"},
      {"12.3", 0, '.', "12"},      {"", 1, '.', "0.0"},    {"3,14159", 2, '.', "3.14"},
  };
  for (const auto& c : cases) EXPECT_EQ(FixDecimals(c.text, c.decimals, c.sep), c.want) << c.text;
}

TEST(StrToFixedFloat, ReadsLogNumbers) {
  const struct {
    const char* text;
    double want;
  } cases[] = {
      {"12.34", 12.34}, {"-0.5", -0.5}, {"7", 7.0}, {"1.2.3", 12.3}, {"", 0.0}, {" 1", -159.0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(StrToFixedFloat(c.text), c.want) << c.text;
  EXPECT_TRUE(std::isfinite(StrToFixedFloat(std::string(5000, '9'))));
}

TEST(RemoveCommonLines, KeepsOnlyTheLinesThatChanged) {
  using Lines = std::vector<std::string>;
  const struct {
    Lines a, b, want;
  } cases[] = {
      {{"ADR1", "CWT3000", "ENU2"}, {"ENU2", "adr1"}, {"CWT3000"}},
      {{"ADR1"}, {"ADR1"}, {"ADR1"}},
      {{"ADR1", "ENU2"}, {}, {"ADR1", "ENU2"}},
      {{"ADR1", "ADR1", "ENU3"}, {"ADR1"}, {"ENU3"}},
  };
  for (const auto& c : cases) {
    Lines a = c.a;
    RemoveCommonLines(a, c.b);
    EXPECT_EQ(a, c.want);
  }
}
