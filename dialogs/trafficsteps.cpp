#include "dialogs/trafficsteps.h"

void TTrafficSteps::SetCommands(const std::vector<std::string>& commands, const std::vector<std::string>& replySlots) {
  Clear();
  for (std::size_t i = 0; i < commands.size(); ++i) AddCommand(commands[i], i < replySlots.size() ? replySlots[i] : "");
}

void TTrafficSteps::AddCommand(const std::string& command, const std::string& slot) {
  commands_.push_back(command);
  replies_.push_back(slot);
  ++progressMax_;
}

void TTrafficSteps::Clear() {
  commands_.clear();
  replies_.clear();
  progressMax_ = 0;
  progress_ = 0;
  commandIndex_ = 0;
}

void TTrafficSteps::Start() {
  awaitingReply_ = false;
  delayTicks_ = kStartDelayTicks;
  sendCount_ = 0;
}

TTrafficSteps::TOutcome TTrafficSteps::Tick(const TSend& send, bool linkClear) {
  if (delayTicks_ > 0) {
    --delayTicks_;
    return TOutcome::kRunning;
  }
  if (commandIndex_ >= commands_.size()) return TOutcome::kDone;
  if (!linkClear) return TOutcome::kRunning;
  // The wait starts before the send, so that a reply however early finds it.
  const std::string command = commands_[commandIndex_];
  if (replies_[commandIndex_].empty()) {
    delayTicks_ = kNoReplyDelayTicks;
    sendCount_ = 0;
    awaitingReply_ = false;
    ++commandIndex_;
  } else {
    delayTicks_ = kReplyWaitTicks;
    ++sendCount_;
    awaitingReply_ = true;
  }
  const bool lastTry = sendCount_ > kMaxSends;
  send(command);
  if (lastTry) {
    // Given up: a reply that still comes in must find nothing to fill.
    commands_.clear();
    replies_.clear();
    awaitingReply_ = false;
    return TOutcome::kGaveUp;
  }
  return TOutcome::kRunning;
}

void TTrafficSteps::ReplyReceived(const std::string& reply) {
  if (reply != "?") {
    if (awaitingReply_ && commandIndex_ < replies_.size()) {
      awaitingReply_ = false;
      sendCount_ = 0;
      replies_[commandIndex_] += reply;
      ++commandIndex_;
    }
    ++progress_;
  }
  delayTicks_ = 0;
}

void TTrafficSteps::Cancel() {
  commands_.clear();
  replies_.clear();
  delayTicks_ = 0;
  awaitingReply_ = false;
}
