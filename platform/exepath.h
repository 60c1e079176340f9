#pragma once
// Where the programs' files live. A portable copy (the build folder, or any folder
// with an ini beside the program) keeps everything beside the executable: ini,
// panel pictures, maps and help. An installed program (in a bin folder whose
// share/<package> folder holds the program's default ini, as the Debian package
// lays it out) reads its pictures, maps, default ini and help from there and keeps
// each user's ini in the user's configuration folder. Tests point the executable's
// path at a temporary folder.
#include <QString>

// Full path of the running program (or of the path set for tests).
QString ExecutableFileName();
// Overrides ExecutableFileName; an empty text goes back to the real program path.
void SetExecutableFileNameForTests(const QString& fileName);

// The folder of ExecutableFileName, with a trailing '/'.
QString ExecutableDir();

// The Debian package's name, which names the program's share and configuration folders.
QString PackageName();
// True for an installed program, false for a portable copy.
bool IsInstalledProgram();
// The folder of the pictures, maps, default ini and help, with a trailing '/'.
QString SideFileDir();
// A side file of the program: SideFileDir, the program's name and ext
// ("lcd.VB2" gives ".../W830_830lcd.VB2").
QString ProgramSideFile(const QString& ext);
// The ini the program reads and writes: beside a portable copy, or
// $XDG_CONFIG_HOME/<package>/ (else ~/.config/<package>/) for an installed one.
QString IniFileName();
// The default ini shipped with an installed program, empty for a portable copy.
QString DefaultIniFileName();
// The folder of IniFileName, with a trailing '/': where a user's own files go.
QString UserFileDir();

// Replaces the extension of the file part (from its last '.', the dot included) by
// ext, or appends ext when the file part has none: "/a/W830_830" + "lcd.VB2" gives
// "/a/W830_830lcd.VB2", "/a/x.exe" + ".ini" gives "/a/x.ini".
QString ChangeFileExt(const QString& fileName, const QString& ext);

// A stored path as the programs use it: a Windows path with a drive letter
// ("C:\vNQ3752.log") names that file in the user's folder (UserFileDir);
// backslashes elsewhere become '/'; a relative path is taken from that folder.
QString ResolveStoredPath(const QString& stored);
