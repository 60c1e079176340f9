#pragma once
// The calibration backup file (".cal"): an ini file whose [Header] names the viewer
// and the indicator that made it, whose [CalData] holds the indicator's calibration
// blocks exactly as the indicator reported them, and a checksum over those blocks.
// Reading never fails: a missing key reads as empty, a checksum that is not a
// number as 0, and the checksum question catches the rest.
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TMemIniFile;

inline constexpr int kCalBlocks = 5;

// 165 plus the sum of the text's bytes taken as 0..255, wrapping as a 32-bit
// signed integer.
int32_t CalChecksum(std::string_view text);
// "BCA<block>=<value>", the line the checksum is taken over.
std::string CalBlockLine(int block, std::string_view value);

// Who made a backup, or who is restoring one.
struct TCalIdentity {
  QString viewerProduct;
  QString viewerVersion;
  QString indicatorModel;
  QString indicatorVersion;
  QString indicatorSerialNo;
};

struct TCalBlock {
  int number = 0;
  std::string value;  // the indicator's reply, Latin-1
};

// Replaces the whole content of ini by a backup of these blocks: nothing of an
// earlier file survives. The checksum covers each block as the file will give it
// back, so a reread of a complete backup always passes.
void FillCalBackup(TMemIniFile& ini, const TCalIdentity& identity, const std::vector<TCalBlock>& blocks);

// A backup as the restore sees it: always five blocks, empty where the file has none.
struct TCalBackup {
  TCalIdentity identity;
  std::array<std::string, kCalBlocks> values;
  int32_t storedChecksum = 0;

  // The checksum the five block lines give.
  int32_t Checksum() const;
};

TCalBackup ReadCalBackup(const TMemIniFile& ini);

// The questions a restore asks, in the order it asks them, about what differs
// between the backup and the viewer and indicator at hand; each is a "Continue?"
// that a No ends. serialNumberQuestion names the indicator's kind.
std::vector<QString> RestoreQuestions(const TCalBackup& backup, const TCalIdentity& here,
                                      const QString& serialNumberQuestion);

// Major, ".", then minor and release run together: 1.3.3.0 gives "1.33".
QString ViewerVersionText(const QString& major, const QString& minor, const QString& release);
// This program's version text and product name, from its own version block.
void ViewerVersion(QString& version, QString& product);
