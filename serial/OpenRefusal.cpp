#include "serial/OpenRefusal.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "serial/SerErrorCodes.h"
#include "serial/SerExceptions.h"

namespace {

std::string UserName(uid_t uid) {
  const passwd* pw = ::getpwuid(uid);
  return pw ? pw->pw_name : std::to_string(uid);
}

std::string GroupName(gid_t gid) {
  const group* gr = ::getgrgid(gid);
  return gr ? gr->gr_name : std::to_string(gid);
}

// The groups the account is in by the system's group database.
std::vector<gid_t> AccountGroups(uid_t uid) {
  const passwd* pw = ::getpwuid(uid);
  if (!pw) return {};
  const std::string name = pw->pw_name;
  int count = 64;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  if (::getgrouplist(name.c_str(), pw->pw_gid, groups.data(), &count) < 0) {
    groups.resize(static_cast<size_t>(count));
    if (::getgrouplist(name.c_str(), pw->pw_gid, groups.data(), &count) < 0) return {};
  }
  groups.resize(static_cast<size_t>(count));
  return groups;
}

// The groups this process runs with: those of the login it was started from.
bool ProcessHasGroup(gid_t gid) {
  if (::getegid() == gid) return true;
  const int count = ::getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  const int n = ::getgroups(count, groups.data());
  return n > 0 && std::find(groups.begin(), groups.begin() + n, gid) != groups.begin() + n;
}

std::string Named(const TPortHolder& holder) {
  const std::string process = "process " + std::to_string(holder.pid);
  return holder.name.empty() ? process : holder.name + " (" + process + ")";
}

}  // namespace

std::string AccessDeniedText(const std::string& device) {
  const std::string refused = "File access denied: this account may not open the serial port " + device + ".";
  struct stat node {};
  if (::stat(device.c_str(), &node) != 0) return refused;
  const std::string prefix = refused + " ";
  const uid_t uid = ::geteuid();
  const std::string account = UserName(uid);
  const std::string group = GroupName(node.st_gid);
  // The super-user's group is no group to join for a port.
  if ((node.st_mode & S_IRGRP) == 0 || (node.st_mode & S_IWGRP) == 0 || node.st_gid == 0)
    return prefix + "Only its owner, " + UserName(node.st_uid) + ", may read and write it.";
  if (ProcessHasGroup(node.st_gid))
    return prefix + "The account " + account + " is in the group " + group +
           " that owns it, yet the system refuses it: a security policy of this computer keeps it out.";
  const std::vector<gid_t> groups = AccountGroups(uid);
  if (std::find(groups.begin(), groups.end(), node.st_gid) != groups.end() && !ProcessHasGroup(node.st_gid))
    return prefix + "The account " + account + " has joined the group " + group +
           " that owns it since this login began: log out and log in again.";
  return prefix + "Members of the group " + group + " may use it: add the account " + account +
         " to that group (sudo adduser " + account + " " + group + "), then log out and log in again.";
}

std::string InUseText(const std::string& device, const std::string& lockFolder) {
  const std::string prefix = SerialErrorMessage(SerErr::AlreadyOpen) + ": " + device;
  if (const auto holder = FindOpenHolder(device)) return prefix + " is in use by " + Named(*holder) + ".";
  if (const auto holder = FindLockOwner(device, lockFolder))
    return prefix + " is locked by " + Named(*holder) + " (" + UucpLockPath(device, lockFolder) + ").";
  if (const auto holder = FindFlockHolder(device)) return prefix + " is locked by " + Named(*holder) + ".";
  return prefix + " is in use by another program.";
}

void CheckOpenResult(int code, const std::string& device, const std::string& lockFolder) {
  if (code == SerErr::AccessDenied) throw EInOutError(AccessDeniedText(device), -code);
  if (code == SerErr::AlreadyOpen) throw EAlreadyOpen(code, InUseText(device, lockFolder));
  CheckException(code);
}
