#pragma once
// Cuts the received byte stream into replies. STX starts a reply afresh; ETX, LF
// and CR end one (a CR LF pair ends one reply, the LF finds nothing). The same
// characters feed the Test page, which is flushed every 100 characters. A reply
// longer than kMaxReplyLength is dropped whole (reported once) and the stream is
// skipped up to the next frame mark, so a stream with no marks never grows memory.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class TReplyFramer {
 public:
  static constexpr std::size_t kMaxReplyLength = 4096;
  static constexpr std::size_t kTestLineLength = 100;

  // The reply and the frame mark that ended it.
  std::function<void(const std::string& reply, char mark)> OnReply;
  std::function<void(const std::string& line)> OnTestLine;
  // A reply was dropped for its length; called once per dropped reply.
  std::function<void(std::size_t kept)> OnOverlong;

  // Safe to call again from inside a handler: the bytes are taken after the current ones.
  void Feed(std::string_view data);
  void Reset();

  const std::string& ReplyLine() const { return replyLine_; }

 private:
  void Take(char c);
  void EndReply(char mark);

  std::string pending_;
  bool feeding_ = false;

  std::string replyLine_;
  std::string testLine_;
  bool overlong_ = false;
};
