// Faults and transports of the simulated indicator, seen from a plain client.
#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <gtest/gtest.h>
#include <string>

#include "tools/sim/sim_indicator.h"
#include "tools/sim/sim_server.h"

namespace {

using namespace std::chrono_literals;

class Client {
 public:
  explicit Client(uint16_t port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  ~Client() { close(fd_); }
  bool Connected() const { return connected_; }
  void Send(const std::string& s) { ASSERT_EQ(write(fd_, s.data(), s.size()), static_cast<ssize_t>(s.size())); }
  // Reads until `until` has arrived, the peer closes, or the time is up; counts reads.
  std::string Read(std::size_t until, std::chrono::milliseconds limit = 5000ms) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + limit;
    while (got.size() < until && std::chrono::steady_clock::now() < end) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      char b[65536];
      const ssize_t n = read(fd_, b, sizeof b);
      if (n <= 0) {
        closed_ = true;
        break;
      }
      ++reads_;
      got.append(b, static_cast<std::size_t>(n));
    }
    return got;
  }
  bool Closed() const { return closed_; }
  int Reads() const { return reads_; }

 private:
  int fd_;
  bool connected_ = false;
  bool closed_ = false;
  int reads_ = 0;
};

class SimTransport : public ::testing::Test {
 protected:
  sim::TSimIndicator indicator{sim::Model::W830};
  sim::TSimServer server{indicator};
};

TEST_F(SimTransport, AnswersOverTcpConnectionsOneAfterAnother) {
  const uint16_t port = server.ListenTcp(0);
  for (int i = 0; i < 2; ++i) {
    Client c(port);
    ASSERT_TRUE(c.Connected());
    c.Send("ENU?;");
    EXPECT_EQ(c.Read(3), "2\r\n");
  }
  EXPECT_EQ(server.Accepted(), 2);
}

TEST_F(SimTransport, FaultsChangeOnlyWhatTheyShould) {
  const uint16_t port = server.ListenTcp(0);
  {
    sim::TSimFaults f;
    f.silent = true;
    indicator.SetFaults(f);
    Client c(port);
    c.Send("ENU?;");
    EXPECT_EQ(c.Read(1, 300ms), "");
  }
  {
    sim::TSimFaults f;
    f.rejectAll = true;
    indicator.SetFaults(f);
    Client c(port);
    c.Send("ENU?;");
    EXPECT_EQ(c.Read(3), "?\r\n");
  }
  {
    sim::TSimFaults f;
    f.splitBytes = true;
    indicator.SetFaults(f);
    Client c(port);
    c.Send("IAD?1;");
    EXPECT_EQ(c.Read(18), "1,4000,0,1,0,0,0\r\n");
    EXPECT_GT(c.Reads(), 1);
  }
  {
    sim::TSimFaults f;
    f.garbage = true;
    indicator.SetFaults(f);
    Client c(port);
    c.Send("ENU?;");
    const std::string got = c.Read(100, 500ms);
    EXPECT_NE(got.find("garbage"), std::string::npos);
    EXPECT_EQ(got.substr(got.size() - 3), "2\r\n");
  }
  {
    sim::TSimFaults f;
    f.overlongLine = true;
    indicator.SetFaults(f);
    Client c(port);
    c.Send("ENU?;");
    const std::string got = c.Read(1 << 20);
    EXPECT_EQ(got.size(), std::size_t{1} << 20);
    EXPECT_EQ(got.find_first_of("\r\n"), std::string::npos);
  }
  {
    sim::TSimFaults f;
    f.dropAfter = 2;
    indicator.SetFaults(f);
    Client c(port);
    c.Send("ENU?;ENU?;ENU?;");
    EXPECT_EQ(c.Read(100), "2\r\n2\r\n");
    EXPECT_TRUE(c.Closed());
  }
  {
    sim::TSimFaults f;
    f.delayMs = 50;
    indicator.SetFaults(f);
    indicator.SetCommandFaults("FPL", sim::TSimFaults{});
    Client c(port);
    c.Send("ENU?;FPL?;");
    // A late reply holds back the ones behind it, as on a real line.
    const std::string got = c.Read(3 + 34);
    EXPECT_EQ(got.substr(0, 3), "2\r\n");
    EXPECT_EQ(got.size(), 3u + 34u);
  }
  {
    indicator.SetFaults({});
    sim::TSimFaults f;
    f.answerAs = "WMD?";
    indicator.SetCommandFaults("CWT", f);
    Client c(port);
    // Only the query goes astray; the set line and the next query are answered as sent.
    c.Send("CWT?;ENU?;CWT5000;");
    EXPECT_EQ(c.Read(10), "1,0\r\n2\r\n0\r\n");
  }
}

TEST_F(SimTransport, AHalfCommandOfAnEarlierConnectionIsForgotten) {
  const uint16_t port = server.ListenTcp(0);
  {
    Client first(port);
    first.Send("S07;EN");
    const auto limit = std::chrono::steady_clock::now() + 10s;
    while (indicator.WireLog() != "S07;EN" && std::chrono::steady_clock::now() < limit) first.Read(1, 10ms);
    ASSERT_EQ(indicator.WireLog(), "S07;EN");
  }
  Client second(port);
  second.Send("ADR?;");
  EXPECT_EQ(second.Read(3), "1\r\n");
}

// A silent indicator gives a test no reply to wait on: catching up is how it
// knows every command written so far has been taken, several reads' worth too.
TEST_F(SimTransport, CatchingUpTakesEveryCommandAlreadyWritten) {
  const uint16_t port = server.ListenTcp(0);
  sim::TSimFaults f;
  f.silent = true;
  indicator.SetFaults(f);
  Client c(port);
  ASSERT_TRUE(c.Connected());
  std::string commands;
  for (int i = 0; i < 2000; ++i) commands += "ENU?;";
  c.Send(commands);
  server.CatchUp();
  EXPECT_EQ(indicator.Commands().size(), 2000u);
}

TEST_F(SimTransport, DroppingConnectionsClosesThem) {
  const uint16_t port = server.ListenTcp(0);
  Client c(port);
  c.Send("ENU?;");
  EXPECT_EQ(c.Read(3), "2\r\n");
  server.DropConnections();
  c.Read(1, 2000ms);
  EXPECT_TRUE(c.Closed());
}

TEST_F(SimTransport, AnswersOverAPseudoTerminal) {
  const std::string path = server.OpenPty();
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(write(fd, "ENU?;", 5), 5);
  std::string got;
  const auto end = std::chrono::steady_clock::now() + 5s;
  while (got.size() < 3 && std::chrono::steady_clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 20) > 0) {
      char b[64];
      const ssize_t n = read(fd, b, sizeof b);
      if (n > 0) got.append(b, static_cast<std::size_t>(n));
    }
  }
  EXPECT_EQ(got, "2\r\n");
  server.ClosePty();
  close(fd);
}

int OpenDescriptors() {
  int count = 0;
  DIR* dir = opendir("/proc/self/fd");
  while (readdir(dir)) ++count;
  closedir(dir);
  return count;
}

TEST(SimTransportLifetime, LeavesNoDescriptorBehind) {
  const int before = OpenDescriptors();
  {
    sim::TSimIndicator indicator(sim::Model::W830);
    sim::TSimServer server(indicator);
    server.ListenDiscovery(0);
    server.OpenPty();
    server.OpenPty();  // a second device replaces the first
    Client c(server.ListenTcp(0));
    c.Send("ENU?;");
    EXPECT_EQ(c.Read(3), "2\r\n");
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST_F(SimTransport, AnswersTheDiscoveryProbeOnLoopback) {
  const uint16_t port = server.ListenDiscovery(0);
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(sendto(fd, "BlahBlah", 8, 0, reinterpret_cast<sockaddr*>(&a), sizeof a), 8);
  pollfd p{fd, POLLIN, 0};
  ASSERT_GT(poll(&p, 1, 5000), 0);
  char b[2048];
  const ssize_t n = recv(fd, b, sizeof b, 0);
  close(fd);
  const std::string xml(b, static_cast<std::size_t>(n > 0 ? n : 0));
  EXPECT_NE(xml.find("<velmacor><device>"), std::string::npos);
  EXPECT_NE(xml.find("<serialnumber>SIM00001</serialnumber>"), std::string::npos);
  EXPECT_THROW(server.ListenDiscovery(0, "10.0.0.1"), std::invalid_argument);
}

TEST_F(SimTransport, AnswersABroadcastProbeFromItsOwnAddressAsOftenAsSet) {
  const uint16_t port = server.ListenDiscovery(0, "127.0.0.3");
  server.SetDiscoveryAnswer(3, 20);
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(0x7FFFFFFF);  // 127.255.255.255
  ASSERT_EQ(sendto(fd, "BlahBlah", 8, 0, reinterpret_cast<sockaddr*>(&a), sizeof a), 8);
  for (int i = 0; i < 3; ++i) {
    pollfd p{fd, POLLIN, 0};
    ASSERT_GT(poll(&p, 1, 5000), 0) << "reply " << i;
    char b[2048];
    sockaddr_in from{};
    socklen_t size = sizeof from;
    const ssize_t n = recvfrom(fd, b, sizeof b, 0, reinterpret_cast<sockaddr*>(&from), &size);
    EXPECT_NE(std::string(b, static_cast<std::size_t>(n > 0 ? n : 0)).find("<velmacor>"), std::string::npos);
    EXPECT_EQ(ntohl(from.sin_addr.s_addr), 0x7F000003u);
  }
  close(fd);
}

}  // namespace
