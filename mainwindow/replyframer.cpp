#include "mainwindow/replyframer.h"

void TReplyFramer::Clear() {
  replyLine_.clear();
  testLine_.clear();
  overflowed_ = false;
}

void TReplyFramer::Feed(std::string_view data) {
  pending_.append(data);
  // A reply handler that pumps events may get more bytes here: they wait until the
  // bytes before them are taken, so the stream keeps its order.
  if (feeding_) return;
  feeding_ = true;
  for (std::size_t i = 0; i < pending_.size(); ++i) Take(pending_[i]);
  pending_.clear();
  feeding_ = false;
}

void TReplyFramer::Take(char c) {
  switch (c) {
    case '\x02':
      Clear();
      break;
    case '\x03':
    case '\n':
    case '\r': {
      const bool deliver = !replyLine_.empty() && !overflowed_;
      std::string reply;
      reply.swap(replyLine_);
      Clear();
      if (deliver && OnReply) OnReply(reply, c);
      break;
    }
    default:
      testLine_ += c;
      if (testLine_.size() > kTestLineFlush) {
        std::string line;
        line.swap(testLine_);
        if (OnTestLine) OnTestLine(line);
      }
      if (overflowed_) break;
      if (replyLine_.size() < kMaxReply) {
        replyLine_ += c;
      } else {
        overflowed_ = true;
        const std::size_t kept = replyLine_.size();
        replyLine_.clear();
        if (OnOverflow) OnOverflow(kept);
      }
  }
}
