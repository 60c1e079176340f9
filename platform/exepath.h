#pragma once
// The programs find their ini file, panel pictures and maps beside the executable.
// Tests point this at a temporary folder instead of the test binary's own.
#include <QString>

// Full path of the running program (or of the path set for tests).
QString ExecutableFileName();
// Overrides ExecutableFileName; an empty text goes back to the real program path.
void SetExecutableFileNameForTests(const QString& fileName);

// The folder of ExecutableFileName, with a trailing '/'.
QString ExecutableDir();

// Replaces the extension of the file part (from its last '.', the dot included) by
// ext, or appends ext when the file part has none: "/a/W830_830" + "lcd.VB2" gives
// "/a/W830_830lcd.VB2", "/a/x.exe" + ".ini" gives "/a/x.ini".
QString ChangeFileExt(const QString& fileName, const QString& ext);

// A stored path as the programs use it: a Windows path with a drive letter
// ("C:\vNQ3752.log") names that file in the executable's folder; backslashes
// elsewhere become '/'; a relative path is taken from the executable's folder.
QString ResolveStoredPath(const QString& stored);
