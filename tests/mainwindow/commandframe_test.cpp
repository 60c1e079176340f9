#include "mainwindow/commandframe.h"

#include <gtest/gtest.h>

TEST(AddressPrefix, TwoDigitsAtLeast) {
  const std::pair<int, const char*> cases[] = {{5, "S05;"}, {7, "S07;"}, {0, "S00;"}, {31, "S31;"}, {99, "S99;"}};
  for (const auto& [address, prefix] : cases) EXPECT_EQ(AddressPrefix(address), prefix) << address;
}

TEST(FrameCommand, EndsWithASemicolonOrIsFramedBySTXAndETX) {
  struct Case {
    const char* text;
    bool stxEtx;
    std::string wire;
    std::string echo;
  } cases[] = {
      {"ADR?", false, "ADR?;", ">>>ADR?;"},
      {"S98;STP;", false, "S98;STP;", ">>>S98;STP;"},
      {"ADR?", true, "\x02" "ADR?\x03", ">>>ADR?"},
      {"ADR?;", true, "\x02" "ADR?;\x03", ">>>ADR?;"},
  };
  for (const Case& c : cases) {
    const TCommandFrame frame = FrameCommand(c.text, c.stxEtx);
    EXPECT_EQ(frame.wire, c.wire) << c.text;
    EXPECT_EQ(frame.echo, c.echo) << c.text;
  }
}
