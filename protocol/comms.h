#pragma once
// Splits one reply line of the indicator (or a settings line, or a weight log
// line) into comma-separated fields with a scaled integer value, a count of
// decimal places, a validity flag and the raw text. Callers know which field
// means what; this knows nothing of mnemonics.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class Tcommsobj {
 public:
  static constexpr int kMaxFields = 20;

  // Replaces the fields by those of text. hex reads numbers in base 16; skipMnemonic
  // starts after the three-letter mnemonic. False when the text ends inside a quote.
  bool ParseReply(std::string_view text, bool hex, bool skipMnemonic);

  // Field n as an integer in min..max; false (outputs untouched) when it is not.
  bool GetInteger(int n, int32_t& value, int32_t min, int32_t max, int32_t& decimals) const;
  bool GetInteger(int n, int32_t& value, int32_t min, int32_t max) const;
  // Field n's raw text when its length is in minLen..maxLen.
  bool GetString(int n, std::string& text, std::size_t minLen, std::size_t maxLen) const;

  int FieldCount() const { return fieldCount_; }

 private:
  // Field n of the last parse, for n below fieldCount_; its raw text is size bytes
  // from start in texts_, one buffer for all fields that keeps its storage from
  // parse to parse.
  struct TField {
    int32_t value = 0;
    int32_t decimals = 0;
    bool valid = false;
    std::size_t start = 0;
    std::size_t size = 0;
  };
  std::array<TField, kMaxFields> fields_{};
  std::string texts_;
  int fieldCount_ = 0;
};
