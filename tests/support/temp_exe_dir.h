#pragma once
// A temporary folder that stands in for the executable's folder during one test:
// the ini file, panel files and logs the code under test looks for beside the
// program are looked for here instead.
#include <QString>
#include <QTemporaryDir>

class TTempExeDir {
 public:
  // programName is the executable's file name, e.g. "W830_830".
  explicit TTempExeDir(const QString& programName = QStringLiteral("W830_830"));
  ~TTempExeDir();

  QString Dir() const;                          // with a trailing '/'
  QString ExePath() const;                      // Dir() + programName
  QString Path(const QString& fileName) const;  // Dir() + fileName
  // Writes a file (bytes as given) into the folder; returns its path.
  QString Write(const QString& fileName, const QByteArray& bytes) const;
  QByteArray Read(const QString& fileName) const;

 private:
  QTemporaryDir dir_;
  QString program_;
};
