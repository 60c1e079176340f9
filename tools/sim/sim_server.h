#pragma once
// The transports of a simulated indicator: TCP on 127.0.0.1, a raw-mode
// pseudo-terminal and the discovery responder, all served by one thread.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/sim/sim_indicator.h"

namespace sim {

class TSimServer {
 public:
  explicit TSimServer(TSimIndicator& indicator);
  ~TSimServer();
  TSimServer(const TSimServer&) = delete;
  TSimServer& operator=(const TSimServer&) = delete;

  // 127.0.0.1 only; returns the bound port. Throws std::system_error.
  uint16_t ListenTcp(uint16_t port = 0);
  // A raw-mode pseudo-terminal; returns the device path to open.
  std::string OpenPty();
  // Answers the discovery probe on a loopback address (127.0.0.0/8 only;
  // anything else throws std::invalid_argument). Returns the bound port.
  uint16_t ListenDiscovery(uint16_t port = 2244, const std::string& loopbackAddress = "127.0.0.1");
  void DropConnections();
  void ClosePty();

  int ConnectionCount() const;  // open TCP connections

 private:
  struct TConnection {
    int fd;
    int session;
    bool pty;
    std::string out;
    bool closeWhenSent = false;
  };

  void Run();
  void Wake();
  void AcceptLocked();
  void ReadLocked(TConnection& c);
  void WriteLocked(TConnection& c, bool split);
  void AnswerProbeLocked();
  void CloseLocked(TConnection& c);
  void ClosePtyLocked();
  std::string DiscoveryReply() const;

  TSimIndicator& indicator_;
  mutable std::mutex mutex_;
  int wake_[2] = {-1, -1};
  int listenFd_ = -1;
  uint16_t tcpPort_ = 0;
  int udpFd_ = -1;
  int ptySlave_ = -1;
  std::vector<TConnection> connections_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace sim
