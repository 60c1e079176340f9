// The transports of the simulated indicator, on loopback only.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>

#include "tools/sim/sim_server.h"

namespace {

using namespace std::chrono_literals;
using sim::Model;
using sim::TSimIndicator;
using sim::TSimServer;

constexpr auto kLimit = 10s;

// Reads until `needle` arrived, the peer closed or the limit passed; `reads`
// counts the reads that returned data.
std::string ReadUntil(int fd, const std::string& needle, int* reads = nullptr, bool* closed = nullptr) {
  std::string got;
  const auto deadline = std::chrono::steady_clock::now() + kLimit;
  while (got.find(needle) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) {
      if (closed) *closed = true;
      break;
    }
    got.append(buffer, static_cast<std::size_t>(n));
    if (reads) ++*reads;
  }
  return got;
}

int Connect(uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void Send(int fd, const std::string& text) { ASSERT_EQ(write(fd, text.data(), text.size()), ssize_t(text.size())); }

int OpenFdCount() {
  int count = 0;
  DIR* dir = opendir("/proc/self/fd");
  while (readdir(dir)) ++count;
  closedir(dir);
  return count;
}

TEST(SimServer, TcpServesConnectionsOneAfterAnother) {
  TSimIndicator indicator(Model::W830, 1);
  TSimServer server(indicator);
  const uint16_t port = server.ListenTcp(0);
  ASSERT_NE(port, 0);
  for (int round = 0; round < 2; ++round) {
    const int fd = Connect(port);
    ASSERT_GE(fd, 0);
    Send(fd, "S01;ADR?;");
    EXPECT_EQ(ReadUntil(fd, "\r\n"), "1\r\n");
    close(fd);
  }
  EXPECT_EQ(indicator.Commands(), (std::vector<std::string>{"S01", "ADR?", "S01", "ADR?"}));
}

TEST(SimServer, DropConnectionsAndDropAfterCloseTheClient) {
  TSimIndicator indicator(Model::W830, 1);
  TSimServer server(indicator);
  const uint16_t port = server.ListenTcp(0);
  int fd = Connect(port);
  Send(fd, "ENU?;");
  ASSERT_EQ(ReadUntil(fd, "\r\n"), "2\r\n");
  server.DropConnections();
  bool closed = false;
  ReadUntil(fd, "never", nullptr, &closed);
  EXPECT_TRUE(closed);
  close(fd);

  indicator.AddFault({sim::FaultKind::DropAfter, "", 1});
  fd = Connect(port);
  Send(fd, "ADR?;");
  closed = false;
  EXPECT_EQ(ReadUntil(fd, "never", nullptr, &closed), "1\r\n");
  EXPECT_TRUE(closed);
  close(fd);
}

TEST(SimServer, SplitRepliesArriveInPieces) {
  TSimIndicator indicator(Model::W830, 1);
  TSimServer server(indicator);
  indicator.AddFault({sim::FaultKind::SplitBytes, "", 0});
  const int fd = Connect(server.ListenTcp(0));
  Send(fd, "IAD?1;");
  int reads = 0;
  EXPECT_EQ(ReadUntil(fd, "\r\n", &reads), "1,4000,0,1,0,0,0\r\n");
  EXPECT_GT(reads, 1);
  close(fd);
}

TEST(SimServer, StreamingOverTcpStopsOnStp) {
  TSimIndicator indicator(Model::W840, 1);
  TSimServer server(indicator);
  indicator.SetWeight(3);
  const int fd = Connect(server.ListenTcp(0));
  Send(fd, "MSV?,0;");
  const std::string samples = ReadUntil(fd, "3,0,2\r\n3,0,2\r\n3,0,2\r\n");
  EXPECT_NE(samples.find("3,0,2\r\n3,0,2\r\n3,0,2\r\n"), std::string::npos);
  Send(fd, "STP;");
  // After the "0" to STP nothing more comes: ask something and see it last.
  Send(fd, "ADR?;");
  const std::string tail = ReadUntil(fd, "0\r\n1\r\n");
  EXPECT_EQ(tail.substr(tail.size() - 6), "0\r\n1\r\n");
  close(fd);
}

TEST(SimServer, PtyAnswersAndClosesOnRequest) {
  TSimIndicator indicator(Model::W830, 1);
  TSimServer server(indicator);
  const std::string path = server.OpenPty();
  ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u);
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  Send(fd, "ENU?;");
  EXPECT_EQ(ReadUntil(fd, "\r\n"), "2\r\n");
  server.ClosePty();
  bool closed = false;
  ReadUntil(fd, "never", nullptr, &closed);
  EXPECT_TRUE(closed);
  close(fd);
}

TEST(SimServer, DiscoveryAnswersTheProbeOnLoopbackOnly) {
  TSimIndicator indicator(Model::W830, 1);
  TSimServer server(indicator);
  EXPECT_THROW(server.ListenDiscovery(0, "10.1.2.3"), std::invalid_argument);
  const uint16_t tcpPort = server.ListenTcp(0);
  const uint16_t udpPort = server.ListenDiscovery(0, "127.0.0.1");
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(udpPort);
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(sendto(fd, "BlahBlah", 8, 0, reinterpret_cast<sockaddr*>(&to), sizeof to), 8);
  const std::string reply = ReadUntil(fd, "</velmacor>");
  EXPECT_NE(reply.find("<velmacor><device>"), std::string::npos);
  EXPECT_NE(reply.find("<name>W830</name>"), std::string::npos);
  EXPECT_NE(reply.find("<serialnumber>830001</serialnumber>"), std::string::npos);
  EXPECT_NE(reply.find("<tcpport>" + std::to_string(tcpPort) + "</tcpport>"), std::string::npos);
  close(fd);
}

TEST(SimServer, LeavesNoDescriptorBehind) {
  const int before = OpenFdCount();
  {
    TSimIndicator indicator(Model::W830, 1);
    TSimServer server(indicator);
    server.ListenTcp(0);
    server.ListenDiscovery(0);
    server.OpenPty();
    const int fd = Connect(server.ListenTcp(0));
    Send(fd, "ENU?;");
    ReadUntil(fd, "\r\n");
    close(fd);
  }
  EXPECT_EQ(OpenFdCount(), before);
}

}  // namespace
