// The UDP socket component against plain sockets on loopback.
#include <netinet/in.h>

#include <QTest>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

#include "discovery/VelUDP.h"
#include "tests/support/discovery_fakes.h"
#include "tests/support/failing_recvfrom.h"
#include "tests/support/udp_peer.h"

namespace {

constexpr int kWaitMs = 10000;

// A loopback port that was free a moment ago.
uint16_t FreePort() { return TUdpPeer().Port(); }

// The message of the exception f throws, or nothing.
template <class F>
std::optional<std::string> Thrown(F&& f) {
  try {
    f();
  } catch (const std::exception& error) {
    return std::string(error.what());
  }
  return std::nullopt;
}

class VelUDPTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.Bound());
    udp.SetLocalHost(QStringLiteral("127.0.0.1"));
    udp.SetRemoteHost(QStringLiteral("127.0.0.1"));
    udp.SetRemotePort(peer.Port());
  }
  // What the peer got, and from which port of ours.
  QByteArray PeerGot(uint16_t* fromPort = nullptr) {
    QByteArray data;
    sockaddr_in from{};
    if (!peer.Receive(data, &from, 2000)) return "(nothing)";
    if (fromPort) *fromPort = ntohs(from.sin_port);
    lastFrom = from;
    return data;
  }
  // Each datagram the component reports, with what ReadBuffer gives for it.
  struct Received {
    int bytes;
    QString ip;
    int port;
    QByteArray data;
  };
  void RecordDatagrams(std::vector<Received>& into) {
    udp.OnDataReceived = [&into](TVelUDP* sender, int bytes, const QString& ip, int port) {
      char buffer[64];
      int length = sizeof buffer;
      sender->ReadBuffer(buffer, length);
      into.push_back({bytes, ip, port, QByteArray(buffer, length)});
    };
  }

  TUdpPeer peer;
  sockaddr_in lastFrom{};
  TFakeResolver resolver;
  TVelUDP udp;
};

TEST_F(VelUDPTest, SendsToTheRemoteHostAndReportsEachReplyWithItsSender) {
  int sent = 0;
  udp.OnDataSend = [&](TVelUDP*) { ++sent; };
  std::vector<Received> received;
  RecordDatagrams(received);
  udp.SendBuffer("hello");
  EXPECT_EQ(sent, 1);
  ASSERT_EQ(PeerGot(), "hello");
  ASSERT_TRUE(peer.SendTo("first", lastFrom));
  ASSERT_TRUE(peer.SendTo("second!", lastFrom));
  ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 2; }, kWaitMs));
  EXPECT_EQ(received[0].bytes, 5);
  EXPECT_EQ(received[0].ip, QStringLiteral("127.0.0.1"));
  EXPECT_EQ(received[0].port, peer.Port());
  EXPECT_EQ(received[0].data, "first");
  EXPECT_EQ(received[1].data, "second!");
}

TEST_F(VelUDPTest, SendsToTheLoopbackBroadcastAddress) {
  TUdpPeer listener("127.255.255.255");
  ASSERT_TRUE(listener.Bound());
  udp.SetRemoteHost(QStringLiteral("127.255.255.255"));
  udp.SetRemotePort(listener.Port());
  udp.SendBuffer("BlahBlah");
  QByteArray data;
  ASSERT_TRUE(listener.Receive(data));
  EXPECT_EQ(data, "BlahBlah");
}

TEST_F(VelUDPTest, ReadBufferCopiesNoMoreThanTheRoomOrTheDatagramHolds) {
  struct Case {
    int sent;
    int room;
    int reported;
    int copied;
  };
  const Case cases[] = {
      {5, 4096, 5, 5},
      {3000, 4096, 2048, 2048},
      {3000, 1024, 2048, 1024},
      {2048, 10, 2048, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "sent " << c.sent << ", room " << c.room);
    int reported = -2;
    udp.OnDataReceived = [&](TVelUDP*, int bytes, const QString&, int) { reported = bytes; };
    udp.SendBuffer("x");
    ASSERT_EQ(PeerGot(), "x");
    QByteArray datagram(c.sent, '\0');
    for (int i = 0; i < c.sent; ++i) datagram[i] = static_cast<char>('a' + i % 26);
    ASSERT_TRUE(peer.SendTo(datagram, lastFrom));
    ASSERT_TRUE(QTest::qWaitFor([&] { return reported != -2; }, kWaitMs));
    EXPECT_EQ(reported, c.reported);
    QByteArray buffer(4096, '#');
    int length = c.room;
    udp.ReadBuffer(buffer.data(), length);
    EXPECT_EQ(length, c.copied);
    EXPECT_EQ(buffer.left(length), datagram.left(c.copied));
    EXPECT_EQ(buffer.at(length), '#');
  }
}

TEST_F(VelUDPTest, AFailedReceiveIsReportedAsMinusOneAndTheDatagramStillComes) {
  struct Case {
    int error;
    bool reported;  // the failure reaches OnDataReceived
  };
  // A notice with nothing to read after all is no failure.
  const Case cases[] = {{ENOMEM, true}, {EAGAIN, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "errno " << c.error);
    std::vector<Received> got;
    RecordDatagrams(got);
    udp.SendBuffer("x");
    ASSERT_EQ(PeerGot(), "x");
    const TFailingRecvfrom failing(ntohs(lastFrom.sin_port), c.error);
    ASSERT_TRUE(peer.SendTo("reply", lastFrom));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !got.empty() && got.back().bytes == 5; }, kWaitMs));
    ASSERT_EQ(got.size(), c.reported ? 2u : 1u);
    if (c.reported) {
      EXPECT_EQ(got[0].bytes, -1);
      EXPECT_EQ(got[0].ip, QStringLiteral("0.0.0.0"));
      EXPECT_EQ(got[0].port, 0);
      EXPECT_EQ(got[0].data, "");
    }
    EXPECT_EQ(got.back().ip, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(got.back().port, peer.Port());
    EXPECT_EQ(got.back().data, "reply");
  }
}

TEST_F(VelUDPTest, AnEmptyBufferIsInvalidUnlessTheHandlerSuppliesBytes) {
  struct Case {
    const char* name;
    bool assigned;
    bool handled;
    QByteArray supplied;
    const char* error;  // nullptr: the supplied bytes go out
  };
  const Case cases[] = {
      {"no handler", false, false, {}, "Invalid buffer"},
      {"not handled", true, false, "abc", "Invalid buffer"},
      {"handled, still empty", true, true, {}, "Invalid buffer"},
      {"handled with bytes", true, true, "abc", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    udp.OnBufferInvalid = nullptr;
    if (c.assigned)
      udp.OnBufferInvalid = [&](bool& handled, QByteArray& buffer) {
        handled = c.handled;
        buffer = c.supplied;
      };
    const auto error = Thrown([&] { udp.SendBuffer({}); });
    if (c.error) {
      EXPECT_EQ(error, std::string(c.error));
      QByteArray none;
      EXPECT_FALSE(peer.Receive(none, nullptr, 0));
    } else {
      EXPECT_EQ(error, std::nullopt);
      EXPECT_EQ(PeerGot(), c.supplied);
    }
  }
}

TEST_F(VelUDPTest, RemoteHostsAreDottedAddressesOrNamesLookedUpOnceMoreWhenTheHandlerSaysSo) {
  resolver.known = {{QStringLiteral("indicator.test"), 0x7F000001}};
  struct Case {
    const char* host;
    std::optional<bool> handled;  // OnInvalidHost assigned, and its answer
    int lookups;
    const char* error;  // nullptr: sent to the peer
  };
  const Case cases[] = {
      {"127.0.0.1", std::nullopt, 0, nullptr},
      {"indicator.test", std::nullopt, 1, nullptr},
      {"0.0.0.0", std::nullopt, 0, "Null Remote Address"},
      // The dotted form's "no address" value: looked up as a name.
      {"255.255.255.255", std::nullopt, 1, "Host Lookup Canceled"},
      {"nowhere.test", std::nullopt, 1, "Host Lookup Canceled"},
      {"nowhere.test", false, 1, "Host Lookup Canceled"},
      {"nowhere.test", true, 2, "Host Lookup Canceled"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.host << " handled " << (c.handled ? int(*c.handled) : -1));
    resolver.asked.clear();
    int invalid = 0;
    udp.OnInvalidHost = nullptr;
    if (c.handled)
      udp.OnInvalidHost = [&](bool& handled) {
        ++invalid;
        handled = *c.handled;
      };
    udp.SetRemoteHost(QString::fromLatin1(c.host));
    const auto error = Thrown([&] { udp.SendBuffer("probe"); });
    EXPECT_EQ(resolver.asked.size(), c.lookups);
    EXPECT_EQ(invalid, c.handled && c.error ? 1 : 0);
    if (c.error) {
      EXPECT_EQ(error, std::string(c.error));
    } else {
      EXPECT_EQ(error, std::nullopt);
      EXPECT_EQ(PeerGot(), "probe");
    }
  }
}

TEST_F(VelUDPTest, TheWindowKeepsWorkingWhileALookupWaitsAndASecondSendIsRefused) {
  resolver.known = {{QStringLiteral("indicator.test"), 0x7F000001}};
  resolver.hold = true;
  udp.SetRemoteHost(QStringLiteral("indicator.test"));
  std::optional<std::string> second;
  QTimer::singleShot(0, [&] {
    second = Thrown([&] { udp.SendBuffer("second"); });
    resolver.Release();
  });
  udp.SendBuffer("first");
  EXPECT_EQ(second, std::string("A host lookup is still in progress"));
  EXPECT_EQ(PeerGot(), "first");
  QByteArray none;
  EXPECT_FALSE(peer.Receive(none, nullptr, 0));
}

TEST(VelUDP, DestroyedWhileALookupWaitsTheSendEndsWithoutTouchingIt) {
  TFakeResolver resolver;
  resolver.hold = true;
  auto udp = std::make_unique<TVelUDP>();
  udp->SetRemoteHost(QStringLiteral("indicator.test"));
  QTimer::singleShot(0, [&] { udp.reset(); });
  EXPECT_EQ(Thrown([&] { udp->SendBuffer("probe"); }), std::string("Host Lookup Canceled"));
  EXPECT_EQ(udp, nullptr);
}

TEST_F(VelUDPTest, SocketFailuresRaiseWithTheSystemsReasonAfterOnSocketError) {
  TUdpPeer taken;
  struct Case {
    const char* name;
    std::function<void()> act;
    int code;
    std::string reason;  // the system's own text is in the locale's language
  };
  const Case cases[] = {
      {"a local port in use", [&] { udp.SetLocalPort(taken.Port()); }, EADDRINUSE, std::strerror(EADDRINUSE)},
      {"a local host that is no address", [&] { udp.SetLocalHost(QStringLiteral("no-such-interface")); },
       EADDRNOTAVAIL, "Invalid local address no-such-interface"},
      {"a datagram too long to send", [&] { udp.SendBuffer(QByteArray(70000, 'x')); }, EMSGSIZE, std::strerror(EMSGSIZE)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<int> reported;
    udp.OnSocketError = [&](TVelUDP*, int code, const QString&) { reported.push_back(code); };
    std::optional<std::string> error;
    try {
      c.act();
    } catch (const UDPSockError& e) {
      error = e.what();
    }
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find(c.reason), std::string::npos) << *error;
    EXPECT_EQ(reported, std::vector<int>{c.code});
    EXPECT_EQ(udp.LastError(), c.code);
  }
}

TEST_F(VelUDPTest, EachLocalPortRebindsAndTheSocketIsClosedWhenItGoes) {
  const uint16_t first = FreePort();
  const uint16_t last = FreePort();
  {
    TVelUDP own;
    own.SetLocalHost(QStringLiteral("127.0.0.1"));
    own.SetLocalPort(first);
    own.SetLocalPort(last);
    EXPECT_TRUE(TUdpPeer("127.0.0.1", first).Bound()) << "the first socket stayed open";
    own.SetRemoteHost(QStringLiteral("127.0.0.1"));
    own.SetRemotePort(peer.Port());
    own.SendBuffer("x");
    uint16_t from = 0;
    ASSERT_EQ(PeerGot(&from), "x");
    EXPECT_EQ(from, last);
  }
  EXPECT_TRUE(TUdpPeer("127.0.0.1", last).Bound()) << "the socket outlived the component";
}

TEST_F(VelUDPTest, StatusMessagesReachOnStatusUpToTheReportLevel) {
  struct Case {
    int level;
    QStringList statuses;
  };
  const Case cases[] = {{1, {}}, {2, {QStringLiteral("Sending Data")}}};
  for (const Case& c : cases) {
    QStringList statuses;
    udp.OnStatus = [&](TVelUDP*, const QString& status) { statuses << status; };
    udp.SetReportLevel(c.level);
    udp.SendBuffer("x");
    EXPECT_EQ(statuses, c.statuses) << "level " << c.level;
    PeerGot();
  }
}

}  // namespace
