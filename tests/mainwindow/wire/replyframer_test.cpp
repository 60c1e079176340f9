#include "mainwindow/wire/replyframer.h"

#include <gtest/gtest.h>
#include <stdexcept>

#include "mainwindow/wire/commandframe.h"

namespace {

struct TFramed {
  TReplyFramer framer;
  std::vector<std::string> replies;
  std::vector<std::string> testLines;
  std::vector<std::size_t> overflows;
  TFramed() {
    framer.OnReply = [this](const std::string& reply, char mark) { replies.push_back(reply + mark); };
    framer.OnTestLine = [this](const std::string& line) { testLines.push_back(line); };
    framer.OnOverflow = [this](std::size_t kept) { overflows.push_back(kept); };
  }
};

}  // namespace

TEST(TReplyFramer, CutsTheStreamAtEveryFrameMark) {
  struct Case {
    const char* name;
    std::vector<std::string> chunks;
    std::vector<std::string> replies;  // each with the mark that ended it
  } cases[] = {
      {"CR LF ends one reply", {"123\r\n"}, {"123\r"}},
      {"ETX ends a framed reply", {"\x02" "ADR5\x03"}, {"ADR5\x03"}},
      {"STX drops what came before", {"junk\x02" "7\r"}, {"7\r"}},
      {"split into single bytes", {"4", "5", "\r", "6", "\n"}, {"45\r", "6\n"}},
      {"two replies in one delivery", {"1\r2\r"}, {"1\r", "2\r"}},
      {"marks alone give nothing", {"\r\n\x03\r"}, {}},
      {"no mark, no reply yet", {"partial"}, {}},
      {"Latin-1 bytes pass", {"\xB5\xFF\r"}, {"\xB5\xFF\r"}},
  };
  for (const auto& c : cases) {
    TFramed f;
    for (const auto& chunk : c.chunks) f.framer.Feed(chunk);
    EXPECT_EQ(f.replies, c.replies) << c.name;
  }
}

TEST(TReplyFramer, UnframedTextReachesTheTestPageEvery101Characters) {
  TFramed f;
  f.framer.Feed(std::string(150, 'x'));
  ASSERT_EQ(f.testLines.size(), 1u);
  EXPECT_EQ(f.testLines[0].size(), 101u);
  EXPECT_TRUE(f.replies.empty());
  EXPECT_EQ(f.framer.ReplyLine().size(), 150u);
}

TEST(TReplyFramer, AnOverlongLineIsDroppedWholeAndTheNextReplyIsIntact) {
  TFramed f;
  f.framer.Feed(std::string(1 << 20, 'A'));
  EXPECT_LE(f.framer.ReplyLine().size(), TReplyFramer::kMaxReply);
  f.framer.Feed("B\r42\r");
  EXPECT_EQ(f.overflows, std::vector<std::size_t>{TReplyFramer::kMaxReply});
  EXPECT_EQ(f.replies, std::vector<std::string>{"42\r"});
}

TEST(TReplyFramer, ALineOfExactlyTheCapIsStillAReply) {
  TFramed f;
  f.framer.Feed(std::string(TReplyFramer::kMaxReply, 'C') + "\r");
  ASSERT_EQ(f.replies.size(), 1u);
  EXPECT_TRUE(f.overflows.empty());
}

// A reply handler that waits in a nested event loop gets the next delivery of the
// link there: those bytes must come after the rest of the current delivery.
TEST(TReplyFramer, BytesFedFromInsideAReplyHandlerFollowTheCurrentOnes) {
  TFramed f;
  bool fedAgain = false;
  f.framer.OnReply = [&](const std::string& reply, char mark) {
    f.replies.push_back(reply + mark);
    if (!fedAgain) {
      fedAgain = true;
      f.framer.Feed("third\r");
    }
  };
  f.framer.Feed("first\rsecond\r");
  EXPECT_EQ(f.replies, (std::vector<std::string>{"first\r", "second\r", "third\r"}));
}

TEST(TReplyFramer, AThrowingReplyHandlerLeavesItReadyForTheNextDelivery) {
  TFramed f;
  f.framer.OnReply = [&](const std::string& reply, char mark) {
    if (reply == "bad") throw std::runtime_error("handler failed");
    f.replies.push_back(reply + mark);
  };
  EXPECT_THROW(f.framer.Feed("bad\rnext\r"), std::runtime_error);
  f.framer.Feed("more\r");
  EXPECT_EQ(f.replies, (std::vector<std::string>{"next\r", "more\r"}));
}

TEST(FrameCommand, EndsOrFramesTheCommandAndEchoesIt) {
  struct Case {
    const char* text;
    bool stxEtx;
    const char* wire;
    const char* echo;
  } cases[] = {
      {"ADR?", false, "ADR?;", ">>>ADR?;"},
      {"ADR?", true, "\x02" "ADR?\x03", ">>>ADR?"},
      {"S98;STP;", false, "S98;STP;", ">>>S98;STP;"},
  };
  for (const auto& c : cases) {
    const TCommandFrame frame = FrameCommand(c.text, c.stxEtx);
    EXPECT_EQ(frame.wire, c.wire) << c.text;
    EXPECT_EQ(frame.echo, c.echo) << c.text;
  }
}

TEST(AddressPrefix, HasAtLeastTwoDigits) {
  EXPECT_EQ(AddressPrefix(7), "S07;");
  EXPECT_EQ(AddressPrefix(99), "S99;");
  EXPECT_EQ(AddressPrefix(0), "S00;");
}
