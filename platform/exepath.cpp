#include "platform/exepath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString g_override;
}

QString ExecutableFileName() {
  if (!g_override.isEmpty()) return g_override;
  return QCoreApplication::applicationFilePath();
}

void SetExecutableFileNameForTests(const QString& fileName) { g_override = fileName; }

QString ExecutableDir() {
  QString dir = QFileInfo(ExecutableFileName()).absolutePath();
  if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  return dir;
}

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
  if (hasDrive) return ExecutableDir() + QFileInfo(path.mid(2)).fileName();
  if (QDir::isAbsolutePath(path)) return path;
  return ExecutableDir() + path;
}
