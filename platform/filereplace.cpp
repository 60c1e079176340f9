#include "platform/filereplace.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString SystemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// The file a path names at the end of its chain of symbolic links; a link whose
// target does not exist yet names that target.
QString LinkTarget(const QString& fileName) {
  const QFileInfo info(fileName);
  if (!info.isSymLink()) return fileName;
  if (QString canonical = info.canonicalFilePath(); !canonical.isEmpty()) return canonical;
  return info.symLinkTarget();
}

// Asked with the effective ids, which are the ones the kernel checks on writing.
bool MayWrite(const QByteArray& path) { return ::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) == 0; }

bool WriteAll(int fd, const QByteArray& bytes) {
  const char* data = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    left -= n;
  }
  return true;
}

bool WriteInPlace(const QString& fileName, const QByteArray& bytes, QString& error) {
  const QByteArray path = QFile::encodeName(fileName);
  const int fd = ::open(path.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) {
    error = SystemError();
    return false;
  }
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  if (!ok) error = SystemError();
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = SystemError();
  }
  return ok;
}

bool WriteThroughRename(const QString& fileName, const QByteArray& bytes, QString& error) {
  QSaveFile file(fileName);
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) {
    error = file.errorString();
    return false;
  }
  if (file.write(bytes) != bytes.size() || !file.commit()) {
    error = file.errorString();
    file.cancelWriting();
    return false;
  }
  return true;
}

// The new file is ours: make it the old one's again.
void GiveBack(const QString& fileName, const struct stat& old) {
  const QByteArray path = QFile::encodeName(fileName);
  if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) (void)::chown(path.constData(), old.st_uid, old.st_gid);
  (void)::chmod(path.constData(), old.st_mode & 07777);
}

}  // namespace

bool ReplaceFileContent(const QString& fileName, const QByteArray& bytes, QString& error) {
  error.clear();
  const QString target = LinkTarget(fileName);
  const QByteArray path = QFile::encodeName(target);
  struct stat old {};
  if (::stat(path.constData(), &old) != 0) return WriteThroughRename(target, bytes, error);
  if (!S_ISREG(old.st_mode)) {
    error = QStringLiteral("not a file");
    return false;
  }
  // A file its owner made read-only stays as it is, even in a folder we may write.
  if (!MayWrite(path)) {
    error = SystemError();
    return false;
  }
  const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
  const bool root = ::geteuid() == 0;
  const bool inPlace = old.st_nlink > 1 || !MayWrite(folder) || (!root && old.st_uid != ::geteuid());
  if (inPlace) return WriteInPlace(target, bytes, error);
  if (!WriteThroughRename(target, bytes, error)) return false;
  GiveBack(target, old);
  return true;
}
