#include "platform/userfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folders of fileName that do not exist yet, outermost first, and the
// innermost one that does.
QStringList MissingFolders(const QString& fileName, QString& existing) {
  QStringList missing;
  QString dir = QFileInfo(fileName).absolutePath();
  while (!QFileInfo::exists(dir)) {
    missing.prepend(dir);
    const QString parent = QFileInfo(dir).absolutePath();
    if (parent == dir) break;
    dir = parent;
  }
  existing = dir;
  return missing;
}

void GiveTo(const QString& path, const struct stat& owner) {
  (void)::chown(QFile::encodeName(path).constData(), owner.st_uid, owner.st_gid);
}

}  // namespace

bool CopyNewUserFile(const QString& source, const QString& fileName, QString& error) {
  if (QFileInfo::exists(fileName)) {
    error = QStringLiteral("the file exists");
    return false;
  }
  QString existing;
  const QStringList made = MissingFolders(fileName, existing);
  if (!QDir().mkpath(QFileInfo(fileName).absolutePath())) {
    error = QStringLiteral("its folder cannot be made");
    return false;
  }
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly)) {
    error = in.errorString();
    return false;
  }
  const QByteArray bytes = in.readAll();
  QFile out(fileName);
  if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly) || out.write(bytes) != bytes.size() || !out.flush()) {
    error = out.errorString();
    out.remove();
    return false;
  }
  out.close();
  struct stat owner {};
  if (::geteuid() == 0 && ::stat(QFile::encodeName(existing).constData(), &owner) == 0 && owner.st_uid != 0) {
    for (const QString& dir : made) GiveTo(dir, owner);
    GiveTo(fileName, owner);
  }
  return true;
}
