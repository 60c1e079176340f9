#pragma once
// A plain UDP socket for tests, bound to a loopback address: the far end of the
// viewer's discovery socket, or a stand-in indicator that answers its probe with
// whatever bytes a test wants.
#include <netinet/in.h>

#include <QByteArray>
#include <QString>
#include <cstdint>

class TUdpPeer {
 public:
  // port 0 picks a free one. reuse lets several peers share a broadcast address.
  explicit TUdpPeer(const char* address = "127.0.0.1", uint16_t port = 0, bool reuse = false);
  ~TUdpPeer();
  TUdpPeer(const TUdpPeer&) = delete;
  TUdpPeer& operator=(const TUdpPeer&) = delete;

  bool Bound() const { return bound_; }
  uint16_t Port() const;
  // Waits up to limitMs for one datagram; false when none came.
  bool Receive(QByteArray& data, sockaddr_in* from = nullptr, int limitMs = 5000);
  bool SendTo(const QByteArray& data, const sockaddr_in& to);
  // Takes the discovery probe that waits and answers its sender with reply; false
  // when no probe came.
  bool AnswerProbe(const QByteArray& reply);

  static QString Dotted(const sockaddr_in& address);

 private:
  int fd_ = -1;
  bool bound_ = false;
};
