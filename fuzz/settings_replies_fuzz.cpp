// Any bytes as the replies of a full settings read: cut at line ends, each reply
// goes behind the prefix of its query, as the settings transfer collects them, and
// the lines load into either model without failing. Loading the same lines again
// changes nothing, and neither does loading the model's own set commands: what a
// model writes reads back as it holds it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/seen_recently.h"
#include "platform/textlines.h"
#include "protocol/database.h"
#include "protocol/database840.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// The queries of a full read are the same whatever the model holds: they are
// asked once, not for every input.
template <class Model>
const std::vector<std::string>& ReplyPrefixes() {
  static const std::vector<std::string> prefixes = [] {
    std::vector<std::string> queries, made;
    Model().BuildQueries(true, queries, made);
    return made;
  }();
  return prefixes;
}

template <class Model>
void LoadReadReplies(const std::vector<std::string>& replies) {
  const std::vector<std::string>& prefixes = ReplyPrefixes<Model>();
  std::vector<std::string> lines;
  lines.reserve(replies.size());
  for (std::size_t i = 0; i < replies.size(); ++i) lines.push_back(prefixes[i % prefixes.size()] + replies[i]);
  Model model;
  model.LoadReplies(lines);

  Model again = model;
  again.LoadReplies(lines);
  Check(again == model);

  if (SeenRecently(model)) return;
  std::vector<std::string> commands;
  model.BuildSetCommands(commands);
  Model reloaded = model;
  reloaded.LoadReplies(commands);
  Check(reloaded == model);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> replies = SplitTextLines(std::string(reinterpret_cast<const char*>(data), size));
  LoadReadReplies<w830::Tdata7400>(replies);
  LoadReadReplies<w840::Tdata7400>(replies);
  return 0;
}
