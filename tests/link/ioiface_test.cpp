#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "link/IOIfaceNull.h"
#include "link/IOIfaceSocket.h"
#include "tests/support/scripted_prompter.h"

namespace {

constexpr int kLimitMs = 20000;

// Counts what a link reports.
struct TEvents {
  int connects = 0;
  int disconnects = 0;
  std::string received;
  void Bind(TIOIface& link) {
    link.OnConnect = [this](TIOIface*) { ++connects; };
    link.OnDisconnect = [this](TIOIface*) { ++disconnects; };
    link.OnRxData = [this](const std::string& data) { received += data; };
  }
};

// A TCP link connected to a server on 127.0.0.1 whose accepted socket the test holds.
struct TConnectedSocket {
  QTcpServer server;
  std::unique_ptr<QTcpSocket> peer;
  TIOIfaceSocket link;
  TEvents events;

  bool Connect() {
    if (!server.listen(QHostAddress::LocalHost, 0)) return false;
    link.SetAddress(QStringLiteral("127.0.0.1"));
    link.SetPort(server.serverPort());
    events.Bind(link);
    link.Open();
    if (!QTest::qWaitFor([&] { return server.hasPendingConnections() || peer; }, kLimitMs)) return false;
    peer.reset(server.nextPendingConnection());
    return QTest::qWaitFor([&] { return events.connects == 1; }, kLimitMs);
  }
};

}  // namespace

TEST(TIOIfaceNull, IsNeverActiveYetReportsOpenAndClose) {
  TIOIfaceNull link;
  TEvents events;
  events.Bind(link);
  link.Open();
  EXPECT_FALSE(link.GetActive());
  link.Send("ADR?;");
  link.Close();
  EXPECT_EQ(events.connects, 1);
  EXPECT_EQ(events.disconnects, 1);
  EXPECT_EQ(link.GetDescription(), QString());
}

TEST(TIOIfaceSocket, DescribesItselfByHostOrElseAddress) {
  struct Case {
    const char* host;
    const char* address;
    int port;
    const char* description;
  } cases[] = {
      {"plant-7", "", 2222, "plant-7:2222"},
      {"", "10.0.0.5", 2222, "10.0.0.5:2222"},
      {"plant-7", "10.0.0.5", 1, "plant-7:1"},
  };
  for (const Case& c : cases) {
    TIOIfaceSocket link;
    link.SetHost(QString::fromLatin1(c.host));
    link.SetAddress(QString::fromLatin1(c.address));
    link.SetPort(c.port);
    EXPECT_EQ(link.GetDescription(), QString::fromLatin1(c.description));
    EXPECT_FALSE(link.GetActive());
  }
}

TEST(TIOIfaceSocket, CarriesBytesBothWaysUnchanged) {
  TConnectedSocket s;
  ASSERT_TRUE(s.Connect());
  EXPECT_TRUE(s.link.GetActive());
  const std::string bytes("\x02\xff\xe9\x00;\x03", 6);
  s.link.Send(bytes);
  ASSERT_TRUE(QTest::qWaitFor([&] { return s.peer->bytesAvailable() >= 6; }, kLimitMs));
  EXPECT_EQ(s.peer->readAll().toStdString(), bytes);
  s.peer->write(QByteArray(bytes.data(), 6));
  EXPECT_TRUE(QTest::qWaitFor([&] { return s.events.received.size() >= 6; }, kLimitMs));
  EXPECT_EQ(s.events.received, bytes);
}

TEST(TIOIfaceSocket, AFarEndThatClosesIsOnePlainDisconnect) {
  TScriptedPrompter prompter;
  TConnectedSocket s;
  ASSERT_TRUE(s.Connect());
  s.peer->close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return s.events.disconnects == 1; }, kLimitMs));
  EXPECT_FALSE(s.link.GetActive());
  s.link.Close();
  QTest::qWait(0);
  EXPECT_EQ(s.events.disconnects, 1);
  EXPECT_TRUE(prompter.Prompts().empty());
}

TEST(TIOIfaceSocket, CloseReportsOneDisconnectAndTheLinkCanOpenAgain) {
  TConnectedSocket s;
  ASSERT_TRUE(s.Connect());
  s.link.Close();
  EXPECT_FALSE(s.link.GetActive());
  ASSERT_TRUE(QTest::qWaitFor([&] { return s.events.disconnects == 1; }, kLimitMs));
  s.link.Open();
  ASSERT_TRUE(QTest::qWaitFor([&] { return s.events.connects == 2; }, kLimitMs));
  EXPECT_TRUE(s.link.GetActive());
}

TEST(TIOIfaceSocket, ARefusedConnectionIsShownAndReportsNoConnectionChange) {
  TScriptedPrompter prompter;
  prompter.AnswerMessage(mrOk);
  quint16 port = 0;
  {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    port = closed.serverPort();
  }
  TIOIfaceSocket link;
  TEvents events;
  events.Bind(link);
  link.SetAddress(QStringLiteral("127.0.0.1"));
  link.SetPort(port);
  link.Open();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.Prompts().empty(); }, kLimitMs));
  EXPECT_TRUE(prompter.Messages()[0].contains(QStringLiteral("127.0.0.1:%1").arg(port)));
  EXPECT_EQ(events.connects, 0);
  EXPECT_EQ(events.disconnects, 0);
  EXPECT_FALSE(link.GetActive());
}

// Under the sanitizers: a delivery posted for a link that is gone must not run.
TEST(TIOIfaceSocket, DataStillQueuedWhenTheLinkIsFreedReachesNoOne) {
  auto s = std::make_unique<TConnectedSocket>();
  ASSERT_TRUE(s->Connect());
  int deliveries = 0;
  s->link.OnRxData = [&deliveries](const std::string&) { ++deliveries; };
  s->peer->write("123\r\n");
  s->peer->flush();
  s->peer->waitForBytesWritten(kLimitMs);
  s.reset();
  QTest::qWait(0);
  EXPECT_EQ(deliveries, 0);
}
