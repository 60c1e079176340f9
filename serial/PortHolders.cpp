#include "serial/PortHolders.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

bool IsNumber(const char* text) {
  if (!*text) return false;
  for (; *text; ++text)
    if (*text < '0' || *text > '9') return false;
  return true;
}

std::vector<int> Pids(const std::string& procRoot) {
  std::vector<int> pids;
  DIR* dir = ::opendir(procRoot.c_str());
  if (!dir) return pids;
  while (const dirent* entry = ::readdir(dir))
    if (IsNumber(entry->d_name)) pids.push_back(std::atoi(entry->d_name));
  ::closedir(dir);
  return pids;
}

std::vector<std::string> FdNames(const std::string& fdDir) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(fdDir.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir))
    if (IsNumber(entry->d_name)) names.emplace_back(entry->d_name);
  ::closedir(dir);
  return names;
}

std::string LinkTarget(const std::string& path) {
  char target[PATH_MAX];
  const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<size_t>(n)) : std::string();
}

// The pseudo-terminal number of a slave path ("/dev/pts/3" gives 3), or -1.
int PtyNumber(const std::string& device) {
  static const std::string prefix = "/dev/pts/";
  if (device.rfind(prefix, 0) != 0 || !IsNumber(device.c_str() + prefix.size())) return -1;
  return std::atoi(device.c_str() + prefix.size());
}

bool IsPtyMaster(const std::string& target) { return target == "/dev/ptmx" || target == "/dev/pts/ptmx"; }

// The slave number that a master descriptor serves, from its fdinfo.
int MasterIndex(const std::string& fdinfo) {
  std::ifstream in(fdinfo);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("tty-index:", 0) == 0) return std::atoi(line.c_str() + 10);
  return -1;
}

bool Alive(int pid) { return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM); }

// The process number in a lock file: ten characters of text, or the older
// binary form of four bytes.
int LockPid(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream text(content);
  int pid = 0;
  if (text >> pid) return pid;
  if (content.size() == sizeof(int)) std::memcpy(&pid, content.data(), sizeof pid);
  return pid;
}

bool WriteLockFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  char text[16];
  const int n = std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(::getpid()));
  const bool written = ::write(fd, text, static_cast<size_t>(n)) == n;
  ::close(fd);
  if (!written) ::unlink(path.c_str());
  return written;
}

}  // namespace

std::string CanonicalDevicePath(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string ProcessName(int pid, const std::string& procRoot) {
  std::ifstream in(procRoot + "/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(in, name);
  return name;
}

std::optional<TPortHolder> FindOpenHolder(const std::string& device, const std::string& procRoot) {
  struct stat wanted {};
  if (::stat(device.c_str(), &wanted) != 0 || !S_ISCHR(wanted.st_mode)) return std::nullopt;
  const int pty = PtyNumber(CanonicalDevicePath(device));
  const int self = static_cast<int>(::getpid());
  for (const int pid : Pids(procRoot)) {
    if (pid == self) continue;
    const std::string base = procRoot + "/" + std::to_string(pid);
    bool holds = false;
    bool farEnd = false;
    for (const std::string& fd : FdNames(base + "/fd")) {
      const std::string link = base + "/fd/" + fd;
      if (pty >= 0 && IsPtyMaster(LinkTarget(link)) && MasterIndex(base + "/fdinfo/" + fd) == pty) {
        farEnd = true;
        break;
      }
      struct stat s {};
      if (!holds && ::stat(link.c_str(), &s) == 0 && S_ISCHR(s.st_mode) && s.st_rdev == wanted.st_rdev) holds = true;
    }
    if (holds && !farEnd) return TPortHolder{pid, ProcessName(pid, procRoot)};
  }
  return std::nullopt;
}

std::optional<TPortHolder> FindFlockHolder(const std::string& device, const std::string& procRoot) {
  struct stat node {};
  if (::stat(device.c_str(), &node) != 0) return std::nullopt;
  char id[64];
  std::snprintf(id, sizeof id, "%02x:%02x:%lu", major(node.st_dev), minor(node.st_dev),
                static_cast<unsigned long>(node.st_ino));
  std::ifstream in(procRoot + "/locks");
  std::string line;
  while (std::getline(in, line)) {
    // "1: FLOCK  ADVISORY  WRITE 1234 00:05:321 0 EOF"; a waiter's line has "->" after the number.
    std::istringstream fields(line);
    std::string number, kind, mode, access, pid, inode;
    if (!(fields >> number >> kind) || kind != "FLOCK") continue;
    if (!(fields >> mode >> access >> pid >> inode) || inode != id) continue;
    const int holder = std::atoi(pid.c_str());
    return TPortHolder{holder, ProcessName(holder, procRoot)};
  }
  return std::nullopt;
}

std::string UucpLockPath(const std::string& device, const std::string& folder) {
  std::string name = CanonicalDevicePath(device);
  static const std::string dev = "/dev/";
  if (name.rfind(dev, 0) == 0) {
    name.erase(0, dev.size());
    for (char& c : name)
      if (c == '/') c = '_';
  } else {
    name.erase(0, name.rfind('/') + 1);
  }
  return folder + "/LCK.." + name;
}

std::optional<TPortHolder> FindLockOwner(const std::string& device, const std::string& folder) {
  const int pid = LockPid(UucpLockPath(device, folder));
  if (pid == static_cast<int>(::getpid()) || !Alive(pid)) return std::nullopt;
  return TPortHolder{pid, ProcessName(pid)};
}

bool TUucpLock::Acquire(const std::string& device, const std::string& folder, TPortHolder& owner) {
  Release();
  const std::string path = UucpLockPath(device, folder);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (WriteLockFile(path)) {
      path_ = path;
      return true;
    }
    if (errno != EEXIST) return true;  // a folder this account may not write locks nothing
    if (const auto live = FindLockOwner(device, folder)) {
      owner = *live;
      return false;
    }
    // Stale, or this process's own: it goes, and the lock is taken afresh.
    ::unlink(path.c_str());
  }
  return true;
}

void TUucpLock::Release() {
  if (path_.empty()) return;
  if (LockPid(path_) == static_cast<int>(::getpid())) ::unlink(path_.c_str());
  path_.clear();
}
