#include "protocol/settingsfilekind.h"

#include "protocol/comms.h"
#include "protocol/settingsmodel.h"

namespace {

int FieldCount(Tcommsobj& parser, const std::string& line) {
  parser.ParseReply(line, false, true);
  return parser.FieldCount();
}

}  // namespace

TSettingsFileRecogniser::TSettingsFileRecogniser(const TSettingsModel& own, const TSettingsModel& other)
    : ours_(VocabularyOf(own)), theirs_(VocabularyOf(other)) {}

TSettingsFileRecogniser::TVocabulary TSettingsFileRecogniser::VocabularyOf(const TSettingsModel& model) {
  TVocabulary v;
  Tcommsobj parser;
  std::vector<std::string> lines, queries, prefixes;
  model.BuildSetCommands(lines);
  for (const std::string& line : lines) {
    v.mnemonics.insert(line.substr(0, 3));
    v.shapes.emplace(line.substr(0, 3), FieldCount(parser, line));
  }
  // The replies only a read brings (the direct calibration, the linearisation
  // points, the serial port in use) load too.
  model.BuildQueries(true, queries, prefixes);
  for (const std::string& query : queries) v.mnemonics.insert(query.substr(0, 3));
  return v;
}

TSettingsFileKind TSettingsFileRecogniser::KindOf(const std::vector<std::string>& lines) const {
  Tcommsobj parser;
  bool known = false, onlyOurs = false, onlyTheirs = false;
  for (const std::string& line : lines) {
    if (line.size() < 3) continue;
    const std::string mnemonic = line.substr(0, 3);
    const bool ourMnemonic = ours_.mnemonics.contains(mnemonic);
    const bool theirMnemonic = theirs_.mnemonics.contains(mnemonic);
    known = known || ourMnemonic;
    if (ourMnemonic != theirMnemonic) {
      (ourMnemonic ? onlyOurs : onlyTheirs) = true;
      continue;
    }
    // A shape neither writes (a line cut short by hand) tells nothing.
    const TShape shape{mnemonic, FieldCount(parser, line)};
    const bool ourShape = ours_.shapes.contains(shape);
    const bool theirShape = theirs_.shapes.contains(shape);
    if (ourShape != theirShape) (ourShape ? onlyOurs : onlyTheirs) = true;
  }
  if (onlyTheirs && !onlyOurs) return TSettingsFileKind::kOtherModel;
  return known ? TSettingsFileKind::kOwn : TSettingsFileKind::kNoSettings;
}
