#include "link/replyledger.h"

#include <gtest/gtest.h>

namespace {

bool IsAck(const std::string& reply) { return reply == "0"; }

void Ticks(TReplyLedger& ledger, int n) {
  for (int i = 0; i < n; ++i) ledger.Tick();
}

}  // namespace

// The indicator answers in order: each reply is the oldest owed command's, and
// one that comes after its time-out is still that command's (late, to be dropped).
TEST(TReplyLedger, EachReplyBelongsToTheOldestCommandOwedOne) {
  TReplyLedger ledger;
  const auto first = ledger.Owe(TReplyOwner::kPoll, "FPL?;", 30);
  const auto second = ledger.Owe(TReplyOwner::kRequest, "ENU?;", 30);
  Ticks(ledger, 30);  // both time out, neither answer has come
  EXPECT_TRUE(ledger.IsLate(first));
  EXPECT_FALSE(ledger.Clear());
  const auto a = ledger.Claim("late display");
  EXPECT_TRUE(a.owed);
  EXPECT_EQ(a.entry.id, first);
  EXPECT_TRUE(a.entry.late);
  const auto b = ledger.Claim("2");
  EXPECT_EQ(b.entry.id, second);
  EXPECT_EQ(b.entry.owner, TReplyOwner::kRequest);
  EXPECT_TRUE(ledger.Clear());
  EXPECT_FALSE(ledger.Claim("stray").owed);
}

TEST(TReplyLedger, AReplyThatNeverComesIsWaitedOutAfterTheLateAllowance) {
  TReplyLedger ledger;
  ledger.lateAllowanceTicks = 50;
  const auto lost = ledger.Owe(TReplyOwner::kRequest, "ENU?;", 30);
  Ticks(ledger, 79);
  EXPECT_TRUE(ledger.Owes(lost));
  ledger.Tick();
  EXPECT_TRUE(ledger.Clear());
  // An owner that gives up early starts the allowance at once.
  const auto abandoned = ledger.Owe(TReplyOwner::kTraffic, "IDN?;", 0);
  Ticks(ledger, 1000);
  EXPECT_TRUE(ledger.Owes(abandoned));  // no time-out of its own: its owner decides
  ledger.GiveUp(abandoned);
  Ticks(ledger, 50);
  EXPECT_TRUE(ledger.Clear());
}

// A reply that cannot answer the oldest command is no one's (a stream sample, a
// stray); "?" answers anything.
TEST(TReplyLedger, AReplyOfTheWrongShapeLeavesTheCommandOwed) {
  struct Case {
    const char* reply;
    bool owed;
  } cases[] = {{"0", true}, {"?", true}, {"1234,2,0002", false}, {"", false}};
  for (const auto& c : cases) {
    TReplyLedger ledger;
    const auto stop = ledger.Owe(TReplyOwner::kOther, "STP;", 30, IsAck);
    const auto claim = ledger.Claim(c.reply);
    EXPECT_EQ(claim.owed, c.owed) << c.reply;
    EXPECT_EQ(ledger.Owes(stop), !c.owed) << c.reply;
  }
}

TEST(TReplyLedger, AnUnclaimedReplyPutsItsCommandBackFirstInLine) {
  TReplyLedger ledger;
  const auto request = ledger.Owe(TReplyOwner::kRequest, "ENU?;", 30);
  ledger.Owe(TReplyOwner::kPoll, "FPL?;", 30);
  auto claim = ledger.Claim("not a number");
  ASSERT_EQ(claim.entry.id, request);
  ledger.Unclaim(std::move(claim.entry));
  EXPECT_EQ(ledger.Claim("2").entry.id, request);
}

TEST(TReplyLedger, OnlyRepliesOfTheSamePollLetAnotherPollGo) {
  TReplyLedger ledger;
  EXPECT_TRUE(ledger.ClearFor(TReplyOwner::kPoll, "FPL?;"));
  ledger.Owe(TReplyOwner::kPoll, "FPL?;", 30);
  EXPECT_TRUE(ledger.ClearFor(TReplyOwner::kPoll, "FPL?;"));
  EXPECT_FALSE(ledger.ClearFor(TReplyOwner::kPoll, "S99;ESR?;"));
  ledger.Owe(TReplyOwner::kRequest, "FPL?;", 30);
  EXPECT_FALSE(ledger.ClearFor(TReplyOwner::kPoll, "FPL?;"));
  ledger.Reset();
  EXPECT_TRUE(ledger.Clear());
}

TEST(TReplyLedger, BroadcastsAndTheStartOfAStreamAreOwedNoReply) {
  struct Case {
    const char* command;
    bool expected;
  } cases[] = {{"S98;STP;", false}, {"MSV?,0;", false}, {"S01;MSV?,0;", false}, {"MSV?;", true},
               {"S99;ENU?;", true},  {"STP;", true},     {"FPL?;", true}};
  for (const auto& c : cases) EXPECT_EQ(TReplyLedger::ReplyExpected(c.command), c.expected) << c.command;
}
