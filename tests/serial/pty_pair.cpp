#include "pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

TPtyPair::TPtyPair() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) throw std::runtime_error("no pty");
  char name[128];
  if (::ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("no pty name");
  slave_ = name;
}

TPtyPair::~TPtyPair() { CloseMaster(); }

void TPtyPair::CloseMaster() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

void TPtyPair::Write(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) throw std::runtime_error("pty write failed");
    pollfd p{master_, POLLOUT, 0};
    ::poll(&p, 1, 1000);
  }
}

std::string TPtyPair::Read(size_t count, std::chrono::milliseconds limit) {
  std::string got;
  const auto end = std::chrono::steady_clock::now() + limit;
  while (got.size() < count && std::chrono::steady_clock::now() < end) {
    pollfd p{master_, POLLIN, 0};
    ::poll(&p, 1, 50);
    char buf[4096];
    const ssize_t n = ::read(master_, buf, sizeof buf);
    if (n > 0) got.append(buf, static_cast<size_t>(n));
  }
  return got;
}
