#include "platform/inifile.h"

#include <QDir>
#include <gtest/gtest.h>

#include <climits>

#include "tests/support/temp_exe_dir.h"

namespace {

TMemIniFile FromBytes(const QByteArray& bytes) {
  TMemIniFile ini;
  ini.SetBytes(bytes);
  return ini;
}

}  // namespace

TEST(MemIniFile, ReadsValuesByTheWindowsRules) {
  struct Case {
    const char* what;
    QByteArray file;
    const char* section;
    const char* key;
    QString want;  // "<default>" when the key must not be found
  } cases[] = {
      {"names ignore case", "[Connection]\r\nTcpPort=2223\r\n", "connection", "TCPPORT", "2223"},
      {"backslashes kept", "[General]\r\nCommsLoggingFile=C:\\vNQ3752.log\r\n", "General", "CommsLoggingFile",
       "C:\\vNQ3752.log"},
      {"commas and quotes kept", "[S]\r\nk=\"a,b\", c\r\n", "S", "k", "\"a,b\", c"},
      {"blanks around key and value dropped", "[S]\r\n  k \t=  v a l \t\r\n", "S", "k", "v a l"},
      {"LF line ends", "[A]\nx=1\n[B]\nx=2\n", "B", "x", "2"},
      {"CR line ends", "[A]\rx=1\r[B]\rx=2\r", "B", "x", "2"},
      {"last line without an end", "[A]\r\nx=7", "A", "x", "7"},
      {"[General] is an ordinary section", "[General]\r\nDecimalPointChar=,\r\n", "GENERAL", "DecimalPointChar",
       ","},
      {"header with blanks", "  [ Options ]  \r\nFirstRun=0\r\n", "Options", "FirstRun", "0"},
      {"empty value", "[S]\r\nk=\r\n", "S", "k", ""},
      {"value with '='", "[S]\r\nk=a=b\r\n", "S", "k", "a=b"},
      {"first of two equal keys wins", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", "1"},
      {"Latin-1 byte kept", "[S]\r\nk=caf\xE9\r\n", "S", "k", QString(QChar(0xE9)).prepend(QStringLiteral("caf"))},
      {"accented capitals fold too", "[\xC9T\xC9]\r\nk=1\r\n", "\xE9t\xE9", "K", "1"},
      {"comment is no key", "[S]\r\n;k=1\r\n", "S", "k", "<default>"},
      {"key before any section is not read", "k=1\r\n[S]\r\n", "S", "k", "<default>"},
      {"key of another section", "[A]\r\nk=1\r\n[B]\r\n", "B", "k", "<default>"},
      {"line without '='", "[S]\r\nk\r\n", "S", "k", "<default>"},
  };
  for (const auto& c : cases) {
    const TMemIniFile ini = FromBytes(c.file);
    EXPECT_EQ(ini.ReadString(QString::fromLatin1(c.section), QString::fromLatin1(c.key), QStringLiteral("<default>")),
              c.want)
        << c.what;
  }
}

TEST(MemIniFile, IntegersAndBooleansFallBackToTheDefaultOnText) {
  struct Case {
    const char* value;
    int want;  // with default -99
  } cases[] = {
      {"42", 42},          {"-7", -7},       {"+5", 5},       {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
      {"2147483648", -99}, {"12abc", -99},   {"", -99},       {"-", -99},              {"1.5", -99},
      {"0x10", -99},       {"99999999999999999999", -99},
  };
  for (const auto& c : cases) {
    const TMemIniFile ini = FromBytes(QByteArray("[S]\r\nk=") + c.value + "\r\n");
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("k"), -99), c.want) << c.value;
  }
  const TMemIniFile ini = FromBytes("[S]\r\none=1\r\nzero=0\r\ntwo=2\r\nword=true\r\n");
  EXPECT_TRUE(ini.ReadBool(QStringLiteral("S"), QStringLiteral("one"), false));
  EXPECT_FALSE(ini.ReadBool(QStringLiteral("S"), QStringLiteral("zero"), true));
  EXPECT_TRUE(ini.ReadBool(QStringLiteral("S"), QStringLiteral("two"), false));
  EXPECT_FALSE(ini.ReadBool(QStringLiteral("S"), QStringLiteral("word"), false));
  EXPECT_TRUE(ini.ReadBool(QStringLiteral("S"), QStringLiteral("word"), true));
}

TEST(MemIniFile, WritesBackEveryLineItDoesNotChange) {
  const QByteArray file =
      "; written by hand\r\n"
      "stray text before any section\r\n"
      "[Connection]\r\n"
      "TcpHostname = 127.0.0.1\r\n"
      "NotOurs=keep, me \"quoted\"\r\n"
      "garbage line without equals\r\n"
      "=no key\r\n"
      "\r\n"
      "[Unknown Section]\r\n"
      "Whatever=C:\\path\\file.txt\r\n";
  EXPECT_EQ(FromBytes(file).Bytes(), file);

  QByteArray lfFile = file;
  lfFile.replace("\r\n", "\n");
  EXPECT_EQ(FromBytes(lfFile).Bytes(), file) << "lines are written with CR LF";
}

TEST(MemIniFile, WritesValuesInPlaceAndNewOnesWhereTheyBelong) {
  TMemIniFile ini = FromBytes(
      "[Connection]\r\n"
      "tcpport=2222\r\n"
      "Other=x\r\n"
      "\r\n"
      "[General]\r\n"
      "A=1\r\n");
  ini.WriteInteger(QStringLiteral("Connection"), QStringLiteral("TcpPort"), 4001);
  ini.WriteString(QStringLiteral("CONNECTION"), QStringLiteral("TcpHostname"), QStringLiteral("127.0.0.2"));
  ini.WriteBool(QStringLiteral("Options"), QStringLiteral("FirstRun"), false);
  ini.WriteBool(QStringLiteral("Options"), QStringLiteral("Other"), true);
  EXPECT_EQ(ini.Bytes(),
            "[Connection]\r\n"
            "tcpport=4001\r\n"
            "Other=x\r\n"
            "TcpHostname=127.0.0.2\r\n"
            "\r\n"
            "[General]\r\n"
            "A=1\r\n"
            "\r\n"
            "[Options]\r\n"
            "FirstRun=0\r\n"
            "Other=1\r\n");
  EXPECT_TRUE(ini.SectionExists(QStringLiteral("options")));
  EXPECT_TRUE(ini.ValueExists(QStringLiteral("options"), QStringLiteral("firstrun")));
  EXPECT_FALSE(ini.ValueExists(QStringLiteral("General"), QStringLiteral("FirstRun")));
  EXPECT_EQ(ini.ReadSections(), (QStringList{"Connection", "General", "Options"}));
  EXPECT_EQ(ini.ReadSection(QStringLiteral("Connection")), (QStringList{"tcpport", "Other", "TcpHostname"}));
}

// A name with characters beyond Latin-1 is written with '?' for each of them, and
// names the same key and section again, accented capitals matching their small letters.
TEST(MemIniFile, ANameBeyondLatin1IsStoredAsWrittenAndFoundAgain) {
  TMemIniFile ini;
  const QString section = QString::fromUtf8("Caf\u00E9 \u20AC"), key = QString::fromUtf8("\U0001F600\u00C9t\u00E9");
  ini.WriteString(section, key, QStringLiteral("1"));
  ini.WriteString(section.toUpper(), QString::fromUtf8("\U0001F600\u00E9T\u00C9"), QStringLiteral("2"));
  EXPECT_EQ(ini.Bytes(), "[Caf\xE9 ?]\r\n??\xC9t\xE9=2\r\n");
  EXPECT_EQ(ini.ReadString(section, key, QString()), QStringLiteral("2"));
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("CAF\xC9 ?"), QStringLiteral("??\xC9T\xC9"), 0), 2);
}

// An editor that saved the file as UTF-8 put a byte-order mark before the first
// header: the section is still found, and written into rather than added again.
TEST(MemIniFile, AByteOrderMarkBeforeTheFirstSectionIsNoPartOfIt) {
  TMemIniFile ini;
  ini.SetBytes("\xEF\xBB\xBF[Connection]\r\nTcpPort=4001\r\n");
  EXPECT_EQ(ini.ReadSections(), QStringList{"Connection"});
  EXPECT_EQ(ini.ReadInteger("Connection", "TcpPort", 0), 4001);
  ini.WriteInteger("Connection", "TcpPort", 4002);
  EXPECT_EQ(ini.Bytes(), QByteArray("[Connection]\r\nTcpPort=4002\r\n"));
}

// Saved again by such an editor, the file starts with two marks: the rewritten
// file reads back as it was written, not with a line of marks before its header.
TEST(MemIniFile, EveryByteOrderMarkBeforeTheFirstLineIsNoPartOfIt) {
  TMemIniFile ini;
  ini.SetBytes("\xEF\xBB\xBF\xEF\xBB\xBF[Connection]\r\nTcpPort=4001\r\n");
  EXPECT_EQ(ini.ReadSections(), QStringList{"Connection"});
  EXPECT_EQ(ini.Bytes(), QByteArray("[Connection]\r\nTcpPort=4001\r\n"));
}

TEST(MemIniFile, AValueWithALineBreakCannotAddLinesToTheFile) {
  TMemIniFile ini;
  ini.WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("host\r\n[Evil]\r\nx=1"));
  EXPECT_EQ(ini.Bytes(), "[S]\r\nk=host\r\n");
  EXPECT_FALSE(ini.SectionExists(QStringLiteral("Evil")));
}

TEST(MemIniFile, FilesAreReadWholeAndWrittenThroughARename) {
  TTempExeDir dir;
  const QByteArray content = "[General]\r\nCommsLoggingFile=C:\\vNQ3752.log\r\nodd line\r\n";
  TMemIniFile ini(dir.Write(QStringLiteral("v.ini"), content));
  EXPECT_TRUE(ini.LoadError().isEmpty());
  ini.WriteInteger(QStringLiteral("Connection"), QStringLiteral("TcpPort"), 1);
  ASSERT_TRUE(ini.UpdateFile()) << ini.LastError().toStdString();
  EXPECT_EQ(dir.Read(QStringLiteral("v.ini")), content + "\r\n[Connection]\r\nTcpPort=1\r\n");
  EXPECT_EQ(QDir(dir.Dir()).entryList(QDir::Files), QStringList{"v.ini"}) << "no temporary file left";

  TMemIniFile missing(dir.Path(QStringLiteral("none.ini")));
  EXPECT_TRUE(missing.LoadError().isEmpty());
  EXPECT_TRUE(missing.Bytes().isEmpty());
}

TEST(MemIniFile, AFileThatCannotBeReadOrWrittenSaysWhy) {
  TTempExeDir dir;
  ASSERT_TRUE(QDir(dir.Dir()).mkdir(QStringLiteral("folder.ini")));
  TMemIniFile unreadable(dir.Path(QStringLiteral("folder.ini")));
  EXPECT_FALSE(unreadable.LoadError().isEmpty());
  EXPECT_FALSE(unreadable.UpdateFile());
  EXPECT_FALSE(unreadable.LastError().isEmpty());
  EXPECT_TRUE(QFileInfo(dir.Path(QStringLiteral("folder.ini"))).isDir());

  TMemIniFile inMissingFolder(dir.Path(QStringLiteral("gone/v.ini")));
  EXPECT_FALSE(inMissingFolder.UpdateFile());
  EXPECT_FALSE(inMissingFolder.LastError().isEmpty());

  EXPECT_FALSE(TMemIniFile().UpdateFile());
}
