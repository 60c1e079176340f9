#include "tests/support/failing_recvfrom.h"

#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <cerrno>

namespace {
std::atomic<int> armedPort{-1};
std::atomic<int> failuresLeft{0};
std::atomic<int> failWith{0};

int LocalPort(int fd) {
  sockaddr_in local{};
  socklen_t size = sizeof local;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) != 0 || local.sin_family != AF_INET) return -1;
  return ntohs(local.sin_port);
}
}  // namespace

TFailingRecvfrom::TFailingRecvfrom(uint16_t localPort, int error, int times) {
  failWith = error;
  failuresLeft = times;
  armedPort = localPort;
}

TFailingRecvfrom::~TFailingRecvfrom() { armedPort = -1; }

// Defined in the test program, this recvfrom comes before the C library's for
// every caller in the process; for any other socket it is the C library's.
extern "C" ssize_t recvfrom(int fd, void* buffer, size_t size, int flags, sockaddr* from, socklen_t* fromSize) {
  using TRecvfrom = ssize_t (*)(int, void*, size_t, int, sockaddr*, socklen_t*);
  static const auto real = reinterpret_cast<TRecvfrom>(dlsym(RTLD_NEXT, "recvfrom"));
  const int port = armedPort;
  if (port >= 0 && LocalPort(fd) == port && failuresLeft-- > 0) {
    errno = failWith;
    return -1;
  }
  return real(fd, buffer, size, flags, from, fromSize);
}
