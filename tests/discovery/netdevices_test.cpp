// The device finder against the simulated indicator, each test in a network
// namespace of its own, so that the fixed discovery port is the test's alone.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <cerrno>
#include <gtest/gtest.h>
#include <memory>

#include "discovery/NetDevices.h"
#include "tests/support/discovery_fakes.h"
#include "tests/support/failing_recvfrom.h"
#include "tests/support/private_network.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/udp_peer.h"
#include "tools/sim/sim_indicator.h"
#include "tools/sim/sim_server.h"

namespace {

constexpr int kWaitMs = 10000;
const QString kLoopbackItem = QStringLiteral("127.0.0.1 / 127.255.255.255");

class DeviceFinderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(net.Active()) << net.Error().toStdString(); }
  void TearDown() override { EXPECT_TRUE(prompter.AllAnswersUsed()); }

  TfrmNetworkDevices& Open() {
    finder = std::make_unique<TfrmNetworkDevices>();
    finder->show();
    return *finder;
  }
  template <class T>
  T& Control(const char* name) {
    T* control = finder->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return *control;
  }
  QTableWidget& Grid() { return Control<QTableWidget>("StringGridNetDevices"); }
  bool Enabled(const char* button) { return Control<QPushButton>(button).isEnabled(); }
  // Types the address box's text as a person does, then presses Find Devices.
  void Find(const QString& text) {
    QLineEdit& edit = *Control<QComboBox>("CBInterfaces").lineEdit();
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClicks(&edit, text);
    QTest::mouseClick(&Control<QPushButton>("BtnFind"), Qt::LeftButton);
  }
  bool WaitForRows(int rows) { return QTest::qWaitFor([&] { return Grid().rowCount() >= rows; }, kWaitMs); }
  void ClickRow(int row) {
    QTableWidget& grid = Grid();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualItemRect(grid.item(row, 0)).center());
  }
  QStringList RowText(int row) {
    QStringList cells;
    for (int c = 0; c < Grid().columnCount(); ++c) cells << (Grid().item(row, c) ? Grid().item(row, c)->text() : "-");
    return cells;
  }
  // One indicator answering the probe on a loopback address; returns its TCP port.
  uint16_t StartIndicator(sim::TSimServer& server, const char* address = "127.0.0.1") {
    server.ListenDiscovery(TfrmNetworkDevices::kDiscoveryPort, address);
    return server.ListenTcp(0);
  }

  TPrivateNetwork net;  // first, so that every socket below is made inside it
  TScriptedPrompter prompter;
  TFakeInterfaces interfaces;
  TFakeResolver resolver;
  TRecordingOpener opener;
  sim::TSimIndicator indicator{sim::Model::W830};
  sim::TSimServer server{indicator};
  std::unique_ptr<TfrmNetworkDevices> finder;
};

TEST_F(DeviceFinderTest, OpensWithItsCaptionsColumnsAndTheInterfacesThatAreUp) {
  interfaces.list = {kTestLoopback,
                     {0x0A141E28, 0xFFFFF000, true, false},   // 10.20.30.40/20
                     {0xC0A80505, 0xFFFFFF00, false, false},  // down
                     {0x7F000001, 0xFF000000, true, true}};   // flagged as the loopback
  Open();
  EXPECT_EQ(finder->windowTitle(), QStringLiteral("Network Devices"));
  EXPECT_EQ(Control<QLabel>("LabelIPAddress").text(), QStringLiteral("Interface List/IP Address/Broadcast/Hostname"));
  EXPECT_EQ(Control<QLabel>("LabelIPAddress").buddy(), &Control<QComboBox>("CBInterfaces"));
  EXPECT_EQ(Control<QGroupBox>("GrpBoxDevices").title(), QStringLiteral("Network Devices"));
  EXPECT_EQ(Control<QPushButton>("BtnFind").text(), QStringLiteral("Find Devices"));
  EXPECT_EQ(Control<QPushButton>("BtnClose").text(), QStringLiteral("Close"));
  EXPECT_EQ(Control<QPushButton>("BtnConnect").text(), QStringLiteral("Connect"));
  EXPECT_EQ(Control<QPushButton>("BtnWeb").text(), QStringLiteral("http://"));
  QStringList titles;
  for (int c = 0; c < Grid().columnCount(); ++c) titles << Grid().horizontalHeaderItem(c)->text();
  EXPECT_EQ(titles, QStringList({"IP Address", "Device Class", "Device", "Serial Number", "Software Version",
                                 "Custom Identifier", "MAC Address", "TCP Port", "Hostname"}));
  EXPECT_EQ(Grid().rowCount(), 0);
  QComboBox& box = Control<QComboBox>("CBInterfaces");
  QStringList items;
  for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
  EXPECT_EQ(items, QStringList({kLoopbackItem, "10.20.30.40 / 10.20.31.255"}));
  EXPECT_FALSE(Enabled("BtnConnect"));
  EXPECT_FALSE(Enabled("BtnWeb"));
}

TEST_F(DeviceFinderTest, EachFormOfTheAddressBoxReachesTheIndicator) {
  const uint16_t tcpPort = StartIndicator(server);
  resolver.known = {{QStringLiteral("indicator.test"), 0x7F000001}};
  Open();
  struct Case {
    QString typed;
    QStringList lookups;
  };
  const Case cases[] = {
      {kLoopbackItem, {}},                        // from the interface to its broadcast address
      {QStringLiteral("127.0.0.1"), {}},          // from the interface whose subnet holds it
      {QStringLiteral("127.255.255.255"), {}},
      {QStringLiteral("indicator.test"), {QStringLiteral("indicator.test")}},  // from any address
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    resolver.asked.clear();
    Find(c.typed);
    ASSERT_TRUE(WaitForRows(1));
    EXPECT_EQ(RowText(0), QStringList({"127.0.0.1", "W830", "Simulated indicator", "SIM00001", "2.10", "",
                                       "02:00:00:00:08:30", QString::number(tcpPort), "sim-indicator"}));
    EXPECT_EQ(resolver.asked, c.lookups);
  }
}

TEST_F(DeviceFinderTest, AHostNameThatDoesNotResolveIsReportedTwiceOverAndSendsNothing) {
  StartIndicator(server);
  Open();
  prompter.AnswerMessage(mrOk);
  prompter.AnswerMessage(mrOk);
  Find(QStringLiteral("nowhere.test"));
  EXPECT_EQ(prompter.Messages(), std::vector<QString>({"Invalid Hostname/IP Address: nowhere.test",
                                                       "Host Lookup Canceled"}));
  EXPECT_EQ(resolver.asked, QStringList({"nowhere.test", "nowhere.test"}));
  EXPECT_EQ(Grid().rowCount(), 0);
}

TEST_F(DeviceFinderTest, AtItsOpeningSizeEveryTitleAndTextShowsWholeAndEachColumnWidensByItself) {
  StartIndicator(server);
  Open();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(finder.get()));
  Find(kLoopbackItem);
  ASSERT_TRUE(WaitForRows(1));
  QTableWidget& grid = Grid();
  QHeaderView& header = *grid.horizontalHeader();
  int total = 0;
  for (int c = 0; c < grid.columnCount(); ++c) {
    const QString title = grid.horizontalHeaderItem(c)->text();
    EXPECT_GE(grid.columnWidth(c), header.sectionSizeHint(c)) << title.toStdString();
    const QString text = grid.item(0, c)->text();
    EXPECT_GT(grid.columnWidth(c), grid.fontMetrics().horizontalAdvance(text) + 6) << text.toStdString();
    total += grid.columnWidth(c);
  }
  EXPECT_LE(total, grid.viewport()->width()) << "the row needs scrolling";

  // A drag on the border between two titles widens the left one only.
  const int wide = grid.columnWidth(1), next = grid.columnWidth(2);
  const QPoint border(header.sectionViewportPosition(1) + wide - 1, header.height() / 2);
  QTest::mousePress(header.viewport(), Qt::LeftButton, {}, border);
  QTest::mouseMove(header.viewport(), border + QPoint(20, 0));
  QTest::mouseMove(header.viewport(), border + QPoint(40, 0));
  QTest::mouseRelease(header.viewport(), Qt::LeftButton, {}, border + QPoint(40, 0));
  EXPECT_EQ(grid.columnWidth(1), wide + 40);
  EXPECT_EQ(grid.columnWidth(2), next);
}

TEST_F(DeviceFinderTest, EveryReplyIsARowAndEachFindStartsAfresh) {
  server.SetDiscoveryAnswer(2, 30);
  StartIndicator(server);
  sim::TSimIndicator other(sim::Model::W840);
  sim::TSimServer otherServer(other);
  StartIndicator(otherServer, "127.0.0.2");
  Open();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    Find(kLoopbackItem);
    EXPECT_EQ(Grid().rowCount(), 0) << "rows of the last find are kept";
    ASSERT_TRUE(WaitForRows(3));
    QStringList senders;
    for (int r = 0; r < Grid().rowCount(); ++r) senders << RowText(r)[0] + ' ' + RowText(r)[1];
    senders.sort();
    EXPECT_EQ(senders, QStringList({"127.0.0.1 W830", "127.0.0.1 W830", "127.0.0.2 W840"}));
  }
}

TEST_F(DeviceFinderTest, ConnectAndHttpFollowTheChosenRowOnlyWhileNoLinkIsOpen) {
  const uint16_t tcpPort = StartIndicator(server);
  for (const bool allow : {true, false}) {
    SCOPED_TRACE(allow ? "no link open" : "a link open");
    Open().SetAllowConnect(allow);
    finder->SetFinderAddress(kLoopbackItem);
    QTest::mouseClick(&Control<QPushButton>("BtnFind"), Qt::LeftButton);
    ASSERT_TRUE(WaitForRows(1));
    EXPECT_FALSE(Enabled("BtnConnect")) << "before a row is chosen";
    ClickRow(0);
    EXPECT_EQ(Enabled("BtnConnect"), allow);
    EXPECT_EQ(Enabled("BtnWeb"), allow);
    EXPECT_EQ(finder->GetSelectedIPAddress(), allow ? QStringLiteral("127.0.0.1") : QString());
    EXPECT_EQ(finder->GetSelectedTCPPort(), allow ? QString::number(tcpPort) : QString());
    // A new find takes the choice away until a row is chosen again.
    QTest::mouseClick(&Control<QPushButton>("BtnFind"), Qt::LeftButton);
    EXPECT_FALSE(Enabled("BtnConnect"));
    EXPECT_FALSE(Enabled("BtnWeb"));
    EXPECT_EQ(finder->GetSelectedIPAddress(), QString());
    ASSERT_TRUE(WaitForRows(1));
    ClickRow(0);
    EXPECT_EQ(Enabled("BtnConnect"), allow);
  }
}

TEST_F(DeviceFinderTest, ConnectAndCloseEndTheDialogAndHttpOpensTheIndicatorsPage) {
  StartIndicator(server);
  struct Case {
    const char* button;
    int result;
  };
  for (const Case& c : {Case{"BtnConnect", mrOk}, Case{"BtnClose", mrCancel}}) {
    SCOPED_TRACE(c.button);
    Open().SetFinderAddress(kLoopbackItem);
    QTest::mouseClick(&Control<QPushButton>("BtnFind"), Qt::LeftButton);
    ASSERT_TRUE(WaitForRows(1));
    ClickRow(0);
    opener.opened.clear();
    QTest::mouseClick(&Control<QPushButton>("BtnWeb"), Qt::LeftButton);
    EXPECT_EQ(opener.opened, std::vector<QUrl>{QUrl(QStringLiteral("http://127.0.0.1/"))});
    EXPECT_TRUE(finder->isVisible());
    QTest::mouseClick(&Control<QPushButton>(c.button), Qt::LeftButton);
    EXPECT_FALSE(finder->isVisible());
    EXPECT_EQ(finder->result(), c.result);
    EXPECT_EQ(finder->GetFinderAddress(), kLoopbackItem);
  }
}

TEST_F(DeviceFinderTest, RepliesAreReadUpTo1024BytesAndOddOnesStillGiveTheAddress) {
  TUdpPeer responder("127.255.255.255", TfrmNetworkDevices::kDiscoveryPort);
  ASSERT_TRUE(responder.Bound());
  // A well-formed reply padded with a comment to exactly n bytes.
  auto padded = [](int n) {
    const QByteArray head = "<velmacor><device><name>Padded</name></device></velmacor><!--";
    const QByteArray tail = "-->";
    return head + QByteArray(n - head.size() - tail.size(), ' ') + tail;
  };
  struct Case {
    const char* name;
    QByteArray reply;
    QString deviceName;
  };
  const Case cases[] = {
      {"1024 bytes: read whole", padded(1024), QStringLiteral("Padded")},
      {"1025 bytes: cut, so no longer XML", padded(1025), QString()},
      {"not XML", QByteArray("\x00\xFF<velmacor>", 12), QString()},
  };
  Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Find(kLoopbackItem);
    ASSERT_TRUE(responder.AnswerProbe(c.reply));
    ASSERT_TRUE(WaitForRows(1));
    EXPECT_EQ(RowText(0)[0], QStringLiteral("127.0.0.1"));
    EXPECT_EQ(RowText(0)[2], c.deviceName);
  }
}

TEST_F(DeviceFinderTest, AFailedReceiveAddsNoRow) {
  TUdpPeer responder("127.255.255.255", TfrmNetworkDevices::kDiscoveryPort);
  ASSERT_TRUE(responder.Bound());
  Open();
  Find(kLoopbackItem);
  QByteArray probe;
  sockaddr_in finderAddress{};
  ASSERT_TRUE(responder.Receive(probe, &finderAddress));
  // The first read of the reply fails; the reply is still there for the next.
  const TFailingRecvfrom failing(ntohs(finderAddress.sin_port), ENOMEM);
  ASSERT_TRUE(responder.SendTo("<velmacor><device><name>Once</name></device></velmacor>", finderAddress));
  ASSERT_TRUE(WaitForRows(1));
  EXPECT_EQ(Grid().rowCount(), 1);
  EXPECT_EQ(RowText(0)[2], QStringLiteral("Once"));
}

TEST_F(DeviceFinderTest, WithoutTheInterfaceListItSaysWhyAndStillFindsByAddress) {
  StartIndicator(server);
  interfaces.error = 97;
  const QString box = QStringLiteral("Failed calling getifaddrs: Error 97.");
  prompter.AnswerMessage(mrOk);
  Open();
  EXPECT_EQ(prompter.Messages(), std::vector<QString>{box});
  EXPECT_EQ(Control<QComboBox>("CBInterfaces").count(), 0);
  prompter.AnswerMessage(mrOk);
  Find(QStringLiteral("127.0.0.1"));  // looks its interface up: the same box, then from any address
  EXPECT_EQ(prompter.Messages(), std::vector<QString>({box, box}));
  ASSERT_TRUE(WaitForRows(1));
  EXPECT_EQ(RowText(0)[0], QStringLiteral("127.0.0.1"));
}

TEST_F(DeviceFinderTest, ListsTheRealInterfacesOfANamespaceWithAVethPair) {
  SetNetInterfaces(nullptr);  // the system's list, of this test's own namespace
  ASSERT_TRUE(net.Ip({"link", "add", "vd0", "type", "veth", "peer", "name", "vd1"}));
  ASSERT_TRUE(net.Ip({"addr", "add", "10.77.1.2/24", "dev", "vd0"}));
  ASSERT_TRUE(net.Ip({"link", "set", "vd0", "up"}));
  ASSERT_TRUE(net.Ip({"addr", "add", "10.77.2.2/16", "dev", "vd1"}));  // stays down
  std::vector<TNetInterface> list;
  ASSERT_EQ(NetInterfaces().Query(list), 0);
  auto has = [&](uint32_t address, uint32_t mask, bool up, bool loopback) {
    for (const auto& i : list)
      if (i.address == address && i.mask == mask && i.up == up && i.loopback == loopback) return true;
    return false;
  };
  EXPECT_TRUE(has(0x7F000001, 0xFF000000, true, true));
  EXPECT_TRUE(has(0x0A4D0102, 0xFFFFFF00, true, false));
  EXPECT_TRUE(has(0x0A4D0202, 0xFFFF0000, false, false));
  Open();
  QComboBox& box = Control<QComboBox>("CBInterfaces");
  QStringList items;
  for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
  EXPECT_EQ(items, QStringList{"10.77.1.2 / 10.77.1.255"});
}

}  // namespace

namespace {

// How an indicator with an address foreign to the subnet answers: to the
// broadcast address of the network, at the finder's port.
bool BroadcastReply(const QByteArray& reply, const char* broadcast, uint16_t port) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  inet_pton(AF_INET, broadcast, &to.sin_addr);
  const bool sent = fd >= 0 && setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0 &&
                    sendto(fd, reply.constData(), static_cast<size_t>(reply.size()), 0,
                           reinterpret_cast<const sockaddr*>(&to), sizeof to) == reply.size();
  if (fd >= 0) close(fd);
  return sent;
}

// The office network as the computer has it now: one interface, 10.77.1.2/24, on
// a veth pair of the test's own namespace, listed by the system.
class OfficeNetworkTest : public DeviceFinderTest {
 protected:
  void SetUp() override {
    DeviceFinderTest::SetUp();
    SetNetInterfaces(nullptr);
    ASSERT_TRUE(net.Ip({"link", "add", "vo0", "type", "veth", "peer", "name", "vo1"}));
    ASSERT_TRUE(net.Ip({"addr", "add", "10.77.1.2/24", "dev", "vo0"}));
    ASSERT_TRUE(net.Ip({"link", "set", "vo0", "up"}));
    ASSERT_TRUE(net.Ip({"link", "set", "vo1", "up"}));
  }
  static constexpr char kReply[] = "<velmacor><device><name>Far</name></device></velmacor>";
};

}  // namespace

TEST_F(OfficeNetworkTest, ASavedInterfaceTheComputerNoLongerHasGivesWayToTheOneItHasAndTheTechnicianIsTold) {
  TUdpPeer indicator("0.0.0.0", TfrmNetworkDevices::kDiscoveryPort);
  ASSERT_TRUE(indicator.Bound());
  resolver.known = {{QStringLiteral("indicator.test"), 0x0A4D0102}};
  struct Case {
    QString saved;
    QString message;
    QString box;  // after the find
  };
  const Case cases[] = {
      {"10.1.2.3 / 10.77.1.255",
       "The interface 10.1.2.3 is not on this computer any more: searching from 10.77.1.2 instead.",
       "10.77.1.2 / 10.77.1.255"},
      {"10.1.2.3 / indicator.test",
       "The interface 10.1.2.3 is not on this computer any more: searching from every interface instead.",
       "0.0.0.0 / indicator.test"},
  };
  Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.saved.toStdString());
    prompter.Clear();
    prompter.AnswerMessage(mrOk);
    finder->SetFinderAddress(c.saved);
    QTest::mouseClick(&Control<QPushButton>("BtnFind"), Qt::LeftButton);
    EXPECT_EQ(prompter.Messages(), std::vector<QString>{c.message});
    EXPECT_EQ(finder->GetFinderAddress(), c.box);
    ASSERT_TRUE(indicator.AnswerProbe(kReply));
    ASSERT_TRUE(WaitForRows(1));
    EXPECT_EQ(RowText(0)[2], QStringLiteral("Far"));
  }
}

TEST_F(OfficeNetworkTest, RepliesSentToTheBroadcastAddressArriveAsRowsToo) {
  TUdpPeer indicator("10.77.1.255", TfrmNetworkDevices::kDiscoveryPort);
  ASSERT_TRUE(indicator.Bound());
  Open();
  Find(QStringLiteral("10.77.1.2 / 10.77.1.255"));
  QByteArray probe;
  sockaddr_in finderAddress{};
  ASSERT_TRUE(indicator.Receive(probe, &finderAddress));
  EXPECT_EQ(TUdpPeer::Dotted(finderAddress), QStringLiteral("10.77.1.2"));  // sent from the interface chosen
  ASSERT_TRUE(BroadcastReply(kReply, "10.77.1.255", ntohs(finderAddress.sin_port)));
  ASSERT_TRUE(WaitForRows(1));
  EXPECT_EQ(RowText(0)[2], QStringLiteral("Far"));
}

// The replies of a large plant network come in one burst, faster than the window
// takes them: none may be dropped before it does.
TEST_F(DeviceFinderTest, ABurstOfAThousandRepliesIsReadWhole) {
  TUdpPeer indicators("127.0.0.1", TfrmNetworkDevices::kDiscoveryPort);
  ASSERT_TRUE(indicators.Bound());
  Open();
  Find(QStringLiteral("127.0.0.1"));
  QByteArray probe;
  sockaddr_in finderAddress{};
  ASSERT_TRUE(indicators.Receive(probe, &finderAddress));
  constexpr int kDevices = 1000;
  for (int i = 0; i < kDevices; ++i) {
    const QByteArray reply = "<velmacor><device><class>W830</class><name>Scale " + QByteArray::number(i) +
                             "</name><serialnumber>" + QByteArray::number(100000 + i) +
                             "</serialnumber><macaddress>02:00:00:00:" + QByteArray::number(i % 100) +
                             ":30</macaddress><tcpport>2222</tcpport></device></velmacor>";
    ASSERT_TRUE(indicators.SendTo(reply, finderAddress)) << i;
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return Grid().rowCount() >= kDevices; }, 30000)) << Grid().rowCount();
  EXPECT_EQ(Grid().rowCount(), kDevices);
}
