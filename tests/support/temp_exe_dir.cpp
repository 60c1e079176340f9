#include "tests/support/temp_exe_dir.h"

#include <QFile>

#include "platform/exepath.h"

TTempExeDir::TTempExeDir(const QString& programName) : program_(programName) {
  SetExecutableFileNameForTests(ExePath());
}

TTempExeDir::~TTempExeDir() { SetExecutableFileNameForTests(QString()); }

QString TTempExeDir::Dir() const { return dir_.path() + QLatin1Char('/'); }
QString TTempExeDir::ExePath() const { return Dir() + program_; }
QString TTempExeDir::Path(const QString& fileName) const { return Dir() + fileName; }

QString TTempExeDir::Write(const QString& fileName, const QByteArray& bytes) const {
  QFile f(Path(fileName));
  if (f.open(QIODevice::WriteOnly)) f.write(bytes);
  return f.fileName();
}

QByteArray TTempExeDir::Read(const QString& fileName) const {
  QFile f(Path(fileName));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
