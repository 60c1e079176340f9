#include "protocol/tools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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

TEST(DecimalTextToCount, RoundsTheWrittenDecimalHalfToEven) {
  const struct {
    const char* text;
    int places;
    char sep;
    std::optional<int32_t> want;
  } cases[] = {
      {"0.00015", 4, '.', 2},     {"0.00305", 4, '.', 30},    {"0.00025", 4, '.', 2},
      {"-0.00015", 4, '.', -2},   {"0.000150001", 4, '.', 2}, {"0.000149999", 4, '.', 1},
      {"0.00005", 4, '.', 0},     {"0.000051", 4, '.', 1},    {"0.000006", 4, '.', 0},
      {" 1,23456 ", 4, ',', 12346}, {"1.23456", 4, ',', 12346}, {"+3.2", 4, '.', 32000},
      {"1.5e-3", 4, '.', 15},     {"35E-5", 4, '.', 4},       {"12", 0, '.', 12},
      {".5", 0, '.', 0},          {"1.5", 0, '.', 2},         {"-0", 4, '.', 0},
      {"214748.3647", 4, '.', 2147483647}, {"-214748.3648", 4, '.', -2147483647 - 1},
      {"214748.3648", 4, '.', std::nullopt}, {"1e400", 4, '.', std::nullopt},
      {"", 4, '.', std::nullopt}, {".", 4, '.', std::nullopt},   {"abc", 4, '.', std::nullopt},
      {"1,5", 4, '.', std::nullopt}, {"1.2.3", 4, '.', std::nullopt}, {"+-1", 4, '.', std::nullopt},
      {"1e", 4, '.', std::nullopt}, {"inf", 4, '.', std::nullopt}, {"nan", 4, '.', std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(DecimalTextToCount(c.text, c.places, c.sep), c.want) << c.text;
}

// Every half at the fifth decimal goes to the even neighbour, which binary
// floating point gets wrong for some of them.
TEST(DecimalTextToCount, EveryHalfOfTheLastPlaceGoesToTheEvenNeighbour) {
  for (int k = 0; k < 100000; ++k) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%04d5", k / 10000, k % 10000);
    EXPECT_EQ(DecimalTextToCount(text, 4, '.'), k % 2 == 0 ? k : k + 1) << text;
  }
}

TEST(RemoveCommonLines, KeepsOnlyTheLinesThatChanged) {
  using Lines = std::vector<std::string>;
  const struct {
    Lines a, b, want;
  } cases[] = {
      {{"ADR1", "CWT3000", "ENU2"}, {"ENU2", "ADR1"}, {"CWT3000"}},
      {{"IDN\"SCALE\"", "ENU2"}, {"IDN\"Scale\"", "ENU2"}, {"IDN\"SCALE\""}},
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
