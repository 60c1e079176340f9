#pragma once
// The shape of the indicator's settings lines: which fields a line holds, what
// each accepts, and how a held line is written back as a reply.
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct TFieldSpec {
  enum Kind { Int, Text, Empty };
  Kind kind;
  int lo;             // Int: smallest value; Text: shortest length
  int hi;             // Int: largest value; Text: longest length
  std::string value;  // the default, as held (texts without quotes)
};

// One setting held by the indicator, answered to "<mnemonic>?<index>" and set
// by "<mnemonic><index>,<fields>" (or "<mnemonic><fields>" without an index).
struct TSettingSpec {
  std::string mnemonic;
  std::string index;          // "" for settings without an index
  bool echoIndex = false;     // the reply repeats the index as its first field
  bool writable = true;       // false: the indicator only reports it
  std::size_t settable = 0;   // fields a set line may change; 0 = all
  std::vector<TFieldSpec> fields;
};

// Splits the text after a mnemonic at commas outside double quotes; quoted
// fields keep their quotes so that the caller can tell text from number.
std::vector<std::string> SplitFields(std::string_view text);

// True when `field` (as received, quotes included) is acceptable for `spec`;
// `held` receives the value to keep.
bool AcceptField(const TFieldSpec& spec, const std::string& field, std::string& held);

// A field as it appears on the wire.
std::string WireField(const TFieldSpec& spec, const std::string& held);

// The settings tables of the two models, with their defaults.
std::vector<TSettingSpec> W830Settings(int address);
std::vector<TSettingSpec> W840Settings(int address);

}  // namespace sim
