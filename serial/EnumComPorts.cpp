#include "serial/EnumComPorts.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <memory>
#include <string>

#include "serial/EComPort.h"

namespace {

bool HasDevice(const std::string& entry) {
  struct stat st {};
  return ::lstat((entry + "/device").c_str(), &st) == 0;
}

// An 8250 driver makes ttyS0..ttyS31 whether or not a UART answers; those without
// one report the unknown port type 0.
bool HasKnownPortType(const std::string& entry) {
  std::ifstream in(entry + "/type");
  long type = 0;
  return static_cast<bool>(in >> type) && type != 0;
}

bool IsSerialPort(const std::string& root, const std::string& name) {
  const std::string entry = root + "/" + name;
  if (!HasDevice(entry)) return false;
  if (name.rfind("ttyS", 0) == 0) return HasKnownPortType(entry);
  return true;
}

}  // namespace

QString DefaultTtyClassRoot() { return QStringLiteral("/sys/class/tty"); }

void EnumComPorts(QStringList& list, const QString& ttyClassRoot) {
  const std::string root = ttyClassRoot.toStdString();
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(root.c_str()), ::closedir);
  if (!dir) throw EComPort(ComError::Registry, errno);
  QStringList found;
  errno = 0;
  while (const dirent* e = ::readdir(dir.get())) {
    const std::string name = e->d_name;
    if (name != "." && name != ".." && IsSerialPort(root, name))
      found << QStringLiteral("/dev/") + QString::fromStdString(name);
    errno = 0;
  }
  if (errno != 0) throw EComPort(ComError::Registry, errno);
  std::stable_sort(found.begin(), found.end(), [](const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
  });
  list = found;
}
