// Another holder of a serial device, as a technician meets one: a program that has
// it open with a plain open, a serial tool's lock file, a holder that made it
// exclusive, and an account that may not open it at all.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "pty_pair.h"
#include "serial/ComSelectForm.h"
#include "serial/OpenRefusal.h"
#include "serial/SerErrorCodes.h"
#include "serial/SerExceptions.h"
#include "serial/TermiosDevice.h"

namespace {

std::string Pid(qint64 pid) { return std::to_string(pid); }

// A process other than the test: "sleep", with the device as its input when given one.
class THolder {
 public:
  explicit THolder(const std::string& device = {}) {
    if (!device.empty()) process_.setStandardInputFile(QString::fromStdString(device));
    process_.start(QStringLiteral("sleep"), {QStringLiteral("600")});
    started_ = process_.waitForStarted();
  }
  ~THolder() {
    process_.kill();
    process_.waitForFinished();
  }
  bool Started() const { return started_; }
  qint64 Pid() const { return process_.processId(); }

 private:
  QProcess process_;
  bool started_ = false;
};

// The number of a process that has ended.
qint64 GonePid() {
  QProcess p;
  p.start(QStringLiteral("true"), {});
  if (!p.waitForStarted()) return 0;
  const qint64 pid = p.processId();
  p.waitForFinished();
  return pid;
}

class HeldPort : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(lockDir.isValid()); }
  std::string LockFolder() const { return lockDir.path().toStdString(); }
  std::string LockFile() const { return UucpLockPath(pty.SlavePath(), LockFolder()); }
  void WriteLock(qint64 pid) {
    QFile f(QString::fromStdString(LockFile()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::number(pid).rightJustified(10, ' ') + "\n");
  }
  std::string InUse(const std::string& how) { return "ie_Open - device already open: " + pty.SlavePath() + how; }

  TPtyPair pty;
  QTemporaryDir lockDir;
  TTermiosDevice device{lockDir.path().toStdString()};
};

}  // namespace

TEST_F(HeldPort, AProgramWithThePortOpenIsNamedAndThePortIsNotShared) {
  THolder holder(pty.SlavePath());
  ASSERT_TRUE(holder.Started());
  EXPECT_EQ(device.Open(pty.SlavePath()), SerErr::AlreadyOpen);
  EXPECT_EQ(InUseText(pty.SlavePath(), LockFolder()), InUse(" is in use by sleep (process " + Pid(holder.Pid()) + ")."));
  try {
    CheckOpenResult(SerErr::AlreadyOpen, pty.SlavePath(), LockFolder());
    FAIL() << "no exception";
  } catch (const EAlreadyOpen& e) {
    EXPECT_EQ(e.ErrorCode(), SerErr::AlreadyOpen);
    EXPECT_EQ(e.what(), InUse(" is in use by sleep (process " + Pid(holder.Pid()) + ")."));
  }
}

TEST_F(HeldPort, ALockFileCountsWhileItsProcessLivesAndIsReplacedWhenItIsStale) {
  THolder holder;
  ASSERT_TRUE(holder.Started());
  WriteLock(holder.Pid());
  EXPECT_EQ(device.Open(pty.SlavePath()), SerErr::AlreadyOpen);
  EXPECT_EQ(InUseText(pty.SlavePath(), LockFolder()),
            InUse(" is locked by sleep (process " + Pid(holder.Pid()) + ") (" + LockFile() + ")."));

  WriteLock(GonePid());
  ASSERT_EQ(device.Open(pty.SlavePath()), SerErr::Ok);
  QFile lock(QString::fromStdString(LockFile()));
  ASSERT_TRUE(lock.open(QIODevice::ReadOnly));
  EXPECT_EQ(lock.readAll(), QByteArray::number(::getpid()).rightJustified(10, ' ') + "\n");
  lock.close();
  // A second tool that reads the lock stays out, then may go in once the port is closed.
  TTermiosDevice other(LockFolder());
  EXPECT_EQ(other.Open(pty.SlavePath()), SerErr::AlreadyOpen);
  device.Close();
  EXPECT_FALSE(QFile::exists(lock.fileName()));
}

TEST_F(HeldPort, ALockFolderThatCannotBeWrittenNeverStopsTheOpen) {
  TTermiosDevice noFolder(LockFolder() + "/missing");
  EXPECT_EQ(noFolder.Open(pty.SlavePath()), SerErr::Ok);
}

// A program that made a pseudo-terminal (as socat does) holds both its ends: it is
// the far end of the line, not a competitor for it.
TEST_F(HeldPort, TheProgramOnTheFarEndOfAPseudoTerminalDoesNotHoldIt) {
  int opened[2], release[2];
  ASSERT_EQ(::pipe(opened), 0);
  ASSERT_EQ(::pipe(release), 0);
  const std::string slave = pty.SlavePath();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {  // keeps the master it inherited, and opens the slave too
    ::close(release[1]);
    const int fd = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
    char c = fd >= 0 ? 'y' : 'n';
    (void)::write(opened[1], &c, 1);
    (void)::read(release[0], &c, 1);
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(opened[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  EXPECT_EQ(device.Open(slave), SerErr::Ok);
  device.Close();
  ::close(release[1]);
  ::waitpid(child, nullptr, 0);
  for (const int fd : {opened[0], opened[1], release[0]}) ::close(fd);
}

// The super-user passes another holder's exclusive mode; its probe must refuse and
// leave that mode on rather than open, and clear it on closing.
TEST_F(HeldPort, AHolderThatMadeThePortExclusiveKeepsIt) {
  const int holder = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::ioctl(holder, TIOCEXCL), 0);
  EXPECT_TRUE(IsPortAvailable(pty.SlavePath()));
  EXPECT_EQ(device.Open(pty.SlavePath()), SerErr::AlreadyOpen);
  int exclusive = 0;
  ASSERT_EQ(::ioctl(holder, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);
  ::close(holder);
}

// Each account runs the open as the technician would, through setpriv as "nobody"
// with the groups of the login.
TEST(PortAccess, AnAccountThatMayNotOpenThePortIsToldWhichPortWhyAndWhatMendsIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs the super-user to hand the device to another account";
  const group* dialout = ::getgrnam("dialout");
  ASSERT_NE(dialout, nullptr);
  struct Case {
    const char* name;
    uid_t owner;
    gid_t group;
    mode_t mode;
    QStringList login;  // the groups of the login, as setpriv gives them
    std::string told;
  };
  TPtyPair pty;
  const std::string path = pty.SlavePath();
  const std::string refused = "File access denied: this account may not open the serial port " + path + ". ";
  const QString dialoutId = QString::number(dialout->gr_gid);
  const Case cases[] = {
      {"outside the group", 0, dialout->gr_gid, 0660, {"--regid=65534", "--clear-groups"},
       refused + "Members of the group dialout may use it: add the account nobody to that group "
                 "(sudo adduser nobody dialout), then log out and log in again."},
      {"joined after logging in", 0, 65534, 0660, {"--regid=1", "--clear-groups"},
       refused + "The account nobody has joined the group nogroup that owns it since this login began: "
                 "log out and log in again."},
      {"only its owner", 0, dialout->gr_gid, 0600, {"--regid=65534", "--clear-groups"},
       refused + "Only its owner, root, may read and write it."},
      {"in the group, yet refused", 65534, dialout->gr_gid, 0060, {"--regid=65534", "--groups=" + dialoutId},
       refused + "The account nobody is in the group dialout that owns it, yet the system refuses it: "
                 "a security policy of this computer keeps it out."},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(::chown(path.c_str(), c.owner, c.group), 0) << c.name;
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0) << c.name;
    QProcess probe;
    probe.start(QStringLiteral("setpriv"),
                QStringList{"--reuid=65534"} + c.login + QStringList{SERIAL_OPEN_PROBE, QString::fromStdString(path)});
    ASSERT_TRUE(probe.waitForFinished(60000)) << c.name;
    EXPECT_EQ(probe.readAllStandardOutput().trimmed().toStdString(), c.told) << c.name;
  }
}
