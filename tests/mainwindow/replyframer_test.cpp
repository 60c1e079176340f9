#include "mainwindow/replyframer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TFramed {
  TReplyFramer framer;
  std::vector<std::string> replies;
  std::vector<char> marks;
  std::vector<std::string> testLines;
  std::vector<std::size_t> overlong;

  TFramed() {
    framer.OnReply = [this](const std::string& reply, char mark) {
      replies.push_back(reply);
      marks.push_back(mark);
    };
    framer.OnTestLine = [this](const std::string& line) { testLines.push_back(line); };
    framer.OnOverlong = [this](std::size_t kept) { overlong.push_back(kept); };
  }
};

}  // namespace

TEST(TReplyFramer, CutsTheStreamAtEachFrameMark) {
  struct Case {
    const char* name;
    std::string stream;
    std::vector<std::string> replies;
  } cases[] = {
      {"CR LF ends one reply", "123\r\n", {"123"}},
      {"ETX ends a framed reply", std::string("\x02") + "ADR5" + "\x03", {"ADR5"}},
      {"LF and CR alone", "a\nb\r", {"a", "b"}},
      {"STX discards what came before", std::string("junk\x02") + "0\r", {"0"}},
      {"marks with nothing between dispatch nothing", "\r\n\r\n\x03", {}},
      {"text after the last mark waits", "12\r34", {"12"}},
      {"Latin-1 bytes pass unchanged", "\xff\x80\xe9\r", {"\xff\x80\xe9"}},
  };
  for (const Case& c : cases) {
    TFramed f;
    f.framer.Feed(c.stream);
    EXPECT_EQ(f.replies, c.replies) << c.name;
  }
}

TEST(TReplyFramer, RepliesSplitIntoSingleBytesComeOutWhole) {
  TFramed f;
  const std::string stream = "FPL0123456789ABCDEF\r\n0\r\n";
  for (char c : stream) f.framer.Feed(std::string(1, c));
  EXPECT_EQ(f.replies, (std::vector<std::string>{"FPL0123456789ABCDEF", "0"}));
  EXPECT_EQ(f.marks, (std::vector<char>{'\r', '\r'}));
}

TEST(TReplyFramer, TheTestPageGetsALineEveryHundredCharactersWithoutADispatch) {
  TFramed f;
  f.framer.Feed(std::string(150, 'x'));
  ASSERT_EQ(f.testLines.size(), 1u);
  EXPECT_EQ(f.testLines[0].size(), 101u);
  EXPECT_TRUE(f.replies.empty());
  EXPECT_EQ(f.framer.ReplyLine().size(), 150u);
}

TEST(TReplyFramer, AnOverlongLineIsDroppedOnceAndTheNextReplyIsIntact) {
  TFramed f;
  const std::string flood(1 << 20, '7');
  for (std::size_t at = 0; at < flood.size(); at += 4000) f.framer.Feed(flood.substr(at, 4000));
  EXPECT_LE(f.framer.ReplyLine().size(), TReplyFramer::kMaxReplyLength);
  f.framer.Feed("\r\nENU2\r\n");
  EXPECT_EQ(f.overlong, (std::vector<std::size_t>{TReplyFramer::kMaxReplyLength}));
  EXPECT_EQ(f.replies, (std::vector<std::string>{"ENU2"}));
}

TEST(TReplyFramer, AReplyAtTheCapIsStillDispatched) {
  TFramed f;
  f.framer.Feed(std::string(TReplyFramer::kMaxReplyLength, 'a') + "\r");
  ASSERT_EQ(f.replies.size(), 1u);
  EXPECT_TRUE(f.overlong.empty());
}

TEST(TReplyFramer, BytesFedFromInsideAHandlerFollowTheCurrentOnes) {
  TFramed f;
  bool fedAgain = false;
  f.framer.OnReply = [&](const std::string& reply, char) {
    f.replies.push_back(reply);
    if (!fedAgain) {
      fedAgain = true;
      f.framer.Feed("third\r");
    }
  };
  f.framer.Feed("first\rsecond\r");
  EXPECT_EQ(f.replies, (std::vector<std::string>{"first", "second", "third"}));
}
