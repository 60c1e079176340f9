#include "link/IOIfaceSerial.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QTest>
#include <vector>

#include "link/IOIfaceConfigure.h"
#include "serial/SerExceptions.h"
#include "tests/support/scripted_prompter.h"

namespace {

constexpr int kWaitMs = 10000;

// The far end of a pseudo-terminal; the link opens its slave.
class FarEnd {
 public:
  FarEnd() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    EXPECT_TRUE(master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0 &&
                ::ptsname_r(master_, name, sizeof name) == 0);
    slave_ = QString::fromLatin1(name);
  }
  ~FarEnd() { Close(); }
  const QString& Slave() const { return slave_; }
  void Write(const std::string& s) { EXPECT_EQ(::write(master_, s.data(), s.size()), ssize_t(s.size())); }
  void Close() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  QString slave_;
};

struct Events {
  std::vector<std::string> rx;
  int connects = 0;
  int disconnects = 0;
  void Bind(TIOIface& link) {
    link.OnRxData = [this](const std::string& data) { rx.push_back(data); };
    link.OnConnect = [this](TIOIface*) { ++connects; };
    link.OnDisconnect = [this](TIOIface*) { ++disconnects; };
  }
};

}  // namespace

TEST(TIOIfaceSerial, OpensReceivesAndClosesReportingEachChangeOnce) {
  TScriptedPrompter prompter;
  FarEnd far;
  TIOIfaceSerial link;
  Events events;
  events.Bind(link);
  link.SetComPort(far.Slave());
  link.SetBaud(9600);
  EXPECT_FALSE(link.GetActive());
  link.Open();
  EXPECT_TRUE(link.GetActive());
  EXPECT_EQ(events.connects, 1);
  far.Write("abc");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !events.rx.empty(); }, kWaitMs));
  EXPECT_EQ(events.rx, std::vector<std::string>{"abc"});
  link.Close();
  EXPECT_FALSE(link.GetActive());
  EXPECT_EQ(events.disconnects, 1);
  link.Close();
  EXPECT_EQ(events.disconnects, 1);
}

TEST(TIOIfaceSerial, AFarEndThatGoesIsAPlainDisconnectReportedOnce) {
  TScriptedPrompter prompter;
  FarEnd far;
  TIOIfaceSerial link;
  Events events;
  events.Bind(link);
  link.SetComPort(far.Slave());
  link.Open();
  // A pseudo-terminal drops what its slave has not read yet when the master goes.
  far.Write("bye");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !events.rx.empty(); }, kWaitMs));
  far.Close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return events.disconnects == 1; }, kWaitMs));
  EXPECT_EQ(events.rx, std::vector<std::string>{"bye"});
  EXPECT_FALSE(link.GetActive());
  link.Send("ignored");  // a link that is down sends nothing and opens nothing
  EXPECT_FALSE(link.GetActive());
  link.Close();
  EXPECT_EQ(events.disconnects, 1);
  EXPECT_TRUE(prompter.Prompts().empty());
}

TEST(TIOIfaceSerial, APortThatCannotOpenRaisesAndConnectsNothing) {
  TIOIfaceSerial link;
  Events events;
  events.Bind(link);
  link.SetComPort(QStringLiteral("/dev/no-such-serial-port"));
  EXPECT_THROW(link.Open(), EBadId);
  EXPECT_FALSE(link.GetActive());
  EXPECT_EQ(events.connects, 0);
}

TEST(TIOIfaceSerial, DescribesItselfByDevicePathAndTakesComNames) {
  struct Case {
    const char* name;
    const char* device;
  } cases[] = {{"COM1", "/dev/ttyS0"}, {"COM12", "/dev/ttyS11"}, {"COM", "/dev/ttyS0"}, {"COM0", "/dev/ttyS0"},
               {"/dev/ttyUSB0", "/dev/ttyUSB0"}, {"COMx", "COMx"}};
  for (const auto& c : cases) {
    TIOIfaceSerial link;
    link.SetComPort(QString::fromLatin1(c.name));
    EXPECT_EQ(link.GetDescription(), QString::fromLatin1(c.device)) << c.name;
  }
}

TEST(TIOIfaceSerial, TheW830SetsRtsOffAndDtrOnWithTheParityAndTheW840ParityOnly) {
  TIOIfaceSerial w830(TViewerModel::W830);
  w830.SetParity(2);
  EXPECT_EQ(w830.Port().Parity(), pEven);
  EXPECT_FALSE(w830.Port().RTS());
  EXPECT_TRUE(w830.Port().DTR());
  TIOIfaceSerial w840(TViewerModel::W840);
  w840.SetParity(1);
  EXPECT_EQ(w840.Port().Parity(), pOdd);
  EXPECT_TRUE(w840.Port().RTS());
}

TEST(TIOIfaceSerial, AW830LinkOpensOnADeviceWithoutModemLines) {
  TScriptedPrompter prompter;
  FarEnd far;
  TIOIfaceSerial link(TViewerModel::W830);
  link.SetComPort(far.Slave());
  link.SetParity(0);
  link.Open();
  EXPECT_TRUE(link.GetActive());
}

TEST(CreateIOInterface, SerialChoiceGivesAClosedSerialLinkWithThoseSettings) {
  TLinkSettings settings;
  settings.serialPort = QStringLiteral("COM2");
  settings.baudRate = 19200;
  settings.dataBits = 7;
  settings.stopBits = 2;
  settings.parity = 2;
  auto link = CreateIOInterface(settings);
  auto* serial = dynamic_cast<TIOIfaceSerial*>(link.get());
  ASSERT_NE(serial, nullptr);
  EXPECT_FALSE(serial->GetActive());
  EXPECT_EQ(serial->GetDescription(), QStringLiteral("/dev/ttyS1"));
  EXPECT_EQ(serial->Port().Baud(), 19200);
  EXPECT_EQ(serial->Port().DataBits(), 7);
  EXPECT_EQ(serial->Port().StopBits(), 2);
  EXPECT_EQ(serial->Port().Parity(), pEven);
  EXPECT_FALSE(serial->Port().RTS());
  EXPECT_TRUE(serial->Port().DTR());
}
