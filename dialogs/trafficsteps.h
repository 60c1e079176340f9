#pragma once
// The step machine of a settings transfer: sends a list of commands one at a time,
// waits where a reply is expected, resends on silence or "?", and collects the
// replies in their replySlots. Driven by ticks (20 ms in the dialog), so tests can step it.
#include <functional>
#include <string>
#include <vector>

class TTrafficSteps {
 public:
  enum class TOutcome { kRunning, kDone, kGaveUp };
  using TSend = std::function<void(const std::string& command)>;

  // Commands with their reply replySlots: an empty slot expects no reply; otherwise the
  // reply is appended to the slot's text.
  void SetCommands(const std::vector<std::string>& commands, const std::vector<std::string>& replySlots);
  void AddCommand(const std::string& command, const std::string& slot);
  void Clear();
  // A transfer starts: the first command goes out two ticks later.
  void Start();
  // linkClear: no earlier reply is owed; a send, first or retry, waits for it.
  TOutcome Tick(const TSend& send, bool linkClear = true);
  // One framed reply from the instrument.
  void ReplyReceived(const std::string& reply);
  // The user gave up: nothing more is sent or collected.
  void Cancel();

  // The next tick would send the current command again: its last reply is not coming.
  bool RetryDue() const { return delayTicks_ == 0 && awaitingReply_ && commandIndex_ < commands_.size(); }
  const std::vector<std::string>& Commands() const { return commands_; }
  const std::vector<std::string>& Replies() const { return replies_; }
  int Progress() const { return progress_; }
  int ProgressMax() const { return progressMax_; }

 private:
  static constexpr int kStartDelayTicks = 2;
  static constexpr int kNoReplyDelayTicks = 5;
  static constexpr int kReplyWaitTicks = 200;
  static constexpr int kMaxSends = 3;

  std::vector<std::string> commands_;
  std::vector<std::string> replies_;
  std::size_t commandIndex_ = 0;
  bool awaitingReply_ = false;
  int delayTicks_ = 0;
  int sendCount_ = 0;
  int progress_ = 0;
  int progressMax_ = 0;
};
