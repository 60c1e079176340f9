#pragma once
// Makes a file in a user's own folders, as a copy of a shipped one. Missing
// folders are made. A run as the super-user (sudo keeps a user's home on some
// systems) gives what it made to the owner of the folder it was made in, so that
// the user's own later runs can still write it.
#include <QString>

// True when made; otherwise error says why. An existing file is left alone (false).
bool CopyNewUserFile(const QString& source, const QString& fileName, QString& error);
