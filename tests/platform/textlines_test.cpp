// Text files of lines: any line end is read, CR LF is written, and every other byte
// stays as it was.
#include "platform/textlines.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>


namespace {

using Lines = std::vector<std::string>;

struct TSplitCase {
  const char* name;
  std::string bytes;
  Lines lines;
};

void PrintTo(const TSplitCase& c, std::ostream* os) { *os << c.name; }

class SplitTextLinesTest : public ::testing::TestWithParam<TSplitCase> {};

TEST_P(SplitTextLinesTest, EveryLineEndEndsALine) { EXPECT_EQ(SplitTextLines(GetParam().bytes), GetParam().lines); }

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTextLinesTest,
    ::testing::Values(TSplitCase{"Empty", "", {}}, TSplitCase{"CrLf", "ADR5\r\nENU2\r\n", {"ADR5", "ENU2"}},
                      TSplitCase{"Lf", "ADR5\nENU2\n", {"ADR5", "ENU2"}},
                      TSplitCase{"Cr", "ADR5\rENU2\r", {"ADR5", "ENU2"}},
                      TSplitCase{"NoLastEnd", "ADR5\r\nENU2", {"ADR5", "ENU2"}},
                      TSplitCase{"EmptyLinesKept", "\r\n\nADR5\r\r\n", {"", "", "ADR5", ""}},
                      TSplitCase{"LfCrIsTwoEnds", "A\n\rB", {"A", "", "B"}},
                      TSplitCase{"Utf8MarkFirstIsSkipped", "\xEF\xBB\xBF" "ADR5\r\n", {"ADR5"}},
                      TSplitCase{"Utf8MarkLaterIsText", "ADR5\r\n\xEF\xBB\xBF", {"ADR5", "\xEF\xBB\xBF"}},
                      TSplitCase{"Latin1AndNulKept", std::string("IDN\"caf\xe9\0\"\n", 11),
                                 {std::string("IDN\"caf\xe9\0\"", 10)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextLines, WritesCrLfAndReadsTheSameBytesBack) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("scale.vis"));
  const Lines lines = {"IDN\"caf\xe9\"", "", "ADR5"};
  WriteTextLines(path, lines);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("IDN\"caf\xe9\"\r\n\r\nADR5\r\n"));
  EXPECT_EQ(ReadTextLines(path), lines);
}

TEST(TextLines, AMissingFileIsReportedByNameAndReason) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("none.vis"));
  try {
    ReadTextLines(path);
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(QString::fromLatin1(error.what()),
              QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(path));
  }
}

}  // namespace
