#include "protocol/settingsengine.h"

#include <algorithm>
#include <charconv>

namespace settings {

std::string FormatLine(std::string_view format, const TLineValues& values) {
  // Room for the longest line these values make, so that the line grows once.
  std::size_t room = format.size();
  for (const TLineArg& value : values) room += value.isText ? value.text.size() : 11;
  std::string out;
  out.reserve(room);
  auto next = values.begin();
  std::size_t done = 0;  // the format up to here is written
  for (std::size_t p = format.find('%'); p != std::string_view::npos && p + 1 < format.size() && next != values.end();
       p = format.find('%', done)) {
    out.append(format.substr(done, p - done));
    if (next->isText) {
      out.append(next->text);
    } else {
      char digits[16];
      out.append(digits, std::to_chars(digits, digits + sizeof digits, next->number).ptr);
    }
    ++next;
    done = p + 2;
  }
  out.append(format.substr(done));
  return out;
}

bool TLineLoader::Int(int field, int32_t min, int32_t max, int32_t& target, int32_t offset) const {
  int32_t v = 0;
  if (!p_.GetInteger(field, v, min, max)) return false;
  target = v - offset;
  return true;
}

bool TLineLoader::Flag(int field, bool& target) const {
  int32_t v = 0;
  if (!p_.GetInteger(field, v, 0, 1)) return false;
  target = v == 1;
  return true;
}

void TLineLoader::Text(int field, std::size_t minLen, std::size_t maxLen, std::string& target) const {
  std::string text;
  if (p_.GetString(field, text, minLen, maxLen) && IsStorableText(text)) target = std::move(text);
}

int TLineLoader::Index(int32_t min, int32_t max) const {
  int32_t v = 0;
  return p_.GetInteger(0, v, min, max) ? v : -1;
}

void AppendQueries(const std::vector<TQuery>& table, std::vector<std::string>& queries,
                   std::vector<std::string>& prefixes) {
  for (const TQuery& q : table) {
    for (int index = q.first; index <= q.last; ++index) {
      const std::string mnemonic(q.mnemonic);
      queries.push_back(mnemonic + "?" + FormatLine(q.index, {index}));
      prefixes.push_back(mnemonic + FormatLine(q.replyIndex, {index}));
    }
  }
}

namespace {

bool FieldsFit(TReplyFields fields, std::string_view reply) {
  if (fields.count == 0) return true;
  Tcommsobj parser;
  parser.ParseReply(reply, false, false);
  const int count = parser.FieldCount();
  return fields.orMore ? count >= fields.count : count == fields.count;
}

}  // namespace

bool ShapeFits(const std::vector<TQuery>& table, std::string_view query, std::string_view reply) {
  if (reply == "?") return true;
  for (const TQuery& q : table) {
    if (!query.starts_with(q.mnemonic) || query.substr(q.mnemonic.size(), 1) != "?") continue;
    const std::string_view asked = query.substr(q.mnemonic.size() + 1);
    for (int index = q.first; index <= q.last; ++index) {
      const std::string echo = FormatLine(q.index, {index});
      if (asked != echo) continue;
      if (q.echoesIndex && reply.substr(0, reply.find(',')) != echo) return false;
      return FieldsFit(q.fields, reply);
    }
  }
  return true;
}

bool IsStorableText(std::string_view text) { return text.find_first_of("\";\r\n") == std::string_view::npos; }

std::string GetField(std::string_view text, int n, char separator) {
  for (int i = 0; i < std::max(n, 0); ++i) {
    const std::size_t p = text.find(separator);
    if (p == std::string_view::npos) return std::string();
    text.remove_prefix(p + 1);
  }
  return std::string(text.substr(0, text.find(separator)));
}

void FilterChars(std::string& text, std::string_view allowed) {
  std::erase_if(text, [&](char c) { return allowed.find(c) == std::string_view::npos; });
}

std::string JoinAddress(const std::vector<std::string>& parts) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    std::string part = parts[i];
    FilterChars(part, "0123456789");
    if (part.empty()) return std::string();
    if (i) out += '.';
    out += part;
  }
  return out;
}

}  // namespace settings

bool TSettingsModel::HasProtectedCommands(const std::vector<std::string>& list) {
  static constexpr std::string_view kProtected[] = {"CWT", "ENU", "IAD", "ICR", "LBT", "MTD", "WMD", "ZST"};
  return std::any_of(list.begin(), list.end(), [](const std::string& line) {
    if (line.size() < 3) return false;
    const std::string_view m = std::string_view(line).substr(0, 3);
    return std::find(std::begin(kProtected), std::end(kProtected), m) != std::end(kProtected);
  });
}
