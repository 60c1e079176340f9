// Whose settings a file holds, told by its lines alone.
#include "protocol/settingsfilekind.h"

#include <gtest/gtest.h>

#include "protocol/database.h"
#include "protocol/database840.h"

namespace {

using Lines = std::vector<std::string>;

Lines Saved(const TSettingsModel& model) {
  Lines lines;
  model.BuildSetCommands(lines);
  return lines;
}

TEST(SettingsFileKind, EachIndicatorsFileIsItsOwnAndTheOthersIsRefused) {
  const w830::Tdata7400 w830;
  const w840::Tdata7400 w840;
  const struct {
    const char* name;
    Lines lines;
    TSettingsFileKind in830, in840;
  } cases[] = {
      {"a W830 file", Saved(w830), TSettingsFileKind::kOwn, TSettingsFileKind::kOtherModel},
      {"a W840 file", Saved(w840), TSettingsFileKind::kOtherModel, TSettingsFileKind::kOwn},
      {"one line both write", {"ADR5"}, TSettingsFileKind::kOwn, TSettingsFileKind::kOwn},
      {"a W840 line of a shape only it writes", {"ADR5", "IAD1,4000,0,1,0,0"}, TSettingsFileKind::kOtherModel,
       TSettingsFileKind::kOwn},
      {"a mnemonic only the W830 knows", {"CLK12,0,0,1,1,20"}, TSettingsFileKind::kOwn,
       TSettingsFileKind::kOtherModel},
      {"a line cut short by hand", {"IAD1,99999999,9"}, TSettingsFileKind::kOwn, TSettingsFileKind::kOwn},
      {"lines of both", {"CLK12,0,0,1,1,20", "IAD1,4000,0,1,0,0"}, TSettingsFileKind::kOwn,
       TSettingsFileKind::kOwn},
      {"no settings", {"Weight log", "", "1.5,12"}, TSettingsFileKind::kNoSettings, TSettingsFileKind::kNoSettings},
      {"nothing", {}, TSettingsFileKind::kNoSettings, TSettingsFileKind::kNoSettings},
  };
  const TSettingsFileRecogniser in830(w830, w840), in840(w840, w830);
  for (const auto& c : cases) {
    EXPECT_EQ(in830.KindOf(c.lines), c.in830) << c.name;
    EXPECT_EQ(in840.KindOf(c.lines), c.in840) << c.name;
  }
}

}  // namespace
