#pragma once
// The simulated indicator's transports: a TCP server on 127.0.0.1, a raw
// pseudo-terminal and the discovery responder on a loopback address. They run on
// one thread of their own; the destructor stops it and closes every descriptor.
#include <cstdint>
#include <memory>
#include <string>

namespace sim {

class TSimIndicator;

class TSimServer {
 public:
  explicit TSimServer(TSimIndicator& indicator);
  ~TSimServer();
  TSimServer(const TSimServer&) = delete;
  TSimServer& operator=(const TSimServer&) = delete;

  // Listens on 127.0.0.1; 0 picks a free port. Returns the bound port. Connections
  // are taken one after another, several at once if they come.
  uint16_t ListenTcp(uint16_t port = 0);
  // Opens a pseudo-terminal in raw mode; returns the device path a viewer opens.
  std::string OpenPty();
  // Answers the discovery probe sent to a loopback address or to the loopback
  // broadcast address 127.255.255.255 (which several simulators share); answers go
  // out from the loopback address. Returns the bound port.
  uint16_t ListenDiscovery(uint16_t port = 2244, const std::string& loopbackAddress = "127.0.0.1");
  // Each probe is answered by this many replies, each delayMs after the one before
  // (the first delayMs after the probe). One at once unless set.
  void SetDiscoveryAnswer(int replies, int delayMs);
  // Closes every TCP connection (the listener stays).
  void DropConnections();
  // Closes the pseudo-terminal, as a serial cable pulled out.
  void ClosePty();
  // Returns once every byte the viewer has written so far has been read and
  // answered: a test that counts commands then counts none still on the way.
  void CatchUp() const;
  // Connections accepted so far.
  int Accepted() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace sim
