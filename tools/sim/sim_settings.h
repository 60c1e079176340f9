#pragma once
// The settings a simulated indicator holds, kept as the values of its set lines,
// and the rules by which it answers queries and accepts set lines.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sim {

enum class Model;

class TSimSettings {
 public:
  explicit TSimSettings(Model model);

  // The reply to a query "MNE?" or "MNE?k" (without the '?'), or nullopt when the
  // indicator does not know it.
  std::optional<std::string> Query(const std::string& mnemonic, const std::string& index) const;
  // Applies a set line ("ADR5", "LBT0,2"); false when the mnemonic is unknown or a
  // field is out of range, in which case nothing changes.
  bool Set(const std::string& line);
  // Whether changing this setting needs the passcode.
  static bool IsProtected(const std::string& mnemonic);
  // The whole set line held under a key such as "ADR", "LBT0", "IAD1".
  std::string Line(const std::string& key) const;
  // One field of a held line, counted as in the set line (field 0 follows the mnemonic).
  std::string Field(const std::string& key, int field) const;
  void SetField(const std::string& key, int field, const std::string& value);

 private:
  Model model_;
  std::map<std::string, std::vector<std::string>> lines_;  // key -> fields after the mnemonic
};

// Splits the values of a settings line at commas outside quotes; quotes are kept.
std::vector<std::string> SplitFields(const std::string& values);
std::string JoinFields(const std::vector<std::string>& fields);

}  // namespace sim
