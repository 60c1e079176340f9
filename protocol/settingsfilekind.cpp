#include "protocol/settingsfilekind.h"

#include <climits>

#include "protocol/comms.h"
#include "protocol/settingsmodel.h"

namespace {

int FieldCount(Tcommsobj& parser, const std::string& line) {
  parser.ParseReply(line, false, true);
  return parser.FieldCount();
}

}  // namespace

TSettingsFileRecogniser::TSettingsFileRecogniser(const TSettingsModel& own, const TSettingsModel& other)
    : ours_(VocabularyOf(own)), theirs_(VocabularyOf(other)), telling_(TellingMnemonics(ours_, theirs_)) {}

TSettingsFileRecogniser::TVocabulary TSettingsFileRecogniser::VocabularyOf(const TSettingsModel& model) {
  TVocabulary v;
  Tcommsobj parser;
  std::vector<std::string> lines, queries, prefixes;
  model.BuildSetCommands(lines);
  for (const std::string& line : lines) {
    v.mnemonics.insert(TMnemonic(line));
    v.shapes.emplace(TMnemonic(line), FieldCount(parser, line));
  }
  // The replies only a read brings (the direct calibration, the linearisation
  // points, the serial port in use) load too.
  model.BuildQueries(true, queries, prefixes);
  for (const std::string& query : queries) v.mnemonics.insert(TMnemonic(query));
  return v;
}

std::set<TMnemonic> TSettingsFileRecogniser::TellingMnemonics(const TVocabulary& ours, const TVocabulary& theirs) {
  std::set<TMnemonic> telling;
  const auto countsOf = [](const TVocabulary& v, TMnemonic mnemonic) {
    std::set<int> counts;
    for (auto it = v.shapes.lower_bound({mnemonic, INT_MIN}); it != v.shapes.end() && it->first == mnemonic; ++it)
      counts.insert(it->second);
    return counts;
  };
  for (const TMnemonic mnemonic : ours.mnemonics)
    if (theirs.mnemonics.contains(mnemonic) && countsOf(ours, mnemonic) != countsOf(theirs, mnemonic))
      telling.insert(mnemonic);
  return telling;
}

TSettingsFileKind TSettingsFileRecogniser::KindOf(const std::vector<std::string>& lines) const {
  Tcommsobj parser;
  // One line only this model writes makes the file its own, whatever follows.
  bool known = false, onlyTheirs = false;
  for (const std::string& line : lines) {
    if (line.size() < 3) continue;
    const TMnemonic mnemonic(line);
    const bool ourMnemonic = ours_.mnemonics.contains(mnemonic);
    const bool theirMnemonic = theirs_.mnemonics.contains(mnemonic);
    known = known || ourMnemonic;
    if (ourMnemonic != theirMnemonic) {
      if (ourMnemonic) return TSettingsFileKind::kOwn;
      onlyTheirs = true;
      continue;
    }
    if (!telling_.contains(mnemonic)) continue;
    // A shape neither writes (a line cut short by hand) tells nothing.
    const TShape shape{mnemonic, FieldCount(parser, line)};
    const bool ourShape = ours_.shapes.contains(shape);
    const bool theirShape = theirs_.shapes.contains(shape);
    if (ourShape && !theirShape) return TSettingsFileKind::kOwn;
    onlyTheirs = onlyTheirs || (theirShape && !ourShape);
  }
  if (onlyTheirs) return TSettingsFileKind::kOtherModel;
  return known ? TSettingsFileKind::kOwn : TSettingsFileKind::kNoSettings;
}
