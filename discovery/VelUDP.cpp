#include "discovery/VelUDP.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <QEventLoop>
#include <QPointer>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "discovery/NetAddress.h"
#include "platform/guard.h"
#include "platform/hostresolver.h"

namespace {

constexpr int kToleratedError = EWOULDBLOCK;
// Room for a burst of replies from a large plant network: a thousand devices,
// each reply counted by the kernel at about twice its size.
constexpr int kReceiveRoom = 1000 * TVelUDP::kReceiveBufferSize;

QString SystemReason(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

bool IsPort(int port) { return port >= 0 && port <= 0xFFFF; }

sockaddr_in SocketAddress(uint32_t address, int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(address);
  return a;
}

}  // namespace

// Shared by the waiting send and the resolver's answer, so that either may outlive
// the other and a component destroyed during the wait is never touched again.
struct TVelUDP::TLookupWait {
  QEventLoop loop;
  bool done = false;
  bool found = false;
  bool abandoned = false;
  uint32_t address = 0;
};

TVelUDP::TVelUDP(QObject* owner) : QObject(owner) {
  StatusMessage(8, QStringLiteral("Initializing Winsock"));
  CreateSocket();
  localHost_ = QStringLiteral("0.0.0.0");
}

TVelUDP::~TVelUDP() {
  if (lookup_) {
    lookup_->abandoned = true;
    lookup_->loop.quit();
  }
  CloseSocket();
}

void TVelUDP::CreateSocket() {
  socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (socket_ < 0) {
    ErrorCheck(errno);
    return;
  }
  const int on = 1;
  if (setsockopt(socket_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
    const int code = errno;
    CloseSocket();
    RaiseSocketError(code, QStringLiteral("Cannot allow broadcasts: %1").arg(SystemReason(code)));
  }
  // Beyond the system's limit only a privileged process may go; others get the limit.
  if (setsockopt(socket_, SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveRoom, sizeof kReceiveRoom) != 0)
    setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &kReceiveRoom, sizeof kReceiveRoom);
}

void TVelUDP::CloseSocket() {
  delete notifier_;
  notifier_ = nullptr;
  if (socket_ >= 0) ::close(socket_);
  socket_ = -1;
}

void TVelUDP::RecreateSocket() {
  CloseSocket();
  CreateSocket();
}

void TVelUDP::SetLocalHost(const QString& host) {
  RecreateSocket();
  localHost_ = host;
  Loaded();
}

void TVelUDP::SetLocalPort(int port) {
  RecreateSocket();
  localPort_ = port;
  Loaded();
}

// A socket bound to an interface's own address never hears datagrams sent to its
// broadcast address, and indicators with a foreign address reply that way. So the
// socket listens on every address of its port, and sends from LocalHost.
void TVelUDP::Loaded() {
  const QString where = QStringLiteral("%1:%2").arg(localHost_).arg(localPort_);
  const in_addr_t address = inet_addr(localHost_.toLatin1().constData());
  if (address == INADDR_NONE || !IsPort(localPort_))
    RaiseSocketError(EADDRNOTAVAIL, QStringLiteral("Invalid local address %1").arg(where));
  sendFrom_ = ntohl(address);
  if (const int code = CheckLocalAddress(sendFrom_); code != 0)
    RaiseSocketError(code, QStringLiteral("Cannot bind to %1: %2").arg(where, SystemReason(code)));
  const sockaddr_in local = SocketAddress(INADDR_ANY, localPort_);
  if (socket_ < 0 || ::bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    const int code = socket_ < 0 ? EBADF : errno;
    RaiseSocketError(code, QStringLiteral("Cannot bind to %1: %2").arg(where, SystemReason(code)));
  }
  delete notifier_;
  notifier_ = new QSocketNotifier(socket_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { Guarded([this] { Receive(); }); });
}

int TVelUDP::CheckLocalAddress(uint32_t address) {
  if (address == INADDR_ANY) return 0;
  const int probe = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (probe < 0) return errno;
  const sockaddr_in a = SocketAddress(address, 0);
  const int code = ::bind(probe, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 ? 0 : errno;
  ::close(probe);
  return code;
}

void TVelUDP::SendBuffer(QByteArray buffer) {
  if (buffer.isEmpty()) {
    bool handled = false;
    if (OnBufferInvalid) OnBufferInvalid(handled, buffer);
    if (!handled || buffer.isEmpty()) throw std::runtime_error("Invalid buffer");
  }
  if (lookup_) throw UDPSockError("A host lookup is still in progress");
  const uint32_t address = ResolveRemoteHost();
  if (address == 0) throw UDPSockError("Null Remote Address");
  if (!IsPort(remotePort_)) throw UDPSockError("Invalid remote port " + std::to_string(remotePort_));
  StatusMessage(2, QStringLiteral("Sending Data"));
  const sockaddr_in remote = SocketAddress(address, remotePort_);
  iovec data{buffer.data(), static_cast<std::size_t>(buffer.size())};
  msghdr message{};
  message.msg_name = const_cast<sockaddr_in*>(&remote);
  message.msg_namelen = sizeof remote;
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
  if (sendFrom_ != INADDR_ANY) {
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* from = CMSG_FIRSTHDR(&message);
    from->cmsg_level = IPPROTO_IP;
    from->cmsg_type = IP_PKTINFO;
    from->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst.s_addr = htonl(sendFrom_);
    std::memcpy(CMSG_DATA(from), &info, sizeof info);
  }
  if (::sendmsg(socket_, &message, 0) < 0) {
    const int code = errno;
    RaiseSocketError(code, QStringLiteral("Cannot send to %1:%2: %3")
                               .arg(DottedAddress(address))
                               .arg(remotePort_)
                               .arg(SystemReason(code)));
  }
  if (OnDataSend) OnDataSend(this);
}

uint32_t TVelUDP::ResolveRemoteHost() {
  // The dotted form's "no address" value is all ones, so 255.255.255.255 is looked up as a name.
  const in_addr_t dotted = inet_addr(remoteHost_.toLatin1().constData());
  if (dotted != INADDR_NONE) return ntohl(dotted);
  uint32_t address = 0;
  if (LookUpRemoteHost(address)) return address;
  bool handled = false;
  if (OnInvalidHost) OnInvalidHost(handled);
  if (handled && LookUpRemoteHost(address)) return address;
  throw UDPSockError("Host Lookup Canceled");
}

bool TVelUDP::LookUpRemoteHost(uint32_t& address) {
  auto wait = std::make_shared<TLookupWait>();
  lookup_ = wait.get();
  HostResolver().LookupHost(remoteHost_, this, [wait](bool found, uint32_t resolved) {
    wait->done = true;
    wait->found = found;
    wait->address = resolved;
    wait->loop.quit();
  });
  if (!wait->done) wait->loop.exec();
  if (wait->abandoned) throw UDPSockError("Host Lookup Canceled");
  lookup_ = nullptr;
  address = wait->address;
  return wait->found;
}

void TVelUDP::ReadBuffer(char* buffer, int& length) const {
  const int n = std::clamp(receivedLength_, 0, std::max(length, 0));
  std::memcpy(buffer, receiveBuffer_.data(), static_cast<std::size_t>(n));
  length = n;
}

// A burst of replies is read in batches: one wake-up of the window per datagram
// would leave the thousand replies of a large plant waiting in the kernel, and a
// bounded batch keeps the window answering between them.
void TVelUDP::Receive() {
  constexpr int kBatch = 64;
  const QPointer<TVelUDP> alive(this);
  for (int i = 0; i < kBatch && alive && socket_ >= 0; ++i) {
    sockaddr_in from{};
    socklen_t size = sizeof from;
    const ssize_t n =
        ::recvfrom(socket_, receiveBuffer_.data(), receiveBuffer_.size(), 0, reinterpret_cast<sockaddr*>(&from), &size);
    // A notice with nothing to read after all is no failed receive.
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    receivedLength_ = n < 0 ? -1 : static_cast<int>(n);
    if (OnDataReceived)
      OnDataReceived(this, receivedLength_, DottedAddress(ntohl(from.sin_addr.s_addr)), ntohs(from.sin_port));
    if (n < 0) return;
  }
}

void TVelUDP::StatusMessage(int level, const QString& text) {
  if (reportLevel_ < level) return;
  statusText_ = text;
  if (OnStatus) OnStatus(this, text);
}

void TVelUDP::ErrorCheck(int code) {
  StatusMessage(16, QStringLiteral("Checking Error In Error Manager"));
  lastError_ = code;
  if (code == kToleratedError) return;
  const QString message = QStringLiteral("Unknown Error No. %1").arg(code);
  StatusMessage(8, QStringLiteral("Looking Up Error Message") + message);
  RaiseSocketError(code, message);
}

void TVelUDP::RaiseSocketError(int code, const QString& message) {
  lastError_ = code;
  if (OnSocketError) OnSocketError(this, code, message);
  // The application's error box reads exception texts as Latin-1.
  throw UDPSockError(message.toLatin1().toStdString());
}
