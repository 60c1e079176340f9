#include "link/dmViewer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"
#include "tests/support/unprivileged.h"

namespace {

const QString kIni = QStringLiteral("W830_830.ini");

}  // namespace

TEST(TdatViewer, WithoutAnIniFileEveryGetterGivesItsDefaultAndNothingIsWritten) {
  struct Case {
    TViewerModel model;
    const char* program;
    const char* logFile;
    int serTimeout;
  } cases[] = {
      {TViewerModel::W830, "W830_830", "C:\\vNQ3752.log", 60},
      {TViewerModel::W840, "W840Viewer", "C:\\W840Viewer.log", 20},
  };
  for (const auto& c : cases) {
    TTempExeDir exe(QString::fromLatin1(c.program));
    {
      TdatViewer store(c.model);
      EXPECT_EQ(datViewer, &store);
      EXPECT_FALSE(store.HasIniFile());
      EXPECT_EQ(store.GetConnectionType(), 0);
      EXPECT_EQ(store.GetSerialPort(), QStringLiteral("COM1"));
      EXPECT_EQ(store.GetBaudRate(), 9600);
      EXPECT_EQ(store.GetDataBits(), 8);
      EXPECT_EQ(store.GetStopBits(), 1);
      EXPECT_EQ(store.GetParityBits(), 0);
      EXPECT_EQ(store.GetSerialAddress(), 0);
      EXPECT_EQ(store.GetTcpHostname(), QStringLiteral("192.168.1.100"));
      EXPECT_EQ(store.GetTcpPort(), 2222);
      EXPECT_EQ(store.GetDeviceFinderAddress(), QStringLiteral("192.168.1.255"));
      EXPECT_EQ(store.GetDecimalPointChar(), QLatin1Char('.'));
      EXPECT_FALSE(store.GetCommsLoggingEnabled());
      EXPECT_EQ(store.GetCommsLoggingFile(), QString::fromLatin1(c.logFile));
      EXPECT_EQ(store.GetTcpTimeout(), 70);
      EXPECT_EQ(store.GetSerTimeout(), c.serTimeout) << c.program;
      EXPECT_EQ(store.GetTimeout(), c.serTimeout);
      EXPECT_TRUE(store.GetFirstRun());
      EXPECT_EQ(store.GetBackgroundImage(), QString());

      store.SetFirstRun(false);
      store.SetConnectionType(1);
      EXPECT_TRUE(store.GetFirstRun()) << "setters do nothing without a file";
      EXPECT_EQ(store.GetConnectionType(), 0);
    }
    EXPECT_EQ(datViewer, nullptr);
    EXPECT_TRUE(QDir(exe.Dir()).entryList(QDir::Files).isEmpty()) << "no ini file is made at exit";
  }
}

TEST(TdatViewer, AnEmptyFileKeepsTheOptionsChangedDuringARun) {
  TTempExeDir exe;
  exe.Write(kIni, "");
  {
    TdatViewer store;
    store.SetConnectionType(1);
    store.SetSerialPort(QStringLiteral("/dev/ttyUSB0"));
    store.SetBaudRate(19200);
    store.SetDataBits(7);
    store.SetStopBits(2);
    store.SetParityBits(2);
    store.SetSerialAddress(31);
    store.SetTcpHostname(QStringLiteral("127.0.0.1"));
    store.SetTcpPort(4001);
    store.SetDeviceFinderAddress(QStringLiteral("127.255.255.255"));
    store.SetDecimalPointChar(QLatin1Char(','));
    store.SetTcpTimeout(50);
    store.SetSerTimeout(15);
    store.SetFirstRun(false);
  }
  TdatViewer again;
  EXPECT_EQ(again.GetConnectionType(), 1);
  EXPECT_EQ(again.GetSerialPort(), QStringLiteral("/dev/ttyUSB0"));
  EXPECT_EQ(again.GetBaudRate(), 19200);
  EXPECT_EQ(again.GetDataBits(), 7);
  EXPECT_EQ(again.GetStopBits(), 2);
  EXPECT_EQ(again.GetParityBits(), 2);
  EXPECT_EQ(again.GetSerialAddress(), 31);
  EXPECT_EQ(again.GetTcpHostname(), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(again.GetTcpPort(), 4001);
  EXPECT_EQ(again.GetDeviceFinderAddress(), QStringLiteral("127.255.255.255"));
  EXPECT_EQ(again.GetDecimalPointChar(), QLatin1Char(','));
  EXPECT_EQ(again.GetTcpTimeout(), 50);
  EXPECT_EQ(again.GetSerTimeout(), 15);
  EXPECT_FALSE(again.GetFirstRun());
  EXPECT_EQ(again.GetTimeout(), 50);
  EXPECT_TRUE(exe.Read(kIni).contains("[Options]\r\nFirstRun=0\r\n"));
}

TEST(TdatViewer, KeepsWhatItDoesNotKnowByteForByte) {
  TTempExeDir exe;
  const QByteArray original =
      "[General]\r\n"
      "CommsLoggingEnabled=1\r\n"
      "CommsLoggingFile=C:\\vNQ3752.log\r\n"
      "BackgroundImage=panels\\W830.BMP\r\n"
      "Custom=a,b,\"c\"\r\n"
      "this line is malformed\r\n"
      "\r\n"
      "[connection]\r\n"
      "tcpport=2223\r\n"
      "\r\n"
      "[Someone Else's]\r\n"
      "Key=\xE9t\xE9\r\n";
  exe.Write(kIni, original);
  {
    TdatViewer store;
    EXPECT_TRUE(store.GetCommsLoggingEnabled());
    EXPECT_EQ(store.GetCommsLoggingFile(), QStringLiteral("C:\\vNQ3752.log"));
    EXPECT_EQ(store.GetBackgroundImage(), QStringLiteral("panels\\W830.BMP"));
    EXPECT_EQ(store.GetTcpPort(), 2223);
  }
  EXPECT_EQ(exe.Read(kIni), original) << "a run that changes nothing writes the same bytes";
  {
    TdatViewer store;
    store.SetTcpPort(2224);
  }
  QByteArray changed = original;
  changed.replace("tcpport=2223", "tcpport=2224");
  EXPECT_EQ(exe.Read(kIni), changed);
}

TEST(TdatViewer, StoredTextsThatNeedCare) {
  struct Case {
    QByteArray ini;
    QChar decimal;
    int timeout;
    int tcpPort;
  } cases[] = {
      {"[General]\r\nDecimalPointChar=\r\n", QLatin1Char('.'), 60, 2222},
      {"[General]\r\nDecimalPointChar=,x\r\n", QLatin1Char(','), 60, 2222},
      {"[Connection]\r\nConnectionType=1\r\nTcpTimeout=50\r\nSerTimeout=9\r\n", QLatin1Char('.'), 50, 2222},
      {"[Connection]\r\nConnectionType=0\r\nTcpTimeout=50\r\nSerTimeout=9\r\n", QLatin1Char('.'), 9, 2222},
      {"[Connection]\r\nConnectionType=2\r\nTcpTimeout=50\r\n", QLatin1Char('.'), 60, 2222},
      {"[Connection]\r\nTcpPort=port\r\nSerTimeout=6.5\r\n", QLatin1Char('.'), 60, 2222},
  };
  for (const auto& c : cases) {
    TTempExeDir exe;
    exe.Write(kIni, c.ini);
    TdatViewer store;
    EXPECT_EQ(store.GetDecimalPointChar(), c.decimal) << c.ini.constData();
    EXPECT_EQ(store.GetTimeout(), c.timeout) << c.ini.constData();
    EXPECT_EQ(store.GetTcpPort(), c.tcpPort) << c.ini.constData();
  }
}

TEST(TdatViewer, AnUnreadableFileIsReportedOnceAndNeverWrittenOver) {
  TTempExeDir exe;
  ASSERT_TRUE(QDir(exe.Dir()).mkdir(kIni));
  TScriptedPrompter prompter;
  prompter.AnswerMessage(mrOk);
  {
    TdatViewer store;
    EXPECT_FALSE(store.HasIniFile());
    EXPECT_TRUE(store.GetFirstRun());
    store.SetFirstRun(false);
  }
  ASSERT_EQ(prompter.Messages().size(), 1u);
  EXPECT_TRUE(prompter.Messages()[0].contains(exe.Path(kIni)));
  EXPECT_TRUE(prompter.Messages()[0].contains(QStringLiteral("cannot be read")));
  EXPECT_TRUE(QFileInfo(exe.Path(kIni)).isDir());
}

TEST(TdatViewer, AFileThatCannotBeWrittenBackIsReported) {
  TScriptedPrompter prompter;
  prompter.AnswerMessage(mrOk);
  {
    auto exe = std::make_unique<TTempExeDir>();
    exe->Write(kIni, "[Options]\r\nFirstRun=1\r\n");
    TdatViewer store;
    store.SetFirstRun(false);
    const QString folder = exe->Dir();
    exe.reset();
    ASSERT_FALSE(QFileInfo::exists(folder));
  }
  ASSERT_EQ(prompter.Messages().size(), 1u);
  EXPECT_TRUE(prompter.Messages()[0].contains(QStringLiteral("cannot be written")));
  EXPECT_EQ(prompter.Prompts()[0].type, TMsgDlgType::mtError);
}

TEST(TdatViewer, AReadOnlyFolderIsReportedAndTheOldFileKept) {
  TTempExeDir exe;
  const QByteArray original = "[Options]\r\nFirstRun=1\r\n";
  exe.Write(kIni, original);
  TScriptedPrompter prompter;
  prompter.AnswerMessage(mrOk);
  const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
  QFile::setPermissions(exe.Dir(), readOnly);
  {
    TUnprivileged user;
    ASSERT_TRUE(user.Active());
    TdatViewer store;
    store.SetFirstRun(false);
  }
  QFile::setPermissions(exe.Dir(), readOnly | QFile::WriteOwner);
  ASSERT_EQ(prompter.Messages().size(), 1u);
  EXPECT_TRUE(prompter.Messages()[0].contains(QStringLiteral("cannot be written")));
  EXPECT_EQ(exe.Read(kIni), original);
  EXPECT_EQ(QDir(exe.Dir()).entryList(QDir::Files), QStringList{kIni}) << "no temporary file is left";
}
