// A full settings read against the simulated indicator must load field for field:
// the simulator and the viewer's model are written apart, so this catches either
// drifting from the indicator's reply forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "protocol/database.h"
#include "protocol/database840.h"
#include "tools/sim/sim_indicator.h"

namespace {

std::string StripLineEnd(std::string reply) {
  while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r')) reply.pop_back();
  return reply;
}

TEST(SimSettingsRead, EveryQueryReplyLoadsIntoTheModel) {
  sim::TSimIndicator ind(sim::Model::W830, 7);
  const std::vector<std::string> changes = {
      "IDN\"Scale 4\"", "IAD1,9000,2,3,1,50,1", "IAD2,12000,2,5,1,50,1", "LBT3,2", "PST2,\"Hello, world\"",
      "PRS,3,2,5,4,2,1", "BDX1,3,6,1,8,2,1,1,1", "BDX4,,,,,,,,,4001,600", "BDX11,2,,,,,,,,5000,,\"10.0.0.9\"",
      "LIV2,3,2,,-500,10,20,2,1,2,3,1", "FBT2,5", "RBT7,9", "QAF1,28,2,27", "ENU1",
      "ETH0,\"10.0.0.5\",\"255.255.0.0\",\"10.0.0.1\",\"10.0.0.2\",\"0.0.0.0\",\"0.0.0.0.0.0\",\"scale-4\",\"\","
      "\"0.0.0.0\""};
  for (const auto& line : changes) ASSERT_EQ(ind.Feed(line + ";"), "0\r\n") << line;

  w830::Tdata7400 model;
  std::vector<std::string> queries, prefixes, lines;
  model.BuildQueries(true, queries, prefixes);
  for (std::size_t i = 0; i < queries.size(); ++i) {
    const std::string reply = StripLineEnd(ind.Feed(queries[i] + ";"));
    ASSERT_NE(reply, "?") << queries[i];
    lines.push_back(prefixes[i] + reply);
  }
  model.LoadReplies(lines);

  std::vector<std::string> written;
  model.BuildSetCommands(written);
  for (const auto& line : changes)
    EXPECT_NE(std::find(written.begin(), written.end(), line), written.end()) << line;
  EXPECT_EQ(model.Address, 7);
  EXPECT_EQ(model.SerialNumber, "SIM00001");
  EXPECT_EQ(model.DirectSpan, 20000);
}

std::unique_ptr<TSettingsModel> MakeW830() { return std::make_unique<w830::Tdata7400>(); }
std::unique_ptr<TSettingsModel> MakeW840() { return std::make_unique<w840::Tdata7400>(); }

struct TEchoCase {
  const char* name;
  sim::Model model;
  std::unique_ptr<TSettingsModel> (*make)();
  // Set lines fed to the indicator first: texts whose commas are inside quotes.
  std::vector<std::string> changes;
  // Queries that echo their index, each with the same mnemonic's neighbour.
  std::vector<std::pair<std::string, std::string>> echoed;
  // Queries whose reply leaves the index out and has the neighbour's fields: it fits.
  std::vector<std::pair<std::string, std::string>> unchecked;
};

class SimSettingsEcho : public ::testing::TestWithParam<TEchoCase> {};

// Every reply the simulated indicator gives a full read fits its own query, and a
// reply with another number of fields than its query's, or that echoes the
// neighbouring index, is refused, so a reply that went astray by one query, as on
// a slow link, is never loaded as another setting. The simulator splits its fields
// on its own, so a reply it gives and a count the model takes cannot drift apart.
TEST_P(SimSettingsEcho, RepliesFitTheirQueryAndNotTheNeighbours) {
  const TEchoCase& c = GetParam();
  sim::TSimIndicator ind(c.model, 0);
  for (const auto& line : c.changes) ASSERT_EQ(ind.Feed(line + ";"), "0\r\n") << line;
  const std::unique_ptr<TSettingsModel> model = c.make();
  std::vector<std::string> queries, prefixes;
  model->BuildQueries(true, queries, prefixes);
  std::map<std::string, std::string> replies;
  for (const std::string& query : queries) {
    replies[query] = StripLineEnd(ind.Feed(query + ";"));
    EXPECT_TRUE(model->ReplyFits(query, replies[query])) << query << " -> " << replies[query];
    EXPECT_TRUE(model->ReplyFits(query, "?")) << query;
  }
  const auto fields = [&](const std::string& query) { return sim::SplitFields(replies[query]).size(); };
  for (std::size_t i = 0; i < queries.size(); ++i) {
    for (const std::size_t n : {i - 1, i + 1}) {
      if (n >= queries.size() || fields(queries[n]) == fields(queries[i])) continue;
      EXPECT_FALSE(model->ReplyFits(queries[i], replies[queries[n]])) << queries[i] << " took " << replies[queries[n]];
    }
  }
  for (const auto& [query, neighbour] : c.echoed) {
    ASSERT_TRUE(replies.contains(query) && replies.contains(neighbour)) << query;
    EXPECT_FALSE(model->ReplyFits(query, replies[neighbour])) << query << " took " << replies[neighbour];
  }
  for (const auto& [query, neighbour] : c.unchecked) {
    ASSERT_TRUE(replies.contains(query) && replies.contains(neighbour)) << query;
    EXPECT_TRUE(model->ReplyFits(query, replies[neighbour])) << query << " took " << replies[neighbour];
  }
}

INSTANTIATE_TEST_SUITE_P(
    BothModels, SimSettingsEcho,
    ::testing::Values(
        TEchoCase{"W830", sim::Model::W830, MakeW830,
                  {"IDN\"Scale, 4\"", "PST2,\"Hello, world\"", "PFT\"a,b,c\""},
                  {{"IAD?1", "IAD?2"}, {"IAD?2", "IAD?1"}, {"BDX?0", "BDX?1"}, {"BDX?4", "BDX?3"},
                   {"BDX?7", "BDX?6"}, {"BDX?11", "BDX?12"}, {"BDX?14", "BDX?13"}, {"LIV?1", "LIV?2"},
                   {"LIV?8", "LIV?7"}},
                  {{"LBT?1", "LBT?0"}, {"LIC?2", "LIC?1"}, {"PST?2", "PST?1"}, {"LDN?", "LWN?"}}},
        TEchoCase{"W840", sim::Model::W840, MakeW840,
                  {"IDN\"Scale, 4\"", "PST2,\"Hello, world\"", "AFT\"x,y\""},
                  {{"IAD?1", "IAD?2"}, {"IAD?2", "IAD?1"}, {"BDX?1", "BDX?2"}, {"BDX?5", "BDX?4"},
                   {"BDX?6", "BDX?5"}, {"LIV?1", "LIV?2"}, {"LIV?8", "LIV?7"}},
                  {{"LBT?1", "LBT?0"}, {"RBT?1", "RBT?0"}, {"LDW?1", "LWT?1"}, {"LIC?2", "LIC?1"}}}),
    [](const ::testing::TestParamInfo<TEchoCase>& info) { return std::string(info.param.name); });

struct TFieldsCase {
  const char* name;
  std::unique_ptr<TSettingsModel> (*make)();
  const char* query;
  const char* reply;
  bool fits;
};

class ReplyFields : public ::testing::TestWithParam<TFieldsCase> {};

// Where the two indicators' replies to one query differ by settings at the end, a
// reply of either length fits, and one cut short does not; elsewhere the count is
// exact.
TEST_P(ReplyFields, FitWhereTheIndicatorMayGrowAReplyAndNowhereElse) {
  const TFieldsCase& c = GetParam();
  EXPECT_EQ(c.make()->ReplyFits(c.query, c.reply), c.fits);
}

INSTANTIATE_TEST_SUITE_P(
    BothModels, ReplyFields,
    ::testing::Values(
        TFieldsCase{"W830PrintSettingsGrown", MakeW830, "PRS?", ",1,1,0,0,1,0,2", true},
        TFieldsCase{"W830PrintSettingsOfTheW840", MakeW830, "PRS?", ",1,1,0,0,1", true},
        TFieldsCase{"W830PrintSettingsCutShort", MakeW830, "PRS?", ",1,1,0", false},
        TFieldsCase{"W830NetworkOfTheW840", MakeW830, "ETH?",
                    "1,\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0\",\"0.0.0.0.0.0\",\"\"", true},
        TFieldsCase{"W830CalibrationWeightTakesNoPair", MakeW830, "CWT?", "1,0", false},
        TFieldsCase{"W830IdentityOfTwoTexts", MakeW830, "IDN?", "\"a\",\"b\"", false},
        TFieldsCase{"W830LinearisationWithoutWeight", MakeW830, "LIC?3", "50", false},
        TFieldsCase{"W830SerialPortGrown", MakeW830, "BDX?1", "1,0,1,0,7,1,0,0,0,0", false},
        TFieldsCase{"W840ChannelOfTheW830", MakeW840, "IAD?1", "1,4000,0,1,0,0,0", true},
        TFieldsCase{"W840ChannelCutShort", MakeW840, "IAD?1", "1,4000,0,1,0", false},
        TFieldsCase{"W840NetPortOfTheW830", MakeW840, "BDX?5", "5,,,,,,,,,2222,0", true},
        TFieldsCase{"W840SerialPortCutShort", MakeW840, "BDX?1", "1,0,1,0,7,1,0,0", false},
        TFieldsCase{"W840DirectZeroTakesNoPair", MakeW840, "LDW?1", "1,0", false},
        TFieldsCase{"W840HeaderWithAComma", MakeW840, "PST?3", "\"Hello, world\"", true}),
    [](const ::testing::TestParamInfo<TFieldsCase>& info) { return std::string(info.param.name); });

}  // namespace
