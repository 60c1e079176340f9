#include "components/CEVersionInfo.h"

#include <QCoreApplication>
#include <QTemporaryFile>
#include <gtest/gtest.h>

TEST(VersionInfo, ReadsTheBlockTheBuildPutIntoTheProgram) {
  TCEVersionInfo info;
  info.GetInfo(QCoreApplication::applicationFilePath());
  EXPECT_EQ(info.CompanyName, "Velmacor");
  EXPECT_EQ(info.FileDescription, "Component tests");
  EXPECT_EQ(info.ProductName, "Velmacor Test");
  EXPECT_EQ(info.FileVersion, "1.0.0.0");
  EXPECT_EQ(info.Internalname, "test_components");
  EXPECT_EQ(info.LegalTradeMarks, "");
  EXPECT_EQ(info.MajorVersion, "1");
  EXPECT_EQ(info.Build, "0");
}

TEST(VersionInfo, AFileWithoutABlockHasNoInfo) {
  QTemporaryFile notElf;
  ASSERT_TRUE(notElf.open());
  notElf.write("\x7f" "ELF but short");
  notElf.close();
  for (const QString& file : {notElf.fileName(), QStringLiteral("/nonexistent/program")}) {
    TCEVersionInfo info;
    info.GetInfo(file);
    EXPECT_EQ(info.CompanyName, "<info not available>");
    EXPECT_EQ(info.Build, "<info not available>");
  }
}

TEST(VersionInfo, SplitsTheFileVersionAtItsSeparator) {
  const struct {
    const char* version;
    const char *major, *minor, *release, *build;
  } cases[] = {
      {"1.3.3.0", "1", "3", "3", "0"},
      {"1, 3, 3, 0", "1", " 3", " 3", " 0"},
      {"1.3", "1", "", "", "3"},
      {"7", "<info not available>", "<info not available>", "<info not available>", "<info not available>"},
      {"", "<info not available>", "<info not available>", "<info not available>", "<info not available>"},
  };
  for (const auto& c : cases) {
    QString major, minor, release, build;
    SplitFileVersion(QString::fromLatin1(c.version), major, minor, release, build);
    EXPECT_EQ(major, c.major) << c.version;
    EXPECT_EQ(minor, c.minor) << c.version;
    EXPECT_EQ(release, c.release) << c.version;
    EXPECT_EQ(build, c.build) << c.version;
  }
}
