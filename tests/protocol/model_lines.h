#pragma once
// What the tests of both settings models ask of a model's lines and queries.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "protocol/settingsmodel.h"

using QueryPairs = std::vector<std::pair<std::string, std::string>>;

// A failed comparison of whole models shows their set lines and what only replies carry.
inline void PrintLinesAndReplyFields(const TSettingsModel& m, std::ostream* os) {
  std::vector<std::string> lines;
  m.BuildSetCommands(lines);
  for (const auto& line : lines) *os << "\n  " << line;
  *os << "\n  WFP " << m.GetWFP() << " direct " << m.DirectZero << " " << m.DirectSpan << " IDN \""
      << m.SerialNumber << "\" \"" << m.SoftwareVersion << "\"";
  for (std::size_t n = 0; n < m.LinPercent.size(); ++n)
    *os << "\n  LIC" << n + 1 << "," << m.LinPercent[n] << "," << m.LinWeight[n];
}

inline std::vector<std::string> SetCommands(const TSettingsModel& m) {
  std::vector<std::string> lines;
  m.BuildSetCommands(lines);
  return lines;
}

// A model with every written setting away from its default writes lines that all
// differ from the default ones and load back into an equal model.
template <class Model>
void ExpectRoundTrip(const Model& changed) {
  const std::vector<std::string> defaults = SetCommands(Model());
  const std::vector<std::string> lines = SetCommands(changed);
  ASSERT_EQ(lines.size(), defaults.size());
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_NE(lines[i], defaults[i]) << "the fixture leaves line " << i;
  Model loaded;
  loaded.LoadReplies(lines);
  EXPECT_EQ(SetCommands(loaded), lines);
  EXPECT_EQ(loaded, changed);
}

// The model's queries with their reply prefixes; both lists start afresh.
template <class Model>
QueryPairs BuiltQueries(bool extended) {
  std::vector<std::string> queries = {"stale"}, prefixes = {"stale"};
  Model().BuildQueries(extended, queries, prefixes);
  EXPECT_EQ(queries.size(), prefixes.size());
  QueryPairs out;
  for (std::size_t i = 0; i < std::min(queries.size(), prefixes.size()); ++i) out.emplace_back(queries[i], prefixes[i]);
  return out;
}

// A model loaded with one reply to each base query, behind its prefix.
template <class Model>
Model LoadedBaseReplies(const std::vector<std::string>& replies) {
  Model m;
  std::vector<std::string> queries, prefixes;
  m.BuildQueries(false, queries, prefixes);
  EXPECT_EQ(prefixes.size(), replies.size());
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < std::min(replies.size(), prefixes.size()); ++i) lines.push_back(prefixes[i] + replies[i]);
  m.LoadReplies(lines);
  return m;
}
