#include "tools/sim/sim_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tools/sim/sim_indicator.h"

namespace sim {
namespace {

using Clock = std::chrono::steady_clock;

const char kProbe[] = "BlahBlah";
const char kLoopbackBroadcast[] = "127.255.255.255";

void SetNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

sockaddr_in LoopbackAddress(const std::string& address, uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &a.sin_addr) != 1 || (ntohl(a.sin_addr.s_addr) >> 24) != 127)
    throw std::invalid_argument("the simulator binds loopback addresses only: " + address);
  return a;
}

uint16_t BoundPort(int fd) {
  sockaddr_in a{};
  socklen_t len = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  return ntohs(a.sin_port);
}

// Output waiting for its time on one connection.
struct Pending {
  Clock::time_point due;
  std::string bytes;
  bool split;
  bool drop;
};

// A discovery reply waiting for its time.
struct PendingDatagram {
  Clock::time_point due;
  sockaddr_in to;
  std::string bytes;
};

struct Connection {
  int fd;
  bool isPty;
  std::deque<Pending> out;
  bool closing = false;
};

}  // namespace

struct TSimServer::Impl {
  explicit Impl(TSimIndicator& ind) : indicator(ind) {
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) Fail("pipe");
    thread = std::thread([this] { Run(); });
  }

  ~Impl() {
    stop = true;
    Wake();
    thread.join();
    for (auto& c : connections) close(c.fd);
    for (int fd : {listenFd, udpFd, broadcastFd, ptySlave, wake[0], wake[1]})
      if (fd >= 0) close(fd);
  }

  void Wake() {
    const char b = 1;
    [[maybe_unused]] const auto n = write(wake[1], &b, 1);
  }

  void Run() {
    while (!stop) {
      std::vector<pollfd> fds;
      std::uint64_t catchUpsAsked = 0;
      {
        std::lock_guard lock(mutex);
        catchUpsAsked = catchUpsRequested;
        fds.push_back({wake[0], POLLIN, 0});
        if (listenFd >= 0) fds.push_back({listenFd, POLLIN, 0});
        if (udpFd >= 0) fds.push_back({udpFd, POLLIN, 0});
        if (broadcastFd >= 0) fds.push_back({broadcastFd, POLLIN, 0});
        for (const auto& c : connections) fds.push_back({c.fd, POLLIN, 0});
      }
      poll(fds.data(), fds.size(), 5);
      char drain[64];
      while (read(wake[0], drain, sizeof drain) > 0) {
      }
      std::unique_lock lock(mutex);
      // A connection just taken may already hold commands: it is read on the next pass.
      bool tookSome = false;
      for (const auto& p : fds) {
        if (!(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
        if (p.fd == listenFd) tookSome = Accept() || tookSome;
        else if (p.fd == udpFd || p.fd == broadcastFd) AnswerProbe(p.fd);
        else if (p.fd != wake[0] && ReadFrom(p.fd)) tookSome = true;
      }
      const std::string streamed = indicator.TakeStreamed(Clock::now());
      for (auto& c : connections)
        if (!streamed.empty()) c.out.push_back({Clock::now(), streamed, false, false});
      Flush();
      SendDueReplies();
      // A pass that began after the ask and found nothing to take has taken it all.
      if (!tookSome && catchUpsAsked > caughtUp) {
        caughtUp = catchUpsAsked;
        lock.unlock();
        caughtUpChanged.notify_all();
      }
    }
  }

  // False when no connection was waiting.
  bool Accept() {
    const int fd = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return false;
    ++accepted;
    indicator.ResetInput();
    connections.push_back({fd, false, {}});
    return true;
  }

  // False when nothing was read.
  bool ReadFrom(int fd) {
    for (auto& c : connections) {
      if (c.fd != fd) continue;
      char buffer[4096];
      const ssize_t n = read(fd, buffer, sizeof buffer);
      if (n <= 0) {
        // A pty master reads EIO while no one holds the device open; that is no hang-up.
        if (!c.isPty) c.closing = true;
        return false;
      }
      const auto now = Clock::now();
      for (auto& o : indicator.Process(std::string_view(buffer, static_cast<std::size_t>(n))))
        c.out.push_back({now + std::chrono::milliseconds(o.delayMs), std::move(o.bytes), o.split, o.drop});
      return true;
    }
    return false;
  }

  void Flush() {
    const auto now = Clock::now();
    for (auto& c : connections) {
      while (!c.out.empty() && c.out.front().due <= now && !c.closing) {
        Pending& p = c.out.front();
        const std::size_t chunk = p.split ? 1 : p.bytes.size();
        // A socket whose peer has just gone must not raise SIGPIPE in the whole process.
        const ssize_t n = p.bytes.empty() ? 0
                          : c.isPty     ? write(c.fd, p.bytes.data(), chunk)
                                        : send(c.fd, p.bytes.data(), chunk, MSG_NOSIGNAL);
        if (n < 0) {
          if (errno != EAGAIN) c.closing = true;
          break;
        }
        p.bytes.erase(0, static_cast<std::size_t>(n));
        if (!p.bytes.empty()) {
          if (p.split) p.due = now + std::chrono::milliseconds(1);
          break;
        }
        if (p.drop) c.closing = true;
        c.out.pop_front();
      }
    }
    for (auto it = connections.begin(); it != connections.end();) {
      if (it->closing) {
        close(it->fd);
        it = connections.erase(it);
      } else {
        ++it;
      }
    }
  }

  // Called with the mutex held.
  void ClosePty() {
    for (auto it = connections.begin(); it != connections.end();) {
      if (it->isPty) {
        close(it->fd);
        it = connections.erase(it);
      } else {
        ++it;
      }
    }
    if (ptySlave >= 0) close(ptySlave);
    ptySlave = -1;
  }

  void AnswerProbe(int fd) {
    char buffer[512];
    sockaddr_in from{};
    socklen_t len = sizeof from;
    const ssize_t n = recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (n != 8 || std::string_view(buffer, 8) != kProbe) return;
    if ((ntohl(from.sin_addr.s_addr) >> 24) != 127) return;  // answers loopback only
    const std::string xml = indicator.DiscoveryReply(tcpPort);
    auto due = Clock::now();
    for (int i = 0; i < discoveryReplies; ++i) {
      due += std::chrono::milliseconds(discoveryDelayMs);
      datagrams.push_back({due, from, xml});
    }
  }

  // Replies leave from the unicast socket, so their sender is the simulator's own address.
  void SendDueReplies() {
    const auto now = Clock::now();
    for (auto it = datagrams.begin(); it != datagrams.end();) {
      if (it->due > now) {
        ++it;
        continue;
      }
      if (udpFd >= 0)
        sendto(udpFd, it->bytes.data(), it->bytes.size(), 0, reinterpret_cast<const sockaddr*>(&it->to), sizeof it->to);
      it = datagrams.erase(it);
    }
  }

  TSimIndicator& indicator;
  std::thread thread;
  std::atomic<bool> stop{false};
  int wake[2] = {-1, -1};
  mutable std::mutex mutex;
  int listenFd = -1;
  int udpFd = -1;
  int broadcastFd = -1;
  int discoveryReplies = 1;
  int discoveryDelayMs = 0;
  std::vector<PendingDatagram> datagrams;
  int ptySlave = -1;
  uint16_t tcpPort = 0;
  int accepted = 0;
  std::vector<Connection> connections;
  std::uint64_t catchUpsRequested = 0;
  std::uint64_t caughtUp = 0;
  std::condition_variable caughtUpChanged;
};

TSimServer::TSimServer(TSimIndicator& indicator) : impl_(std::make_unique<Impl>(indicator)) {}
TSimServer::~TSimServer() = default;

uint16_t TSimServer::ListenTcp(uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) Fail("socket");
  const int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  const sockaddr_in a = LoopbackAddress("127.0.0.1", port);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 || listen(fd, 8) != 0) {
    close(fd);
    Fail("listen on 127.0.0.1:" + std::to_string(port));
  }
  SetNonBlocking(fd);
  std::lock_guard lock(impl_->mutex);
  if (impl_->listenFd >= 0) close(impl_->listenFd);
  impl_->listenFd = fd;
  impl_->tcpPort = BoundPort(fd);
  impl_->Wake();
  return impl_->tcpPort;
}

std::string TSimServer::OpenPty() {
  int master = -1, slave = -1;
  char name[256] = {};
  if (openpty(&master, &slave, name, nullptr, nullptr) != 0) Fail("openpty");
  termios t{};
  tcgetattr(slave, &t);
  cfmakeraw(&t);
  tcsetattr(slave, TCSANOW, &t);
  fcntl(master, F_SETFD, FD_CLOEXEC);
  fcntl(slave, F_SETFD, FD_CLOEXEC);
  SetNonBlocking(master);
  std::lock_guard lock(impl_->mutex);
  impl_->ClosePty();  // one device at a time
  // Holding the slave open keeps the master readable across the viewer's opens and closes.
  impl_->ptySlave = slave;
  impl_->connections.push_back({master, true, {}});
  impl_->Wake();
  return name;
}

namespace {

int BoundDatagramSocket(const std::string& address, uint16_t port) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) Fail("socket");
  const int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  const sockaddr_in a = LoopbackAddress(address, port);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
    const int error = errno;
    close(fd);
    errno = error;
    Fail("bind discovery port " + address + ":" + std::to_string(port));
  }
  SetNonBlocking(fd);
  return fd;
}

}  // namespace

uint16_t TSimServer::ListenDiscovery(uint16_t port, const std::string& loopbackAddress) {
  const int fd = BoundDatagramSocket(loopbackAddress, port);
  const uint16_t bound = BoundPort(fd);
  int broadcast = -1;
  try {
    // A socket bound to one address never sees broadcasts; this one sees only them.
    broadcast = BoundDatagramSocket(kLoopbackBroadcast, bound);
  } catch (...) {
    close(fd);
    throw;
  }
  std::lock_guard lock(impl_->mutex);
  for (int old : {impl_->udpFd, impl_->broadcastFd})
    if (old >= 0) close(old);
  impl_->udpFd = fd;
  impl_->broadcastFd = broadcast;
  impl_->Wake();
  return bound;
}

void TSimServer::SetDiscoveryAnswer(int replies, int delayMs) {
  std::lock_guard lock(impl_->mutex);
  impl_->discoveryReplies = replies;
  impl_->discoveryDelayMs = delayMs;
}

void TSimServer::DropConnections() {
  std::lock_guard lock(impl_->mutex);
  for (auto& c : impl_->connections)
    if (!c.isPty) c.closing = true;
  impl_->Wake();
}

void TSimServer::ClosePty() {
  std::lock_guard lock(impl_->mutex);
  impl_->ClosePty();
}

void TSimServer::CatchUp() const {
  std::unique_lock lock(impl_->mutex);
  const std::uint64_t asked = ++impl_->catchUpsRequested;
  impl_->Wake();
  impl_->caughtUpChanged.wait(lock, [&] { return impl_->caughtUp >= asked; });
}

int TSimServer::Accepted() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->accepted;
}

}  // namespace sim
