#pragma once
// The replies the link is owed. The indicator answers every command once and in
// the order the commands came, so each reply belongs to the oldest command still
// owed one: a reply that comes after its command's time-out is still that
// command's, and is dropped rather than handed to whatever waits now. A command
// whose reply never came is waited out after a late allowance; the next command
// that loads what it reads goes out only once nothing earlier is owed. While the
// indicator streams, a reply that does not fit the oldest owed command is a
// stream sample. GUI thread only.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

// Who waits for a reply; kNone sends a command that gets none (a W830 key press).
enum class TReplyOwner { kRequest, kPoll, kTraffic, kKey, kOther, kNone };

// True when a reply can be the answer to its command ("?" always can).
using TReplyShape = std::function<bool(const std::string& reply)>;

class TReplyLedger {
 public:
  // How long a reply is still taken as its command's after the time-out: longer
  // than any late reply seen on a working link, short enough that a lost reply
  // holds the next command up only briefly.
  static constexpr int kLateAllowanceTicks = 100;

  struct TOwed {
    std::uint64_t id = 0;
    TReplyOwner owner = TReplyOwner::kOther;
    std::string command;
    TReplyShape fits;     // empty: any reply fits
    int ticksLeft = 0;    // in time while above 0; 0 when sent without a time-out
    bool timed = true;    // false: only its owner ends the wait
    bool late = false;    // its owner gave up; the reply is dropped when it comes
    int graceLeft = 0;    // ticks until a late reply is no longer expected
  };

  // Where a received reply goes.
  struct TClaim {
    bool owed = false;  // false: a stream sample or a stray reply
    TOwed entry;
  };

  int lateAllowanceTicks = kLateAllowanceTicks;

  // A command went out that is owed a reply within timeoutTicks ticks of the 10 ms
  // timer (0: no time-out of its own). Returns its id.
  std::uint64_t Owe(TReplyOwner owner, const std::string& command, int timeoutTicks, TReplyShape fits = {});
  // The owner stopped waiting: a reply that still comes is dropped.
  void GiveUp(std::uint64_t id);
  // Takes the reply out of the account.
  TClaim Claim(const std::string& reply);
  // The owner found the claimed reply no answer to its command: it is owed again,
  // first in line.
  void Unclaim(TOwed owed);
  // One tick: time-outs run down, late replies not come by now are waited out.
  void Tick();
  // A new link or none: nothing is owed.
  void Reset();

  // Nothing is owed: a command that loads its reply may go out.
  bool Clear() const { return owed_.empty(); }
  // Only replies to this very command of this owner are owed (interchangeable).
  bool ClearFor(TReplyOwner owner, const std::string& command) const;
  bool Owes(std::uint64_t id) const;
  bool IsLate(std::uint64_t id) const;
  std::size_t Size() const { return owed_.size(); }

  // The indicator streams samples that answer no command.
  void SetStreaming(bool streaming) { streaming_ = streaming; }
  bool Streaming() const { return streaming_; }

  // The commands of our command language that get no reply: a broadcast to
  // address 98 and the start of a stream, whose replies are samples.
  static bool ReplyExpected(const std::string& command);
  // The command without an address prefix of any unit and without its ";".
  static std::string CommandBody(const std::string& command);

 private:
  void Expire(TOwed& owed);

  std::deque<TOwed> owed_;
  std::uint64_t nextId_ = 1;
  bool streaming_ = false;
};
