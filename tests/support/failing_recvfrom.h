#pragma once
// Makes the C library's recvfrom fail for the socket bound to one local port:
// while this object lives, the next `times` calls on that socket return -1 with
// errno set to `error` and leave the waiting datagram queued, as a receive that
// fails for want of memory would. Other sockets are not touched.
#include <cstdint>

class TFailingRecvfrom {
 public:
  TFailingRecvfrom(uint16_t localPort, int error, int times = 1);
  ~TFailingRecvfrom();
  TFailingRecvfrom(const TFailingRecvfrom&) = delete;
  TFailingRecvfrom& operator=(const TFailingRecvfrom&) = delete;
};
