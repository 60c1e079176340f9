#pragma once
// What a fuzz target proves of a value alone it need prove once: most inputs
// change nothing that matters, or the same few things, and comparing a value with
// the last ones seen costs far less than proving it again.
#include <algorithm>
#include <deque>

// True when the value equals one of the last few seen; otherwise it is kept.
template <class T>
bool SeenRecently(const T& value) {
  static std::deque<T> recent;
  if (std::find(recent.begin(), recent.end(), value) != recent.end()) return true;
  if (recent.size() >= 16) recent.pop_front();
  recent.push_back(value);
  return false;
}
