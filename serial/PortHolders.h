#pragma once
// Who else has a serial device: a process that holds it open, one that holds the
// lock serial tools take on it (flock), and the lock file older tools and this
// driver write in the system's lock folder. The answers name the process where
// the system tells it.
#include <optional>
#include <string>

inline constexpr char kUucpLockFolder[] = "/var/lock";

struct TPortHolder {
  int pid = 0;
  std::string name;  // the process's command name; empty when the system does not say
};

// The device file behind a path (a by-id link names the adapter's node).
std::string CanonicalDevicePath(const std::string& path);

// Another process that has the device open. The far end of a pseudo-terminal (the
// program that holds its master, as socat does) owns the line and does not count.
// Only processes this account may look at are seen.
std::optional<TPortHolder> FindOpenHolder(const std::string& device, const std::string& procRoot = "/proc");
// The process that holds a flock on the device node; seen for every account.
std::optional<TPortHolder> FindFlockHolder(const std::string& device, const std::string& procRoot = "/proc");
std::string ProcessName(int pid, const std::string& procRoot = "/proc");

// The lock file of a device in folder ("LCK..ttyUSB0").
std::string UucpLockPath(const std::string& device, const std::string& folder);
// The live process other than this one that the device's lock file names.
std::optional<TPortHolder> FindLockOwner(const std::string& device, const std::string& folder);

// This process's lock file on one device. A folder it may not write leaves the
// device unlocked without failing; a stale lock (its process gone) is replaced.
class TUucpLock {
 public:
  TUucpLock() = default;
  ~TUucpLock() { Release(); }
  TUucpLock(const TUucpLock&) = delete;
  TUucpLock& operator=(const TUucpLock&) = delete;

  // False when a live process holds the lock; owner then names it.
  bool Acquire(const std::string& device, const std::string& folder, TPortHolder& owner);
  // Removes the file, if it still names this process.
  void Release();

 private:
  std::string path_;
};
