#pragma once
// Whose settings a settings file holds. Both indicators speak the same command
// language, so a file of the other one would load into fields of the same name
// that mean something else; the lines tell the two apart by their shapes: a
// mnemonic only one of them knows, or a line with the number of fields only one
// of them writes (the W830's IAD, PRS, ETH and LIV lines carry more than the W840's).
#include <string>
#include <vector>

class TSettingsModel;

enum class TSettingsFileKind {
  kOwn,         // lines this model writes or loads, and none that only the other writes
  kOtherModel,  // lines only the other model writes, and none that only this one does
  kNoSettings,  // not one line this model knows
};

// own and other: models of this indicator and of the other one.
TSettingsFileKind SettingsFileKind(const std::vector<std::string>& lines, const TSettingsModel& own,
                                   const TSettingsModel& other);
