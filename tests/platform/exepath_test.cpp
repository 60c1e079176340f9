#include "platform/exepath.h"

#include <QDir>
#include <gtest/gtest.h>

#include "tests/support/scoped_env.h"
#include "tests/support/temp_exe_dir.h"

TEST(ChangeFileExt, ReplacesOrAppendsTheExtensionOfTheFilePart) {
  struct Case {
    const char* file;
    const char* ext;
    const char* want;
  } cases[] = {
      {"/opt/v/W830_830", "lcd.VB2", "/opt/v/W830_830lcd.VB2"},
      {"/opt/v/W830_830", ".ini", "/opt/v/W830_830.ini"},
      {"/opt/v/viewer.exe", ".ini", "/opt/v/viewer.ini"},
      {"/opt/v.d/W840Viewer", ".chm", "/opt/v.d/W840Viewer.chm"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ChangeFileExt(QString::fromLatin1(c.file), QString::fromLatin1(c.ext)).toStdString(), c.want)
        << c.file;
}

TEST(ResolveStoredPath, ADriveLetterPathNamesAFileBesideTheProgram) {
  TTempExeDir exe;
  EXPECT_EQ(ResolveStoredPath(QStringLiteral("C:\\vNQ3752.log")), exe.Path(QStringLiteral("vNQ3752.log")));
  EXPECT_EQ(ResolveStoredPath(QStringLiteral("panel.BMP")), exe.Path(QStringLiteral("panel.BMP")));
  EXPECT_EQ(ResolveStoredPath(QStringLiteral("/var/log/x.log")), QStringLiteral("/var/log/x.log"));
}

namespace {

// A program laid out as the package installs it: prefix/bin/<program> and its
// default ini in prefix/share/<package>/.
void LayOutInstalled(const TTempExeDir& root, const QString& program) {
  ASSERT_TRUE(QDir(root.Dir()).mkpath(QStringLiteral("usr/bin")));
  ASSERT_TRUE(QDir(root.Dir()).mkpath(QStringLiteral("usr/share/") + PackageName()));
  root.Write(QStringLiteral("usr/share/") + PackageName() + QLatin1Char('/') + program + QStringLiteral(".ini"),
             "[General]\r\n");
  SetExecutableFileNameForTests(root.Path(QStringLiteral("usr/bin/") + program));
}

}  // namespace

TEST(FileLayout, AnInstalledProgramReadsFromItsShareFolderAndKeepsTheIniInTheUsersConfigFolder) {
  TTempExeDir root;
  LayOutInstalled(root, QStringLiteral("W840Viewer"));
  const QString share = root.Path(QStringLiteral("usr/share/")) + PackageName() + QLatin1Char('/');
  const QString ini = PackageName() + QStringLiteral("/W840Viewer.ini");
  {
    TScopedEnv config("XDG_CONFIG_HOME", root.Path(QStringLiteral("config")).toLocal8Bit());
    EXPECT_TRUE(IsInstalledProgram());
    EXPECT_EQ(SideFileDir(), share);
    EXPECT_EQ(ProgramSideFile(QStringLiteral("lcd.VB2")), share + QStringLiteral("W840Viewerlcd.VB2"));
    EXPECT_EQ(DefaultIniFileName(), share + QStringLiteral("W840Viewer.ini"));
    EXPECT_EQ(IniFileName(), root.Path(QStringLiteral("config/")) + ini);
    EXPECT_EQ(ResolveStoredPath(QStringLiteral("C:\\W840Viewer.log")),
              root.Path(QStringLiteral("config/")) + PackageName() + QStringLiteral("/W840Viewer.log"));
  }
  {
    TScopedEnv config("XDG_CONFIG_HOME", QByteArray());
    TScopedEnv home("HOME", root.Path(QStringLiteral("home")).toLocal8Bit());
    EXPECT_EQ(IniFileName(), root.Path(QStringLiteral("home/.config/")) + ini);
  }
  {
    TScopedEnv relative("XDG_CONFIG_HOME", "not/absolute");
    TScopedEnv home("HOME", root.Path(QStringLiteral("home")).toLocal8Bit());
    EXPECT_EQ(IniFileName(), root.Path(QStringLiteral("home/.config/")) + ini) << "a relative folder is ignored";
  }
}

TEST(FileLayout, AnIniBesideTheProgramOrNoShareFolderMakesAPortableCopy) {
  TTempExeDir root;
  LayOutInstalled(root, QStringLiteral("W830_830"));
  root.Write(QStringLiteral("usr/bin/W830_830.ini"), "");
  EXPECT_FALSE(IsInstalledProgram());
  EXPECT_EQ(SideFileDir(), root.Path(QStringLiteral("usr/bin/")));
  EXPECT_EQ(IniFileName(), root.Path(QStringLiteral("usr/bin/W830_830.ini")));
  EXPECT_TRUE(DefaultIniFileName().isEmpty());

  TTempExeDir build;
  EXPECT_FALSE(IsInstalledProgram());
  EXPECT_EQ(SideFileDir(), build.Dir());
  EXPECT_EQ(IniFileName(), build.Path(QStringLiteral("W830_830.ini")));
}
