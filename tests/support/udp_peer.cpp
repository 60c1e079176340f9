#include "tests/support/udp_peer.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

TUdpPeer::TUdpPeer(const char* address, uint16_t port, bool reuse)
    : fd_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
  const int on = 1;
  if (reuse) setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  bound_ = fd_ >= 0 && inet_pton(AF_INET, address, &a.sin_addr) == 1 &&
           bind(fd_, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
}

TUdpPeer::~TUdpPeer() {
  if (fd_ >= 0) close(fd_);
}

uint16_t TUdpPeer::Port() const {
  sockaddr_in a{};
  socklen_t size = sizeof a;
  getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size);
  return ntohs(a.sin_port);
}

bool TUdpPeer::Receive(QByteArray& data, sockaddr_in* from, int limitMs) {
  pollfd p{fd_, POLLIN, 0};
  if (poll(&p, 1, limitMs) <= 0) return false;
  char buffer[65536];
  sockaddr_in sender{};
  socklen_t size = sizeof sender;
  const ssize_t n = recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&sender), &size);
  if (n < 0) return false;
  data = QByteArray(buffer, static_cast<qsizetype>(n));
  if (from) *from = sender;
  return true;
}

bool TUdpPeer::SendTo(const QByteArray& data, const sockaddr_in& to) {
  return sendto(fd_, data.constData(), static_cast<std::size_t>(data.size()), 0,
                reinterpret_cast<const sockaddr*>(&to), sizeof to) == data.size();
}

bool TUdpPeer::AnswerProbe(const QByteArray& reply) {
  QByteArray probe;
  sockaddr_in from{};
  return Receive(probe, &from) && probe == "BlahBlah" && SendTo(reply, from);
}

QString TUdpPeer::Dotted(const sockaddr_in& address) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
  return QString::fromLatin1(text);
}
