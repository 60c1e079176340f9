#include "link/logging.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QMetaObject>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "platform/exepath.h"
#include "platform/prompter.h"

namespace {

struct TTrafficLog {
  std::mutex mutex;
  int fd = -1;
  QString path;
};

TTrafficLog& Log() {
  static TTrafficLog log;
  return log;
}

// Stands in for the error text when another program holds the log.
constexpr int kInUse = -1;

QString ErrorText(int error) {
  if (error == kInUse) return QStringLiteral("The file is in use by another program");
  return QString::fromLocal8Bit(std::strerror(error));
}

// Others may read the log while it is open but not write it: a second viewer on the
// same file would mix its lines into ours. A file system without locks is no reason
// to go without the log.
bool TakeWriteLock(int fd) {
  int result;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result < 0 && errno == EINTR);
  return result == 0 || errno != EWOULDBLOCK;
}

int OpenForAppend(const QString& path, int extraFlags) {
  const QByteArray name = QFile::encodeName(path);
  int fd;
  do {
    fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CLOEXEC | extraFlags, 0644);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Called from any thread: the box is shown by the GUI thread's event loop.
void ReportWriteError(const QString& path, int error) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  const QString text =
      QStringLiteral("Log file %1 cannot be written (%2). Logging has stopped.").arg(path, ErrorText(error));
  QMetaObject::invokeMethod(app, [text] { Prompter().ShowMessage(text); }, Qt::QueuedConnection);
}

// Writes one whole line; on failure closes the log and reports. Caller holds the mutex.
void WriteLineLocked(TTrafficLog& log, std::string_view message) {
  if (log.fd < 0) return;
  std::string line =
      QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toStdString();
  line += ": ";
  line += message;
  line += "\r\n";
  const char* data = line.data();
  size_t left = line.size();
  while (left > 0) {
    const ssize_t written = ::write(log.fd, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      const int error = written < 0 ? errno : ENOSPC;
      ::close(log.fd);
      log.fd = -1;
      ReportWriteError(log.path, error);
      return;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
}

}  // namespace

void CommsLoggingInit(const QString& fileName) {
  TTrafficLog& log = Log();
  const QString path = ResolveStoredPath(fileName);
  int error = 0;
  {
    std::lock_guard lock(log.mutex);
    if (log.fd >= 0) return;
    int fd = OpenForAppend(path, 0);
    bool created = false;
    if (fd < 0 && errno == ENOENT) {
      // O_EXCL: if someone else made the file meanwhile, open theirs rather than empty it.
      fd = OpenForAppend(path, O_CREAT | O_EXCL);
      created = fd >= 0;
      if (fd < 0 && errno == EEXIST) fd = OpenForAppend(path, 0);
    }
    if (fd < 0) {
      error = errno;
    } else if (!TakeWriteLock(fd)) {
      ::close(fd);
      error = kInUse;
    } else {
      log.fd = fd;
      log.path = path;
      if (created) WriteLineLocked(log, "CommsLoggingInit: Log file created");
      WriteLineLocked(log, "CommsLoggingInit: Logging started");
      return;
    }
  }
  // Shown without the lock: the box runs the event loop, whose handlers may log.
  Prompter().ShowMessage(QStringLiteral("Log file %1 cannot be opened (%2)").arg(path, ErrorText(error)));
}

void CommsLoggingDestroy() {
  TTrafficLog& log = Log();
  std::lock_guard lock(log.mutex);
  if (log.fd < 0) return;
  WriteLineLocked(log, "CommsLoggingDestroy: Logging stopped");
  if (log.fd >= 0) ::close(log.fd);
  log.fd = -1;
}

bool CommsLoggingActive() {
  TTrafficLog& log = Log();
  std::lock_guard lock(log.mutex);
  return log.fd >= 0;
}

void CommsLog(std::string_view message) {
  TTrafficLog& log = Log();
  std::lock_guard lock(log.mutex);
  WriteLineLocked(log, message);
}

void CommsLogData(std::string_view tag, bool isIn, std::string_view data) {
  std::string message(tag);
  message += isIn ? " in: " : " out: ";
  message += EscapeNonPrintable(data);
  CommsLog(message);
}

std::string EscapeNonPrintable(std::string_view data) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(data.size());
  for (const char ch : data) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 32 || c > 126) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += ch;
    }
  }
  return out;
}
