#include "tools/sim/sim_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace sim {

namespace {

constexpr std::string_view kProbe = "BlahBlah";
// Replies, delays and streamed samples are looked at this often.
constexpr int kPollMs = 5;

[[noreturn]] void ThrowErrno(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

void SetNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

bool IsLoopback(const in_addr& address) { return (ntohl(address.s_addr) >> 24) == 127; }

std::string XmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

TSimServer::TSimServer(TSimIndicator& indicator) : indicator_(indicator) {
  if (pipe2(wake_, O_NONBLOCK | O_CLOEXEC) != 0) ThrowErrno("pipe2");
  thread_ = std::thread([this] { Run(); });
}

TSimServer::~TSimServer() {
  stop_ = true;
  Wake();
  thread_.join();
  std::lock_guard lock(mutex_);
  for (auto& c : connections_) CloseLocked(c);
  connections_.clear();
  ClosePtyLocked();
  for (int fd : {listenFd_, udpFd_, wake_[0], wake_[1]})
    if (fd >= 0) close(fd);
}

void TSimServer::Wake() {
  const char byte = 1;
  [[maybe_unused]] const auto written = write(wake_[1], &byte, 1);
}

uint16_t TSimServer::ListenTcp(uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) ThrowErrno("socket");
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 8) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    const int error = errno;
    close(fd);
    throw std::system_error(error, std::generic_category(), "listen on 127.0.0.1");
  }
  {
    std::lock_guard lock(mutex_);
    if (listenFd_ >= 0) close(listenFd_);
    listenFd_ = fd;
    tcpPort_ = ntohs(address.sin_port);
  }
  Wake();
  return ntohs(address.sin_port);
}

std::string TSimServer::OpenPty() {
  int master = -1;
  int slave = -1;
  char name[256] = {};
  if (openpty(&master, &slave, name, nullptr, nullptr) != 0) ThrowErrno("openpty");
  termios raw{};
  tcgetattr(slave, &raw);
  cfmakeraw(&raw);
  tcsetattr(slave, TCSANOW, &raw);
  SetNonBlocking(master);
  fcntl(master, F_SETFD, FD_CLOEXEC);
  fcntl(slave, F_SETFD, FD_CLOEXEC);
  {
    std::lock_guard lock(mutex_);
    ClosePtyLocked();
    // Holding the slave open keeps the master readable while the viewer
    // closes and reopens the device.
    ptySlave_ = slave;
    connections_.push_back({master, indicator_.OpenSession(), true, {}});
  }
  Wake();
  return name;
}

uint16_t TSimServer::ListenDiscovery(uint16_t port, const std::string& loopbackAddress) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (inet_pton(AF_INET, loopbackAddress.c_str(), &address.sin_addr) != 1 || !IsLoopback(address.sin_addr))
    throw std::invalid_argument("discovery answers on a loopback address only: " + loopbackAddress);
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) ThrowErrno("socket");
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    const int error = errno;
    close(fd);
    throw std::system_error(error, std::generic_category(), "bind discovery on " + loopbackAddress);
  }
  {
    std::lock_guard lock(mutex_);
    if (udpFd_ >= 0) close(udpFd_);
    udpFd_ = fd;
  }
  Wake();
  return ntohs(address.sin_port);
}

void TSimServer::DropConnections() {
  std::lock_guard lock(mutex_);
  for (auto it = connections_.begin(); it != connections_.end();) {
    if (it->pty) {
      ++it;
      continue;
    }
    CloseLocked(*it);
    it = connections_.erase(it);
  }
}

void TSimServer::ClosePty() {
  std::lock_guard lock(mutex_);
  ClosePtyLocked();
}

int TSimServer::ConnectionCount() const {
  std::lock_guard lock(mutex_);
  int count = 0;
  for (const auto& c : connections_) count += c.pty ? 0 : 1;
  return count;
}

void TSimServer::CloseLocked(TConnection& c) {
  if (c.fd >= 0) close(c.fd);
  c.fd = -1;
  indicator_.CloseSession(c.session);
}

void TSimServer::ClosePtyLocked() {
  for (auto it = connections_.begin(); it != connections_.end();) {
    if (!it->pty) {
      ++it;
      continue;
    }
    CloseLocked(*it);
    it = connections_.erase(it);
  }
  if (ptySlave_ >= 0) close(ptySlave_);
  ptySlave_ = -1;
}

void TSimServer::Run() {
  std::vector<pollfd> fds;
  while (!stop_) {
    fds.clear();
    const bool split = indicator_.SplitsReplies();
    int timeout = -1;
    {
      std::lock_guard lock(mutex_);
      if (!connections_.empty()) timeout = kPollMs;
      fds.push_back({wake_[0], POLLIN, 0});
      if (listenFd_ >= 0) fds.push_back({listenFd_, POLLIN, 0});
      if (udpFd_ >= 0) fds.push_back({udpFd_, POLLIN, 0});
      for (const auto& c : connections_)
        fds.push_back({c.fd, static_cast<short>(POLLIN | (c.out.empty() || split ? 0 : POLLOUT)), 0});
    }
    // Split replies trickle out one byte per round.
    if (poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) break;
    if (fds[0].revents & POLLIN) {
      char buffer[64];
      while (read(wake_[0], buffer, sizeof buffer) > 0) {
      }
    }
    std::lock_guard lock(mutex_);
    for (const auto& p : fds) {
      if (!p.revents) continue;
      if (p.fd == listenFd_) AcceptLocked();
      if (p.fd == udpFd_) AnswerProbeLocked();
      for (auto& c : connections_)
        if (c.fd == p.fd && (p.revents & (POLLIN | POLLHUP | POLLERR))) ReadLocked(c);
    }
    if (indicator_.TakeClosePtyRequest())
      for (auto& c : connections_)
        if (c.pty) c.closeWhenSent = true;
    for (auto& c : connections_) {
      if (c.fd < 0) continue;
      c.out += indicator_.TakeOutput(c.session);
      if (indicator_.DropRequested(c.session)) c.closeWhenSent = true;
      WriteLocked(c, split);
    }
    bool closePty = false;
    for (auto it = connections_.begin(); it != connections_.end();) {
      if (it->fd >= 0 && !(it->closeWhenSent && it->out.empty())) {
        ++it;
        continue;
      }
      closePty = closePty || it->pty;
      CloseLocked(*it);
      it = connections_.erase(it);
    }
    if (closePty) ClosePtyLocked();
  }
}

void TSimServer::AcceptLocked() {
  while (true) {
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    connections_.push_back({fd, indicator_.OpenSession(), false, {}});
  }
}

void TSimServer::ReadLocked(TConnection& c) {
  char buffer[4096];
  while (true) {
    const ssize_t n = read(c.fd, buffer, sizeof buffer);
    if (n > 0) {
      c.out += indicator_.FeedSession(c.session, std::string_view(buffer, static_cast<std::size_t>(n)));
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    // The peer went away (a pty without a reader reports EIO: keep it).
    if (c.pty && n < 0 && errno == EIO) return;
    CloseLocked(c);
    return;
  }
}

void TSimServer::WriteLocked(TConnection& c, bool split) {
  while (c.fd >= 0 && !c.out.empty()) {
    const std::size_t size = split ? 1 : c.out.size();
    const ssize_t n = c.pty ? write(c.fd, c.out.data(), size) : send(c.fd, c.out.data(), size, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno != EAGAIN && errno != EINTR) CloseLocked(c);
      return;
    }
    c.out.erase(0, static_cast<std::size_t>(n));
    if (split) return;
  }
}

void TSimServer::AnswerProbeLocked() {
  char buffer[512];
  while (true) {
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t n = recvfrom(udpFd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) return;
    if (std::string_view(buffer, static_cast<std::size_t>(n)) != kProbe || !IsLoopback(from.sin_addr)) continue;
    const std::string reply = DiscoveryReply();
    sendto(udpFd_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), length);
  }
}

std::string TSimServer::DiscoveryReply() const {
  const bool w830 = indicator_.GetModel() == Model::W830;
  auto element = [](const char* name, const std::string& text) {
    return std::string("<") + name + ">" + XmlEscaped(text) + "</" + name + ">";
  };
  return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><velmacor><device>" +
         element("class", "Indicator") + element("name", w830 ? "W830" : "W840") +
         element("serialnumber", indicator_.Field("IDN", 1)) + element("version", indicator_.Field("IDN", 2)) +
         element("customid", indicator_.Field("IDN", 0)) + element("macaddress", indicator_.Field("ETH", 6)) +
         element("tcpport", std::to_string(tcpPort_)) + element("hostname", indicator_.Field("ETH", 7)) +
         "</device></velmacor>";
}

}  // namespace sim
