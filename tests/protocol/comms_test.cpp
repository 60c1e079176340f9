#include "protocol/comms.h"

#include <gtest/gtest.h>

namespace {

struct Field {
  int32_t value;
  int32_t decimals;
  bool valid;
  std::string text;
};

struct ParseCase {
  const char* name;
  std::string line;
  bool hex;
  bool skipMnemonic;
  bool result;
  std::vector<Field> fields;
};

void ExpectFields(const Tcommsobj& p, const std::vector<Field>& fields) {
  ASSERT_EQ(p.FieldCount(), static_cast<int>(fields.size()));
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const int n = static_cast<int>(i);
    std::string text;
    EXPECT_TRUE(p.GetString(n, text, 0, 1000));
    EXPECT_EQ(text, fields[i].text) << "field " << i;
    int32_t value = -777, decimals = -777;
    EXPECT_EQ(p.GetInteger(n, value, INT32_MIN, INT32_MAX, decimals), fields[i].valid) << "field " << i;
    if (fields[i].valid) {
      EXPECT_EQ(value, fields[i].value) << "field " << i;
      EXPECT_EQ(decimals, fields[i].decimals) << "field " << i;
    }
  }
}

TEST(ParseReply, SplitsFieldsAsTheIndicatorWritesThem) {
  const ParseCase cases[] = {
      {"scaled, negative, text", "12.5,-3,abc", false, false, true,
       {{125, 1, true, "12.5"}, {-3, 0, true, "-3"}, {0, 0, false, "abc"}}},
      {"trailing minus", "5-", false, false, true, {{-5, 0, true, "5-"}}},
      {"plus kept in raw text", "+7", false, false, true, {{7, 0, true, "+7"}}},
      {"leading space", " 42", false, false, true, {{42, 0, true, " 42"}}},
      {"quoted comma", "\"a,b\",7", false, false, true, {{0, 0, false, "a,b"}, {7, 0, true, "7"}}},
      {"mnemonic skipped", "ADR12", false, true, true, {{12, 0, true, "12"}}},
      {"mnemonic alone", "ADR", false, true, true, {{0, 0, false, ""}}},
      {"hex", "1F", true, false, true, {{31, 0, true, "1F"}}},
      {"hex letters in decimal", "1F", false, false, true, {{0, 0, false, "1F"}}},
      {"point counts every trailing character", "1.50 ", false, false, true, {{150, 3, true, "1.50 "}}},
      {"point in a middle field", "1.50 ,2", false, false, true, {{150, 3, true, "1.50 "}, {2, 0, true, "2"}}},
      {"unit after the number", "1.50kg", false, false, true, {{0, 3, false, "1.50kg"}}},
      {"letters before a number", "kg12", false, false, true, {{12, 0, true, "kg12"}}},
      {"letter between digits", "1x2", false, false, true, {{2, 0, true, "1x2"}}},
      {"empty text", "", false, false, true, {{0, 0, false, ""}}},
      {"later point replaces the earlier", "1.2.3", false, false, true, {{123, 1, true, "1.2.3"}}},
      {"hex lower case", "ff", true, false, true, {{255, 0, true, "ff"}}},
      {"opening quote drops what came before", "ab\"cd\"", false, false, true, {{0, 0, false, "cd"}}},
      {"digits in a quote still count", "\"12\"", false, false, true, {{12, 0, true, "12"}}},
      {"accumulator wraps at 32 bits", "4294967297", false, false, true, {{1, 0, true, "4294967297"}}},
      {"most negative value", "-2147483648", false, false, true, {{INT32_MIN, 0, true, "-2147483648"}}},
      {"empty fields", ",,", false, false, true, {{0, 0, false, ""}, {0, 0, false, ""}, {0, 0, false, ""}}},
      {"open quote swallows the rest", "1,\"abc", false, false, false, {{1, 0, true, "1"}}},
  };
  // A parser that has read longer lines, more fields and every case before must
  // give what a fresh one gives: nothing of an earlier line may be left over.
  Tcommsobj reused;
  std::string wide;
  for (int i = 0; i < 25; ++i) wide += "\"a long text field " + std::to_string(i) + "\",";
  reused.ParseReply(wide, false, false);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Tcommsobj p;
    EXPECT_EQ(p.ParseReply(c.line, c.hex, c.skipMnemonic), c.result);
    ExpectFields(p, c.fields);
    EXPECT_EQ(reused.ParseReply(c.line, c.hex, c.skipMnemonic), c.result);
    ExpectFields(reused, c.fields);
  }
}

TEST(ParseReply, KeepsTwentyFieldsAndDropsTheRest) {
  std::string line;
  for (int i = 0; i < 30; ++i) line += std::to_string(i) + ",";
  Tcommsobj p;
  EXPECT_TRUE(p.ParseReply(line, false, false));
  EXPECT_EQ(p.FieldCount(), Tcommsobj::kMaxFields);
  int32_t v = 0;
  EXPECT_TRUE(p.GetInteger(19, v, 0, 100));
  EXPECT_EQ(v, 19);
  EXPECT_FALSE(p.GetInteger(20, v, 0, 100));
  std::string s;
  EXPECT_FALSE(p.GetString(20, s, 0, 100));
}

TEST(ParseReply, ALongSegmentStringIsKeptWholeAndWrapsHarmlessly) {
  const std::string segments(100, 'F');
  Tcommsobj p;
  EXPECT_TRUE(p.ParseReply(segments, false, false));
  std::string text;
  EXPECT_TRUE(p.GetString(0, text, 12, 100));
  EXPECT_EQ(text, segments);
  EXPECT_TRUE(p.ParseReply(std::string(100, '9'), true, false));
}

TEST(ParseReply, GettersRefuseOutOfRangeAndMissingFields) {
  Tcommsobj p;
  p.ParseReply("5,abc", false, false);
  int32_t v = 99;
  EXPECT_FALSE(p.GetInteger(0, v, 6, 10));
  EXPECT_EQ(v, 99);
  std::string s = "keep";
  EXPECT_FALSE(p.GetString(1, s, 4, 10));
  EXPECT_FALSE(p.GetString(2, s, 0, 10));
  EXPECT_EQ(s, "keep");
  EXPECT_FALSE(p.GetInteger(-1, v, 0, 10));
}

}  // namespace
