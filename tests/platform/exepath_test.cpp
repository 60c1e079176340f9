#include "platform/exepath.h"

#include <gtest/gtest.h>

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
