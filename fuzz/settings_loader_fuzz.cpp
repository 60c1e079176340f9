#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/database.h"
#include "protocol/database840.h"

namespace {

// Whatever the lines were, the model they leave writes lines that load back to the
// same settings: loading keeps only values the line format carries.
template <class Model>
void LoadWriteLoad(const std::vector<std::string>& lines) {
  Model model;
  model.LoadReplies(lines);
  std::vector<std::string> written;
  model.BuildSetCommands(written);
  Model again;
  again.LoadReplies(written);
  std::vector<std::string> rewritten;
  again.BuildSetCommands(rewritten);
  if (rewritten != written) std::abort();
}

}  // namespace

// Arbitrary bytes as lines of a settings file or as prefixed replies, for both models.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '\n') lines.emplace_back();
    else lines.back() += c;
  }
  LoadWriteLoad<w830::Tdata7400>(lines);
  LoadWriteLoad<w840::Tdata7400>(lines);
  return 0;
}
