#include "link/replyledger.h"

#include <algorithm>

std::uint64_t TReplyLedger::Owe(TReplyOwner owner, const std::string& command, int timeoutTicks, TReplyShape fits) {
  TOwed owed;
  owed.id = nextId_++;
  owed.owner = owner;
  owed.command = command;
  owed.fits = std::move(fits);
  owed.ticksLeft = std::max(timeoutTicks, 0);
  owed.timed = timeoutTicks > 0;
  owed_.push_back(std::move(owed));
  return owed_.back().id;
}

void TReplyLedger::Expire(TOwed& owed) {
  if (owed.late) return;
  owed.late = true;
  owed.ticksLeft = 0;
  owed.graceLeft = lateAllowanceTicks;
}

void TReplyLedger::GiveUp(std::uint64_t id) {
  for (TOwed& owed : owed_)
    if (owed.id == id) Expire(owed);
}

TReplyLedger::TClaim TReplyLedger::Claim(const std::string& reply) {
  TClaim claim;
  if (owed_.empty()) return claim;
  const TOwed& front = owed_.front();
  // A reply that cannot answer the oldest command is no answer to it: a sample of
  // the stream, or a stray left from before the account began.
  if (reply != "?" && front.fits && !front.fits(reply)) return claim;
  claim.owed = true;
  claim.entry = std::move(owed_.front());
  owed_.pop_front();
  return claim;
}

void TReplyLedger::Unclaim(TOwed owed) { owed_.push_front(std::move(owed)); }

void TReplyLedger::Tick() {
  for (TOwed& owed : owed_) {
    if (owed.late) {
      if (owed.graceLeft > 0) --owed.graceLeft;
    } else if (owed.timed && --owed.ticksLeft <= 0) {
      Expire(owed);
    }
  }
  std::erase_if(owed_, [](const TOwed& owed) { return owed.late && owed.graceLeft <= 0; });
}

void TReplyLedger::Reset() {
  owed_.clear();
  streaming_ = false;
}

bool TReplyLedger::ClearFor(TReplyOwner owner, const std::string& command) const {
  return std::all_of(owed_.begin(), owed_.end(),
                     [&](const TOwed& owed) { return owed.owner == owner && owed.command == command; });
}

bool TReplyLedger::Owes(std::uint64_t id) const {
  return std::any_of(owed_.begin(), owed_.end(), [&](const TOwed& owed) { return owed.id == id; });
}

bool TReplyLedger::IsLate(std::uint64_t id) const {
  return std::any_of(owed_.begin(), owed_.end(), [&](const TOwed& owed) { return owed.id == id && owed.late; });
}

std::string TReplyLedger::CommandBody(const std::string& command) {
  std::string body = command;
  if (body.size() >= 4 && body[0] == 'S' && body[3] == ';') body.erase(0, 4);
  if (!body.empty() && body.back() == ';') body.pop_back();
  return body;
}

bool TReplyLedger::ReplyExpected(const std::string& command) {
  return command.rfind("S98;", 0) != 0 && CommandBody(command) != "MSV?,0";
}
