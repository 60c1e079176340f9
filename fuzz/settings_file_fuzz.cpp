// Any bytes opened as a settings file: the reader's lines hold every byte but the
// line ends, and whatever the model makes of them, the file it saves opens to the
// same settings and saves to the same bytes again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/textfile.h"
#include "protocol/database.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

std::string Saved(const w830::Tdata7400& model) {
  std::vector<std::string> lines;
  model.BuildSetCommands(lines);
  return JoinLines(lines);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = SplitLines(bytes);
  std::size_t kept = 0;
  for (const std::string& line : lines) {
    Check(line.find_first_of("\r\n") == std::string::npos);
    kept += line.size();
  }
  std::size_t lineEnds = 0;
  for (const char c : bytes) lineEnds += c == '\r' || c == '\n';
  Check(kept + lineEnds == bytes.size());

  w830::Tdata7400 opened;
  opened.LoadReplies(lines);
  const std::string saved = Saved(opened);
  w830::Tdata7400 reopened;
  reopened.LoadReplies(SplitLines(saved));
  Check(Saved(reopened) == saved);
  return 0;
}
