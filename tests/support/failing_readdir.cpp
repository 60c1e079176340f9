#include "tests/support/failing_readdir.h"

#include <dirent.h>
#include <dlfcn.h>

#include <atomic>
#include <cerrno>

namespace {
std::atomic<bool> armed{false};
std::atomic<int> callsLeft{0};
std::atomic<int> failWith{0};
}  // namespace

TFailingReaddir::TFailingReaddir(int succeeding, int error) {
  callsLeft = succeeding;
  failWith = error;
  armed = true;
}

TFailingReaddir::~TFailingReaddir() { armed = false; }

// Defined in the test program, this readdir comes before the C library's for
// every caller in the process; unarmed it is the C library's.
extern "C" struct dirent* readdir(DIR* dir) {
  using TReaddir = struct dirent* (*)(DIR*);
  static const auto real = reinterpret_cast<TReaddir>(dlsym(RTLD_NEXT, "readdir"));
  if (armed && callsLeft-- <= 0) {
    errno = failWith;
    return nullptr;
  }
  return real(dir);
}
