#include "tests/support/private_network.h"

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QProcess>
#include <cerrno>
#include <cstring>

namespace {

QString Reason(const char* what) { return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno))); }

bool LoopbackUp() {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ifreq request{};
  std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
  bool ok = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
  request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
  ok = ok && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
  close(fd);
  return ok;
}

}  // namespace

TPrivateNetwork::TPrivateNetwork() {
  original_ = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
  if (original_ < 0) {
    error_ = Reason("open /proc/thread-self/ns/net");
  } else if (unshare(CLONE_NEWNET) != 0) {
    error_ = Reason("unshare(CLONE_NEWNET)");
  } else if (!LoopbackUp()) {
    error_ = Reason("bringing lo up");
  } else {
    active_ = true;
  }
}

TPrivateNetwork::~TPrivateNetwork() {
  if (original_ < 0) return;
  setns(original_, CLONE_NEWNET);
  close(original_);
}

bool TPrivateNetwork::Ip(const QStringList& arguments) {
  // A child starts in the namespace of the thread that forks it: this one.
  return active_ && QProcess::execute(QStringLiteral("ip"), arguments) == 0;
}
