#include "platform/exepath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString g_override;

QString WithSlash(QString dir) {
  if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  return dir;
}

QString ProgramName() { return QFileInfo(ExecutableFileName()).completeBaseName(); }

QString BesideProgram(const QString& ext) { return ChangeFileExt(ExecutableFileName(), ext); }

QString InstalledDataDir() {
  return WithSlash(QDir::cleanPath(ExecutableDir() + QStringLiteral("../share/") + PackageName()));
}

QString ConfigHome() {
  const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (QDir::isAbsolutePath(xdg)) return WithSlash(xdg);
  return WithSlash(QDir::homePath()) + QStringLiteral(".config/");
}

}  // namespace

QString PackageName() { return QStringLiteral(VIEWER_PACKAGE); }

QString ExecutableFileName() {
  if (!g_override.isEmpty()) return g_override;
  return QCoreApplication::applicationFilePath();
}

void SetExecutableFileNameForTests(const QString& fileName) { g_override = fileName; }

QString ExecutableDir() { return WithSlash(QFileInfo(ExecutableFileName()).absolutePath()); }

bool IsInstalledProgram() {
  if (QFileInfo::exists(BesideProgram(QStringLiteral(".ini")))) return false;
  return QFileInfo::exists(InstalledDataDir() + ProgramName() + QStringLiteral(".ini"));
}

QString SideFileDir() { return IsInstalledProgram() ? InstalledDataDir() : ExecutableDir(); }

QString ProgramSideFile(const QString& ext) { return SideFileDir() + ProgramName() + ext; }

QString IniFileName() {
  if (!IsInstalledProgram()) return BesideProgram(QStringLiteral(".ini"));
  return ConfigHome() + PackageName() + QLatin1Char('/') + ProgramName() + QStringLiteral(".ini");
}

QString DefaultIniFileName() { return IsInstalledProgram() ? ProgramSideFile(QStringLiteral(".ini")) : QString(); }

QString UserFileDir() { return WithSlash(QFileInfo(IniFileName()).absolutePath()); }

QString ChangeFileExt(const QString& fileName, const QString& ext) {
  const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  if (dot > slash) return fileName.left(dot) + ext;
  return fileName + ext;
}

QString ResolveStoredPath(const QString& stored) {
  QString path = stored;
  const bool hasDrive = path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter();
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (hasDrive) return UserFileDir() + QFileInfo(path.mid(2)).fileName();
  if (QDir::isAbsolutePath(path)) return path;
  return UserFileDir() + path;
}
