// A full settings read against the simulated indicator must load field for field:
// the simulator and the viewer's model are written apart, so this catches either
// drifting from the indicator's reply forms.
#include <gtest/gtest.h>

#include <algorithm>

#include "protocol/database.h"
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

}  // namespace
