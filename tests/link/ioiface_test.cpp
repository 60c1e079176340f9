#include "link/IOIface.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

#include "link/IOIfaceConfigure.h"
#include "link/IOIfaceNull.h"
#include "link/IOIfaceSocket.h"

namespace {

constexpr int kWaitMs = 10000;

struct TEvents {
  std::string received;
  int connects = 0;
  int disconnects = 0;
  std::vector<QString> errors;

  void Bind(TIOIfaceSocket& link) {
    link.OnRxData = [this](const std::string& data) { received += data; };
    link.OnConnect = [this](TIOIface*) { ++connects; };
    link.OnDisconnect = [this](TIOIface*) { ++disconnects; };
    link.OnError = [this](const QString& message) { errors.push_back(message); };
  }
};

// A far end on 127.0.0.1 that keeps the socket it accepted.
struct TFarEnd {
  QTcpServer server;
  QTcpSocket* peer = nullptr;
  TFarEnd() {
    EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server, &QTcpServer::newConnection, [this] { peer = server.nextPendingConnection(); });
  }
  quint16 Port() const { return server.serverPort(); }
};

// Runs what is already queued, so that an event that should not come would have.
void DrainPostedEvents() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

void Connect(TIOIfaceSocket& link, TFarEnd& far, TEvents& events) {
  events.Bind(link);
  link.SetAddress(QStringLiteral("127.0.0.1"));
  link.SetPort(far.Port());
  link.Open();
  ASSERT_TRUE(QTest::qWaitFor([&] { return events.connects == 1 && far.peer; }, kWaitMs));
}

}  // namespace

TEST(TIOIfaceNull, NeverActiveButReportsOpenAndCloseAtOnce) {
  TIOIfaceNull link;
  int connects = 0, disconnects = 0;
  link.OnConnect = [&](TIOIface* sender) { connects += sender == &link; };
  link.OnDisconnect = [&](TIOIface* sender) { disconnects += sender == &link; };
  link.Open();
  EXPECT_EQ(connects, 1);
  EXPECT_FALSE(link.GetActive());
  link.Close();
  EXPECT_EQ(disconnects, 1);
  EXPECT_TRUE(link.GetDescription().isEmpty());
}

TEST(TIOIfaceSocket, DescribesItselfByHostOrElseAddress) {
  TIOIfaceSocket byHost;
  byHost.SetHost(QStringLiteral("plant-7"));
  byHost.SetAddress(QStringLiteral("10.0.0.9"));
  byHost.SetPort(2222);
  EXPECT_EQ(byHost.GetDescription(), QStringLiteral("plant-7:2222"));
  TIOIfaceSocket byAddress;
  byAddress.SetAddress(QStringLiteral("10.0.0.5"));
  byAddress.SetPort(2222);
  EXPECT_EQ(byAddress.GetDescription(), QStringLiteral("10.0.0.5:2222"));
}

TEST(TIOIfaceSocket, ActiveOnlyOnceTheFarEndAcceptsAndBytesPassUnchanged) {
  TFarEnd far;
  TIOIfaceSocket link;
  TEvents events;
  events.Bind(link);
  link.SetAddress(QStringLiteral("127.0.0.1"));
  link.SetPort(far.Port());
  link.Open();
  EXPECT_FALSE(link.GetActive());
  ASSERT_TRUE(QTest::qWaitFor([&] { return events.connects == 1 && far.peer; }, kWaitMs));
  EXPECT_TRUE(link.GetActive());

  const std::string out("S99;\x02\xB5\xFF\x03", 8);
  link.Send(out);
  QByteArray atFar;
  ASSERT_TRUE(QTest::qWaitFor([&] { atFar += far.peer->readAll(); return atFar.size() >= 8; }, kWaitMs));
  EXPECT_EQ(atFar.toStdString(), out);

  far.peer->write(QByteArray("\xE9" "123\r\n", 6));
  ASSERT_TRUE(QTest::qWaitFor([&] { return events.received.size() >= 6; }, kWaitMs));
  EXPECT_EQ(events.received, std::string("\xE9" "123\r\n", 6));
  EXPECT_TRUE(events.errors.empty());
}

// More than the connection takes at once: what the kernel does not take waits in
// the link, and a later command goes out behind it, never ahead.
TEST(TIOIfaceSocket, ACommandBehindOneTheConnectionCouldNotTakeFollowsIt) {
  TFarEnd far;
  TIOIfaceSocket link;
  TEvents events;
  Connect(link, far, events);
  std::string big(8 << 20, '\0');
  for (std::size_t k = 0; k < big.size(); ++k) big[k] = static_cast<char>('a' + k % 26);
  link.Send(big);
  // The far end takes some, so that the connection has room again while the link
  // still holds the rest.
  QByteArray atFar;
  while (atFar.size() < (1 << 20) && far.peer->waitForReadyRead(kWaitMs)) atFar += far.peer->readAll();
  link.Send("S99;");
  const std::string expected = big + "S99;";
  ASSERT_TRUE(QTest::qWaitFor([&] { atFar += far.peer->readAll(); return atFar.size() >= static_cast<qsizetype>(expected.size()); }, kWaitMs));
  EXPECT_TRUE(atFar.toStdString() == expected);
  EXPECT_TRUE(events.errors.empty());
}

// The socket does not announce new bytes while its own read signal is being
// handled; a handler that waits for the next reply there would wait forever.
TEST(TIOIfaceSocket, AHandlerWaitingInANestedLoopStillGetsTheNextBytes) {
  TFarEnd far;
  TIOIfaceSocket link;
  TEvents events;
  Connect(link, far, events);
  link.OnRxData = [&](const std::string& data) {
    events.received += data;
    if (events.received == "A") {
      far.peer->write("B");
      // A nested loop (a request waiting for its reply) keeps the socket served.
      EXPECT_TRUE(QTest::qWaitFor([&] { return events.received.size() >= 2; }, kWaitMs));
    }
  };
  far.peer->write("A");
  ASSERT_TRUE(QTest::qWaitFor([&] { return events.received.size() >= 2; }, kWaitMs));
  EXPECT_EQ(events.received, "AB");
}

TEST(TIOIfaceSocket, FarEndClosingIsOneDisconnectAndNoError) {
  TFarEnd far;
  TIOIfaceSocket link;
  TEvents events;
  Connect(link, far, events);
  far.peer->write("12\r");
  far.peer->flush();
  far.peer->disconnectFromHost();
  ASSERT_TRUE(QTest::qWaitFor([&] { return events.disconnects == 1; }, kWaitMs));
  EXPECT_FALSE(link.GetActive());
  link.Close();
  DrainPostedEvents();
  EXPECT_EQ(events.disconnects, 1);
  EXPECT_EQ(events.received, "12\r");
  EXPECT_TRUE(events.errors.empty());
}

// A far end that greets and hangs up before the link's event loop has run once:
// the connection, the bytes and the close reach the socket in one pass, and the
// events still come in that order.
TEST(TIOIfaceSocket, EventsKeepTheOrderTheSocketSawThemIn) {
  TFarEnd far;
  TIOIfaceSocket link;
  std::string order;
  link.OnConnect = [&](TIOIface*) { order += "<connect>"; };
  link.OnRxData = [&](const std::string& data) { order += data; };
  link.OnDisconnect = [&](TIOIface*) { order += "<disconnect>"; };
  link.SetAddress(QStringLiteral("127.0.0.1"));
  link.SetPort(far.Port());
  link.Open();
  ASSERT_TRUE(far.server.waitForNewConnection(kWaitMs));
  ASSERT_NE(far.peer, nullptr);
  far.peer->write("hello\r");
  ASSERT_TRUE(far.peer->waitForBytesWritten(kWaitMs));
  far.peer->disconnectFromHost();
  ASSERT_TRUE(QTest::qWaitFor([&] { return order.ends_with("<disconnect>"); }, kWaitMs));
  EXPECT_EQ(order, "<connect>hello\r<disconnect>");
}

TEST(TIOIfaceSocket, OwnCloseIsOneDisconnectAndANewOpenConnectsAgain) {
  TFarEnd far;
  TIOIfaceSocket link;
  TEvents events;
  Connect(link, far, events);
  link.Close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return events.disconnects == 1; }, kWaitMs));
  far.peer = nullptr;
  link.Open();
  ASSERT_TRUE(QTest::qWaitFor([&] { return events.connects == 2 && far.peer; }, kWaitMs));
  EXPECT_EQ(events.disconnects, 1);
}

TEST(TIOIfaceSocket, RefusedConnectionReportsAnErrorAndNeverConnects) {
  quint16 closedPort = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    closedPort = probe.serverPort();
  }
  TIOIfaceSocket link;
  TEvents events;
  events.Bind(link);
  link.SetAddress(QStringLiteral("127.0.0.1"));
  link.SetPort(closedPort);
  link.Open();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !events.errors.empty(); }, kWaitMs));
  EXPECT_TRUE(events.errors[0].contains(QStringLiteral("127.0.0.1:%1").arg(closedPort)));
  EXPECT_EQ(events.connects, 0);
  EXPECT_EQ(events.disconnects, 0);
  EXPECT_FALSE(link.GetActive());
}

TEST(TIOIfaceSocket, FreeingAConnectedLinkCallsNobodyBack) {
  TFarEnd far;
  auto link = std::make_unique<TIOIfaceSocket>();
  TEvents events;
  Connect(*link, far, events);
  far.peer->write("late\r");
  link.reset();
  DrainPostedEvents();
  EXPECT_EQ(events.disconnects, 0);
  EXPECT_TRUE(events.received.empty());
}

TEST(IsNumericIPv4, TellsDottedAddressesFromHostNames) {
  struct Case {
    const char* text;
    bool numeric;
    const char* address;  // as the socket gets it
  } cases[] = {{"10.0.0.5", true, "10.0.0.5"},
               {"127.0.0.1", true, "127.0.0.1"},
               {"192.168.001.010", true, "192.168.1.10"},  // as a front panel shows it; 010 is ten
               {"010.000.000.255", true, "10.0.0.255"},
               {"plant-7", false, ""},
               {"10.0.0", false, ""},
               {"300.1.1.1", false, ""},
               {"1.2.3.256", false, ""},
               {"1.2.3.4.5", false, ""},
               {"", false, ""},
               {"10.0.0.5x", false, ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsNumericIPv4(QString::fromLatin1(c.text)), c.numeric) << c.text;
    EXPECT_EQ(DecimalIPv4(QString::fromLatin1(c.text)).value_or(QString()), QString::fromLatin1(c.address)) << c.text;
  }
}

// Read as octal, as a name lookup reads it, 127.000.000.010 would be 127.0.0.8.
TEST(CreateIOInterface, AZeroPaddedAddressConnectsToTheIndicatorItNames) {
  QTcpServer named;
  ASSERT_TRUE(named.listen(QHostAddress(QStringLiteral("127.0.0.10")), 0));
  QTcpServer octal;
  ASSERT_TRUE(octal.listen(QHostAddress(QStringLiteral("127.0.0.8")), named.serverPort()));
  TLinkSettings settings;
  settings.tcp = true;
  settings.host = QStringLiteral("127.000.000.010");
  settings.tcpPort = named.serverPort();
  auto link = CreateIOInterface(settings);
  EXPECT_EQ(link->GetDescription(), QStringLiteral("127.0.0.10:%1").arg(named.serverPort()));
  link->Open();
  ASSERT_TRUE(QTest::qWaitFor([&] { return named.hasPendingConnections() || octal.hasPendingConnections(); }, kWaitMs));
  EXPECT_TRUE(named.hasPendingConnections());
  EXPECT_FALSE(octal.hasPendingConnections());
}

TEST(CreateIOInterface, TcpChoiceGivesAClosedSocketLinkDescribedAsTyped) {
  TLinkSettings settings;
  settings.tcp = true;
  settings.host = QStringLiteral("10.0.0.5");
  settings.tcpPort = 2222;
  auto link = CreateIOInterface(settings);
  ASSERT_NE(dynamic_cast<TIOIfaceSocket*>(link.get()), nullptr);
  EXPECT_FALSE(link->GetActive());
  EXPECT_EQ(link->GetDescription(), QStringLiteral("10.0.0.5:2222"));
  settings.host = QStringLiteral("plant-7");
  EXPECT_EQ(CreateIOInterface(settings)->GetDescription(), QStringLiteral("plant-7:2222"));
}
