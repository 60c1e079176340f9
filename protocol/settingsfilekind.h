#pragma once
// Whose settings a settings file holds. Both indicators speak the same command
// language, so a file of the other one would load into fields of the same name
// that mean something else; the lines tell the two apart by their shapes: a
// mnemonic only one of them knows, or a line with the number of fields only one
// of them writes (the W830's IAD, PRS, ETH and LIV lines carry more than the W840's).
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "protocol/mnemonic.h"

class TSettingsModel;

enum class TSettingsFileKind {
  kOwn,         // lines this model writes or loads, and none that only the other writes
  kOtherModel,  // lines only the other model writes, and none that only this one does
  kNoSettings,  // not one line this model knows
};

class TSettingsFileRecogniser {
 public:
  // own and other: models of this indicator and of the other one; what they hold
  // plays no part, only the lines they write and the replies they load.
  TSettingsFileRecogniser(const TSettingsModel& own, const TSettingsModel& other);

  TSettingsFileKind KindOf(const std::vector<std::string>& lines) const;

 private:
  using TShape = std::pair<TMnemonic, int>;  // mnemonic and field count
  struct TVocabulary {
    std::set<TMnemonic> mnemonics;  // every mnemonic the model writes or loads
    std::set<TShape> shapes;        // the shape of every line it writes
  };
  static TVocabulary VocabularyOf(const TSettingsModel& model);
  // The mnemonics both models know whose lines differ in their field counts: only
  // these lines are worth parsing, every other tells by its mnemonic or not at all.
  static std::set<TMnemonic> TellingMnemonics(const TVocabulary& ours, const TVocabulary& theirs);

  TVocabulary ours_;
  TVocabulary theirs_;
  std::set<TMnemonic> telling_;
};
