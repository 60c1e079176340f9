#pragma once
// The one engine under both settings models. A model is its fields and its tables:
// the set-command lines in the indicator's order, the base and extended queries with
// their reply prefixes, and a loading rule per mnemonic. The engine writes, asks and
// loads from those tables alone, so the W830 and the W840 differ only in content.
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/comms.h"
#include "protocol/mnemonic.h"
#include "protocol/settingsmodel.h"

namespace settings {

// One value of a set-command line: an integer for %d, a text for %s.
struct TLineArg {
  TLineArg() = default;
  TLineArg(int32_t v) : number(v) {}
  TLineArg(bool v) : number(v ? 1 : 0) {}
  TLineArg(const std::string& t) : text(t), isText(true) {}
  int32_t number = 0;
  std::string_view text;
  bool isText = false;
};

// The values of one line, held in place: a save formats every line of a model,
// and one allocation for each would cost more than the formatting.
class TLineValues {
 public:
  static constexpr std::size_t kMax = 12;  // the longest line, LIV, has 11

  template <class... Args>
    requires(sizeof...(Args) <= kMax)
  TLineValues(const Args&... args) : values_{TLineArg(args)...}, size_(sizeof...(Args)) {}

  const TLineArg* begin() const { return values_.data(); }
  const TLineArg* end() const { return values_.data() + size_; }

 private:
  std::array<TLineArg, kMax> values_;
  std::size_t size_;
};

// Builds a line from a format of the indicator's command language, which holds only
// %d and %s. Texts go out byte for byte (a NUL does not end them, as it would with
// printf) and numbers are plain decimal digits, so no locale plays a part.
std::string FormatLine(std::string_view format, const TLineValues& values);

// One line being loaded: every setter takes its field through the parser's range
// check and leaves the target alone when the field is refused.
class TLineLoader {
 public:
  explicit TLineLoader(const Tcommsobj& parser) : p_(parser) {}

  // target := field - offset, when field is in min..max.
  bool Int(int field, int32_t min, int32_t max, int32_t& target, int32_t offset = 0) const;
  bool Flag(int field, bool& target) const;
  // A text the line format cannot carry back (a hand-edited settings file may hold a
  // ';', which would split the set command on the wire) is refused like a bad number.
  void Text(int field, std::size_t minLen, std::size_t maxLen, std::string& target) const;
  // The line's leading index, or -1 when it is out of min..max.
  int Index(int32_t min, int32_t max) const;

 private:
  const Tcommsobj& p_;
};

// A set-command line, written once for each index first..last (0..0 for a line
// without one); values gets the index so that it can pick the record and write it.
template <class M>
struct TSetLine {
  std::string_view format;
  TLineValues (*values)(const M& model, int index);
  int first = 0;
  int last = 0;
};

// How many comma-separated fields the reply to a query has (commas inside a quoted
// text do not count): exactly count, or at least count where the indicator's
// firmware has grown the reply by settings at its end (the two indicators' replies
// to the same query differ so). A count of 0 says nothing.
struct TReplyFields {
  int count = 0;
  bool orMore = false;
};
constexpr TReplyFields AtLeast(int count) { return {count, true}; }

// The queries of one mnemonic, for each index first..last: the mnemonic, "?" and
// the index text make the query; the mnemonic and the reply-index text make the
// prefix that turns the reply into a settings line. A %d in either text takes the
// index ("LBT", "%d", "%d," asks "LBT?0" and prefixes its reply with "LBT0,").
// A reply that echoes its index ("IAD?1" answers "1,...", which its loading rule
// reads as the channel) begins with the index text; one that does not echo it
// ("LDW?1" answers the value alone) tells its query only by its fields.
struct TQuery {
  std::string_view mnemonic;
  TReplyFields fields = {};
  std::string_view index = {};
  std::string_view replyIndex = {};
  int first = 0;
  int last = 0;
  bool echoesIndex = false;
};

template <class M>
using TLoadRule = void (*)(M& model, const TLineLoader& line);

// Where the two indicators' loading ranges and numbering differ.
struct TLimits {
  int32_t weighModes;         // WMD field 0 is 1..weighModes
  int32_t maxOperatingMode;
  int32_t maxUnits;
  int32_t maxMotion;          // motion detection and zero tracking choices
  int firstRemoteInput;       // RBT numbers its inputs from here
  int32_t maxRemoteFunction;
  int32_t firstWfpReply;      // the reply that names the first serial port
  int32_t maxSetpointType;
  int32_t maxAlarm;
  int32_t maxSerialUse;
};

// A serial port's eight settings, in the order of its BDX line.
struct TSerialPort {
  int32_t Use = 0;
  int32_t Baud = 0;
  int32_t Parity = 0;
  int32_t DataBits = 0;
  int32_t StopBits = 0;
  int32_t Termination = 0;
  int32_t Dtr = 0;
  int32_t Hardware = 0;

  bool operator==(const TSerialPort&) const = default;
};

template <class M>
struct TSettingsTables {
  std::vector<TSetLine<M>> lines;
  std::vector<TQuery> baseQueries;
  std::vector<TQuery> extendedQueries;
  // Keyed by the three characters exactly as they stand.
  std::map<TMnemonic, TLoadRule<M>> loaders;
};

void AppendQueries(const std::vector<TQuery>& table, std::vector<std::string>& queries,
                   std::vector<std::string>& prefixes);
// False when the table asks this query and the reply has another number of fields
// than the table gives, or echoes another index than the one asked; true for "?"
// and for every query the table does not ask.
bool ShapeFits(const std::vector<TQuery>& table, std::string_view query, std::string_view reply);

// Parses each line whose mnemonic has a rule and hands it over; shorter lines and
// unknown mnemonics are passed over.
class TLineWalk {
 public:
  template <class M, class Apply>
  void Each(const std::vector<std::string>& lines, const std::map<TMnemonic, TLoadRule<M>>& rules,
            Apply apply) {
    const TLineLoader loader(parser_);
    for (const std::string& line : lines) {
      if (line.size() < 3) continue;
      const auto it = rules.find(TMnemonic(line));
      if (it == rules.end()) continue;
      parser_.ParseReply(line, false, true);
      apply(it->second, loader);
    }
  }

 private:
  Tcommsobj parser_;
};

// The line lists of a table, one after the other.
template <class M>
std::vector<TSetLine<M>> Join(std::initializer_list<std::vector<TSetLine<M>>> parts) {
  std::vector<TSetLine<M>> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The operations of a model over its tables. M provides static MakeTables() and
// static ClearSetpoint(setpoint), which clears what that model clears.
template <class M>
class TTableModel : public TSettingsModel {
 public:
  static const TSettingsTables<M>& Tables() {
    static const TSettingsTables<M> tables = M::MakeTables();
    return tables;
  }

  void ClearSetpoints(int n, bool all) final {
    auto& setpoints = static_cast<M&>(*this).Setpoints;
    for (std::size_t i = 0; i < setpoints.size(); ++i)
      if (all || static_cast<int>(i) == n) M::ClearSetpoint(setpoints[i]);
  }
  void BuildSetCommands(std::vector<std::string>& list) const final {
    list.clear();
    std::size_t count = 0;
    for (const TSetLine<M>& line : Tables().lines) count += static_cast<std::size_t>(line.last - line.first + 1);
    list.reserve(count);
    const M& self = static_cast<const M&>(*this);
    for (const TSetLine<M>& line : Tables().lines)
      for (int index = line.first; index <= line.last; ++index)
        list.push_back(FormatLine(line.format, line.values(self, index)));
  }
  void BuildQueries(bool extended, std::vector<std::string>& queries,
                    std::vector<std::string>& prefixes) const final {
    queries.clear();
    prefixes.clear();
    AppendQueries(Tables().baseQueries, queries, prefixes);
    if (extended) AppendQueries(Tables().extendedQueries, queries, prefixes);
  }
  bool ReplyFits(const std::string& query, const std::string& reply) const final {
    return ShapeFits(Tables().baseQueries, query, reply) && ShapeFits(Tables().extendedQueries, query, reply);
  }
  void LoadReplies(const std::vector<std::string>& lines) final {
    M& self = static_cast<M&>(*this);
    TLineWalk().Each(lines, Tables().loaders, [&](TLoadRule<M> rule, const TLineLoader& line) { rule(self, line); });
  }

  bool operator==(const TTableModel&) const = default;
};

// A text the set-line format can carry: no '"' (it would end the field), nor the
// command or line terminators.
bool IsStorableText(std::string_view text);
// Field n (0-based) of text split at separator; empty when there is none.
std::string GetField(std::string_view text, int n, char separator);
// Removes every character of text that is not in allowed.
void FilterChars(std::string& text, std::string_view allowed);
// The parts reduced to their digits and joined with '.'; empty when a part has none.
std::string JoinAddress(const std::vector<std::string>& parts);

}  // namespace settings
