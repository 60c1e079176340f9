#include "link/logging.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>

#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"
#include "tests/support/unprivileged.h"

namespace {

// The system's reason for an error code, in the locale's language as the log gives it.
QString SystemText(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

const QRegularExpression kStamp(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}: "));

class TrafficLog : public ::testing::Test {
 protected:
  void TearDown() override { CommsLoggingDestroy(); }

  // The messages of the log's lines, each checked for its time stamp and CR LF end.
  QStringList Messages(const QString& fileName) const {
    const QByteArray bytes = exe_.Read(fileName);
    EXPECT_TRUE(bytes.isEmpty() || bytes.endsWith("\r\n"));
    QStringList out;
    for (const QByteArray& line : bytes.split('\n')) {
      if (line.isEmpty()) continue;
      EXPECT_TRUE(line.endsWith('\r')) << line.constData();
      const QString text = QString::fromLatin1(line.chopped(1));
      const auto match = kStamp.match(text);
      EXPECT_TRUE(match.hasMatch()) << text.toStdString();
      out << text.mid(match.capturedLength());
    }
    return out;
  }

  TTempExeDir exe_;
};

}  // namespace

TEST(EscapeNonPrintable, ControlAndHighBytesBecomeHexEscapes) {
  struct Case {
    std::string in;
    std::string want;
  } cases[] = {
      {"FPL?;", "FPL?;"},
      {"7\r", "7\\x0D"},
      {std::string("a\0b", 3), "a\\x00b"},
      {"\x1F \x7E\x7F", "\\x1F ~\\x7F"},
      {"\xFF\x80", "\\xFF\\x80"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeNonPrintable(c.in), c.want) << c.want;
}

TEST_F(TrafficLog, WritesTimeStampedLinesOfTrafficAndEvents) {
  CommsLoggingInit(QStringLiteral("C:\\vNQ3752.log"));
  ASSERT_TRUE(CommsLoggingActive());
  CommsLogData("", false, "FPL?;");
  CommsLogData("", true, "7\r");
  CommsLogData("", true, "\xFF");
  CommsLog("TFrmMain.FIOInterfaceConnect: Connected to indicator");
  CommsLoggingDestroy();
  EXPECT_FALSE(CommsLoggingActive());
  CommsLog("after the end");
  EXPECT_EQ(Messages(QStringLiteral("vNQ3752.log")), (QStringList{
                                                         "CommsLoggingInit: Log file created",
                                                         "CommsLoggingInit: Logging started",
                                                         " out: FPL?;",
                                                         " in: 7\\x0D",
                                                         " in: \\xFF",
                                                         "TFrmMain.FIOInterfaceConnect: Connected to indicator",
                                                         "CommsLoggingDestroy: Logging stopped",
                                                     }));
}

TEST_F(TrafficLog, EachStartAppendsToTheFileItFinds) {
  const QString name = QStringLiteral("traffic.log");
  exe_.Write(name, "2020-01-01 00:00:00.000: earlier run\r\n");
  CommsLoggingInit(name);
  CommsLoggingInit(name);
  CommsLoggingDestroy();
  CommsLoggingInit(name);
  CommsLoggingDestroy();
  EXPECT_EQ(Messages(name), (QStringList{
                                "earlier run",
                                "CommsLoggingInit: Logging started",
                                "CommsLoggingDestroy: Logging stopped",
                                "CommsLoggingInit: Logging started",
                                "CommsLoggingDestroy: Logging stopped",
                            }));
}

TEST_F(TrafficLog, AFileThatCannotBeOpenedIsReportedAndLoggingStaysOff) {
  ASSERT_TRUE(QDir(exe_.Dir()).mkdir(QStringLiteral("folder.log")));
  exe_.Write(QStringLiteral("plain"), "x");
  struct Case {
    const char* stored;
    int reason;
  } cases[] = {
      {"missing/traffic.log", ENOENT},
      {"plain/traffic.log", ENOTDIR},
      {"folder.log", EISDIR},
  };
  for (const auto& c : cases) {
    TScriptedPrompter prompter;
    prompter.AnswerMessage(mrOk);
    CommsLoggingInit(QString::fromLatin1(c.stored));
    EXPECT_FALSE(CommsLoggingActive());
    ASSERT_EQ(prompter.Messages().size(), 1u) << c.stored;
    EXPECT_EQ(prompter.Messages()[0], QStringLiteral("Log file %1 cannot be opened (%2)")
                                          .arg(exe_.Path(QString::fromLatin1(c.stored)), SystemText(c.reason)));
  }
}

TEST_F(TrafficLog, AFileAnotherViewerLogsIntoIsReportedAndLeftAlone) {
  const QString name = QStringLiteral("shared.log");
  exe_.Write(name, "2020-01-01 00:00:00.000: other viewer\r\n");
  const int other = ::open(QFile::encodeName(exe_.Path(name)).constData(), O_RDWR | O_APPEND | O_CLOEXEC);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  {
    TScriptedPrompter prompter;
    prompter.AnswerMessage(mrOk);
    CommsLoggingInit(name);
    EXPECT_FALSE(CommsLoggingActive());
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0], QStringLiteral("Log file %1 cannot be opened (The file is in use by another program)")
                                          .arg(exe_.Path(name)));
  }
  EXPECT_EQ(Messages(name), QStringList{"other viewer"});
  ::close(other);
  CommsLoggingInit(name);
  EXPECT_TRUE(CommsLoggingActive()) << "once the other viewer lets go, the log opens";
  const int next = ::open(QFile::encodeName(exe_.Path(name)).constData(), O_RDWR | O_APPEND | O_CLOEXEC);
  ASSERT_GE(next, 0);
  EXPECT_EQ(::flock(next, LOCK_EX | LOCK_NB), -1) << "and now it is ours";
  ::close(next);
}

// A message box runs the event loop, and whatever runs there may log.
class TLoggingPrompter final : public TPrompter {
 public:
  TLoggingPrompter() : previous(SetPrompter(this)) {}
  ~TLoggingPrompter() override { SetPrompter(previous); }
  int MessageDlg(const QString&, TMsgDlgType, TMsgDlgButtons) override { return mrOk; }
  void ShowMessage(const QString&) override {
    CommsLog("TFrmMain.Timer1Timer: Instrument Not Responding");
    ++shown;
  }
  QString OpenFileName(QWidget*, const QString&, const QString&) override { return {}; }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  bool PrintDialog(QWidget*, QPrinter&) override { return false; }
  int ExecDialog(QDialog&) override { return mrCancel; }
  TPrompter* previous;
  int shown = 0;
};

TEST_F(TrafficLog, TheOpenErrorBoxMayLogWhileItIsShown) {
  TLoggingPrompter prompter;
  CommsLoggingInit(QStringLiteral("missing/traffic.log"));
  EXPECT_EQ(prompter.shown, 1);
}

TEST_F(TrafficLog, AReadOnlyFolderIsReported) {
  ASSERT_TRUE(QDir(exe_.Dir()).mkdir(QStringLiteral("ro")));
  const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
  QFile::setPermissions(exe_.Dir(), readOnly | QFile::WriteOwner);
  QFile::setPermissions(exe_.Path(QStringLiteral("ro")), readOnly);
  TScriptedPrompter prompter;
  prompter.AnswerMessage(mrOk);
  {
    TUnprivileged user;
    ASSERT_TRUE(user.Active());
    CommsLoggingInit(QStringLiteral("ro/traffic.log"));
  }
  EXPECT_FALSE(CommsLoggingActive());
  ASSERT_EQ(prompter.Messages().size(), 1u);
  EXPECT_EQ(prompter.Messages()[0], QStringLiteral("Log file %1 cannot be opened (%2)")
                                        .arg(exe_.Path(QStringLiteral("ro/traffic.log")), SystemText(EACCES)));
}

TEST_F(TrafficLog, AWriteErrorClosesTheLogAndIsReportedOnceOnTheGuiThread) {
  const QString link = exe_.Path(QStringLiteral("full.log"));
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), link));
  TScriptedPrompter prompter;
  prompter.AnswerMessage(mrOk);
  CommsLoggingInit(QStringLiteral("full.log"));
  EXPECT_FALSE(CommsLoggingActive());
  EXPECT_TRUE(prompter.Messages().empty()) << "the report waits for the event loop";
  std::thread poller([] { CommsLogData("", false, "FPL?;"); });
  poller.join();
  CommsLog("TFrmMain.Timer1Timer: Instrument Not Responding");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.Messages().empty(); }, 10000));
  QCoreApplication::processEvents();
  ASSERT_EQ(prompter.Messages().size(), 1u);
  EXPECT_TRUE(prompter.Messages()[0].contains(link));
  EXPECT_TRUE(prompter.Messages()[0].contains(SystemText(ENOSPC)));
}

TEST_F(TrafficLog, LinesStayWholeWhenTwoThreadsLogAtOnce) {
  constexpr int kLines = 2000;
  CommsLoggingInit(QStringLiteral("busy.log"));
  auto writer = [](char id) {
    const std::string payload(60, id);
    for (int i = 0; i < kLines; ++i) CommsLogData("", id == 'g', payload);
  };
  std::thread gui(writer, 'g');
  std::thread poll(writer, 'p');
  gui.join();
  poll.join();
  CommsLoggingDestroy();
  const QStringList lines = Messages(QStringLiteral("busy.log"));
  ASSERT_EQ(lines.size(), 2 * kLines + 3);
  const QString gLine = QStringLiteral(" in: ") + QString(60, QLatin1Char('g'));
  const QString pLine = QStringLiteral(" out: ") + QString(60, QLatin1Char('p'));
  EXPECT_EQ(lines.count(gLine), kLines);
  EXPECT_EQ(lines.count(pLine), kLines);
}
