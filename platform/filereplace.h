#pragma once
// Replaces a file's whole content the way a technician's files must be treated:
// through a temporary file and a rename, so a failed write leaves the old file,
// while the file keeps its owner, its mode and its links. A run with sudo gives a
// user's file back to the user; a symbolic link stays a link and its target is
// written; a file with other hard links, one in a folder we may not write, or one
// that belongs to someone else whom we could not give it back to, is written in
// place instead.
#include <QByteArray>
#include <QString>

// True when written; otherwise error says why.
bool ReplaceFileContent(const QString& fileName, const QByteArray& bytes, QString& error);
