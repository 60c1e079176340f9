// Any bytes opened as a settings file: the reader's lines hold every byte but the
// line ends, and whatever either model makes of them, the file it saves opens to
// the same settings and saves to the same bytes again, and is told apart from the
// other indicator's.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

#include "fuzz/seen_recently.h"
#include "platform/textlines.h"
#include "protocol/database.h"
#include "protocol/database840.h"
#include "protocol/settingsfilekind.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// The bytes a save writes: every line ended by CR LF.
std::string Saved(const TSettingsModel& model) {
  std::vector<std::string> lines;
  model.BuildSetCommands(lines);
  std::size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (const std::string& line : lines) bytes.append(line).append("\r\n");
  return bytes;
}

// True when these bytes were saved before: most inputs change no setting, or the
// same few, and proving a saved file again would cost more than all the rest of a
// run. The set forgets everything once it is full, so memory stays bounded.
template <class Model>
bool SavedBefore(const std::string& saved) {
  static std::unordered_set<std::string> seen;
  if (seen.contains(saved)) return true;
  if (seen.size() >= 4096) seen.clear();
  seen.insert(saved);
  return false;
}

// Whatever a model of either indicator makes of the lines, the file it saves opens
// to the same settings and saves to the same bytes again.
// A file it saves is its own, and the other indicator's viewer refuses it.
template <class Model, class Other>
void OpenSaveOpen(const std::vector<std::string>& lines) {
  static const TSettingsFileRecogniser ours{Model(), Other()}, theirs{Other(), Model()};
  ours.KindOf(lines);
  Model opened;
  opened.LoadReplies(lines);
  if (SeenRecently(opened)) return;
  const std::string saved = Saved(opened);
  if (SavedBefore<Model>(saved)) return;
  const std::vector<std::string> savedLines = SplitTextLines(saved);
  Model reopened;
  reopened.LoadReplies(savedLines);
  Check(Saved(reopened) == saved);
  Check(ours.KindOf(savedLines) == TSettingsFileKind::kOwn);
  Check(theirs.KindOf(savedLines) == TSettingsFileKind::kOtherModel);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = SplitTextLines(bytes);
  std::size_t kept = 0;
  for (const std::string& line : lines) {
    Check(line.find_first_of("\r\n") == std::string::npos);
    kept += line.size();
  }
  std::size_t lineEnds = 0;
  for (const char c : bytes) lineEnds += c == '\r' || c == '\n';
  const std::size_t mark = bytes.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0;
  Check(kept + lineEnds + mark == bytes.size());

  OpenSaveOpen<w830::Tdata7400, w840::Tdata7400>(lines);
  OpenSaveOpen<w840::Tdata7400, w830::Tdata7400>(lines);
  return 0;
}
