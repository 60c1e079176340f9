// Settings and log files as the indicator's people keep them: any line end is read,
// CR LF is written, bytes stay Latin-1, and a failed write keeps the old file.
#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/support/unprivileged.h"

namespace {

using Lines = std::vector<std::string>;

struct TSplitCase {
  const char* name;
  std::string bytes;
  Lines lines;
};

void PrintTo(const TSplitCase& c, std::ostream* os) { *os << c.name; }

class SplitLinesTest : public ::testing::TestWithParam<TSplitCase> {};

TEST_P(SplitLinesTest, EveryLineEndEndsALine) { EXPECT_EQ(SplitLines(GetParam().bytes), GetParam().lines); }

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitLinesTest,
    ::testing::Values(TSplitCase{"Empty", "", {}}, TSplitCase{"CrLf", "ADR5\r\nENU2\r\n", {"ADR5", "ENU2"}},
                      TSplitCase{"Lf", "ADR5\nENU2\n", {"ADR5", "ENU2"}},
                      TSplitCase{"Cr", "ADR5\rENU2\r", {"ADR5", "ENU2"}},
                      TSplitCase{"NoLastEnd", "ADR5\r\nENU2", {"ADR5", "ENU2"}},
                      TSplitCase{"EmptyLinesKept", "\r\n\nADR5\r\r\n", {"", "", "ADR5", ""}},
                      TSplitCase{"LfCrIsTwoEnds", "A\n\rB", {"A", "", "B"}},
                      TSplitCase{"Latin1AndNulKept", std::string("IDN\"caf\xe9\0\"\n", 11),
                                 {std::string("IDN\"caf\xe9\0\"", 10)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextFile, WritesCrLfAndReadsTheSameBytesBack) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("scale.vis"));
  const Lines lines = {"IDN\"caf\xe9\"", "", "ADR5"};
  WriteTextLines(path, lines);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("IDN\"caf\xe9\"\r\n\r\nADR5\r\n"));
  EXPECT_EQ(ReadTextLines(path), lines);
}

TEST(TextFile, AMissingFileIsReportedByNameAndReason) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("none.vis"));
  try {
    ReadTextLines(path);
    FAIL() << "no error";
  } catch (const ETextFileError& error) {
    EXPECT_EQ(QString::fromLatin1(error.what()),
              QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(path));
  }
}

TEST(TextFile, AReadOnlyFolderIsReportedAndTheOldFileKept) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("scale.vis"));
  WriteTextLines(path, {"ADR5"});
  const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
  QFile::setPermissions(dir.path(), readOnly);
  QString message;
  {
    TUnprivileged user;
    ASSERT_TRUE(user.Active());
    try {
      WriteTextLines(path, {"ADR6", "ENU2"});
    } catch (const ETextFileError& error) {
      message = QString::fromLatin1(error.what());
    }
  }
  QFile::setPermissions(dir.path(), readOnly | QFile::WriteOwner);
  EXPECT_EQ(message, QStringLiteral("Cannot create file \"%1\". Permission denied").arg(path));
  EXPECT_EQ(ReadTextLines(path), Lines{"ADR5"});
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("scale.vis")});
}

}  // namespace
