#pragma once
// Cuts the received byte stream into replies. A reply is the text between two
// frame marks (STX, ETX, LF, CR) and is never empty; STX throws away what came
// before it. The Test page gets the same characters, in pieces of at most 101.
// A line longer than the cap is dropped whole instead of growing without bound.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class TReplyFramer {
 public:
  // The longest reply kept; the longest real reply is under 500 bytes.
  static constexpr std::size_t kMaxReply = 4096;
  static constexpr std::size_t kTestLineFlush = 100;

  // A complete reply, and the mark that ended it.
  std::function<void(const std::string& reply, char mark)> OnReply;
  // Characters for the Test page when more than kTestLineFlush arrive unframed.
  std::function<void(const std::string& line)> OnTestLine;
  // A line went past kMaxReply: its text is dropped up to the next frame mark.
  std::function<void(std::size_t kept)> OnOverflow;

  // May be called again from inside OnReply; those bytes follow the current ones.
  void Feed(std::string_view data);
  void Clear();
  const std::string& ReplyLine() const { return replyLine_; }

 private:
  void Take(char c);

  std::string pending_;
  bool feeding_ = false;
  std::string replyLine_;
  std::string testLine_;
  bool overflowed_ = false;
};
