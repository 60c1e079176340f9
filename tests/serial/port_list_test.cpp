#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "serial/EComPort.h"
#include "serial/EnumComPorts.h"

namespace {

// A tty class folder as sysfs lays it out: one folder per tty, a "device" link for
// those backed by hardware, and a "type" file for the 8250 ones.
class FakeTtyClass {
 public:
  FakeTtyClass() { root_ = dir_.path() + QStringLiteral("/tty"); QDir().mkpath(root_); }
  const QString& Root() const { return root_; }

  void AddVirtual(const char* name) { QDir().mkpath(Entry(name)); }
  void AddDevice(const char* name) {
    AddVirtual(name);
    ASSERT_EQ(::symlink("../../../devices/fake", (Entry(name) + QStringLiteral("/device")).toLocal8Bit().constData()), 0);
  }
  void AddUart(const char* name, int type) {
    AddDevice(name);
    QFile f(Entry(name) + QStringLiteral("/type"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::number(type) + "\n");
  }

 private:
  QString Entry(const char* name) const { return root_ + QLatin1Char('/') + QLatin1String(name); }
  QTemporaryDir dir_;
  QString root_;
};

}  // namespace

TEST(EnumComPorts, ListsDeviceBackedTtysWithUartsFoundSortedIgnoringCase) {
  FakeTtyClass tty;
  tty.AddVirtual("tty0");
  tty.AddVirtual("ptmx");
  tty.AddUart("ttyS1", 0);
  tty.AddUart("ttyS10", 4);
  tty.AddUart("ttyS0", 4);
  tty.AddDevice("ttyUSB0");
  tty.AddDevice("ttyACM0");
  tty.AddDevice("ttyS2");  // no type file: nothing known behind it

  QStringList list{QStringLiteral("stale")};
  EnumComPorts(list, tty.Root());
  EXPECT_EQ(list, (QStringList{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS10", "/dev/ttyUSB0"}));
}

TEST(EnumComPorts, AnEmptyClassEmptiesTheList) {
  FakeTtyClass tty;
  QStringList list{QStringLiteral("stale")};
  EnumComPorts(list, tty.Root());
  EXPECT_TRUE(list.isEmpty());
}

TEST(EnumComPorts, AMissingClassRaisesCode23WithErrnoAndKeepsTheList) {
  QTemporaryDir dir;
  QStringList list{QStringLiteral("/dev/ttyS0")};
  try {
    EnumComPorts(list, dir.path() + QStringLiteral("/missing"));
    FAIL() << "no exception";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorCode(), 23);
    EXPECT_EQ(e.WinErrorCode(), ENOENT);
    EXPECT_STREQ(e.what(), "Registry error (win error code: 2)");
  }
  EXPECT_EQ(list, QStringList{QStringLiteral("/dev/ttyS0")});
}

TEST(EComPort, MessagesCarryTheSystemNumberOnlyWhenGiven) {
  EXPECT_STREQ(EComPort(1).what(), "Unable to open com port");
  EXPECT_EQ(EComPort(1).WinErrorCode(), -1);
  EXPECT_STREQ(EComPort(7, 22).what(), "SetCommState function failed (win error code: 22)");
  EXPECT_STREQ(EComPort(0).what(), "Com port error 0");
  EXPECT_STREQ(EComPort(24).what(), "Com port error 24");
}
