#include "mainwindow/replyframer.h"

namespace {
constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';
}  // namespace

void TReplyFramer::Reset() {
  replyLine_.clear();
  testLine_.clear();
  overlong_ = false;
}

void TReplyFramer::EndReply(char mark) {
  const bool dispatch = !overlong_ && !replyLine_.empty();
  std::string reply;
  reply.swap(replyLine_);
  Reset();
  if (dispatch && OnReply) OnReply(reply, mark);
}

void TReplyFramer::Feed(std::string_view data) {
  pending_.append(data);
  if (feeding_) return;  // a handler pumped events and more data came: the outer call takes it in order
  feeding_ = true;
  for (std::size_t i = 0; i < pending_.size(); ++i) Take(pending_[i]);
  pending_.clear();
  feeding_ = false;
}

void TReplyFramer::Take(char c) {
  switch (c) {
    case kStx:
      Reset();
      return;
    case kEtx:
    case '\n':
    case '\r':
      EndReply(c);
      return;
    default:
      break;
  }
  testLine_ += c;
  if (testLine_.size() > kTestLineLength) {
    std::string line;
    line.swap(testLine_);
    if (OnTestLine) OnTestLine(line);
  }
  if (overlong_) return;
  if (replyLine_.size() >= kMaxReplyLength) {
    overlong_ = true;
    const std::size_t kept = replyLine_.size();
    std::string().swap(replyLine_);
    if (OnOverlong) OnOverlong(kept);
    return;
  }
  replyLine_ += c;
}
