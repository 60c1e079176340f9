#pragma once
// The version texts of an executable, read from the version block that the build
// puts into each program (an ELF section of "Key=Value" entries).
#include <QString>

class TCEVersionInfo {
 public:
  // Reads the running program's block at once.
  TCEVersionInfo();

  // Replaces all fourteen texts by those of the named file; a file without a block
  // (or no file) gives "<info not available>" in all of them.
  void GetInfo(const QString& fileName);

  QString CompanyName;
  QString FileDescription;
  QString FileVersion;
  QString Internalname;
  QString LegalCopyright;
  QString LegalTradeMarks;
  QString OriginalFilename;
  QString ProductName;
  QString ProductVersion;
  QString Comments;
  QString MajorVersion;
  QString MinorVersion;
  QString Release;
  QString Build;
};

// Splits a file version at its separator ('.', else ',') into its four parts, as
// the about box shows them; a version with neither gives "<info not available>".
void SplitFileVersion(const QString& version, QString& major, QString& minor, QString& release, QString& build);

// The name of the section that holds the version block.
inline constexpr char kVersionSectionName[] = ".velmacor_version";
