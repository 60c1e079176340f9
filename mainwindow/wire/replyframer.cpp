#include "mainwindow/wire/replyframer.h"

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
  // However a reply handler ends, a throw included, the framer takes the next
  // delivery: the bytes after the one being taken stay pending, in order.
  struct TFeeding {
    TReplyFramer& framer;
    std::size_t taken = 0;
    explicit TFeeding(TReplyFramer& f) : framer(f) { framer.feeding_ = true; }
    ~TFeeding() {
      framer.pending_.erase(0, taken);
      framer.feeding_ = false;
    }
  } feeding(*this);
  while (feeding.taken < pending_.size()) Take(pending_[feeding.taken++]);
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
