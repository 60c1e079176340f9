#pragma once
// The traffic log: an optional text file recording, with millisecond local time
// stamps, every command sent, every reply received and the connection events.
// Safe to call from the GUI thread and the poll thread at once: each line is
// written whole. A write error closes the log and is reported once on the GUI thread.
#include <QString>
#include <string>
#include <string_view>

// Opens the log on the stored file name (see ResolveStoredPath), appending to the
// file or creating it; does nothing when the log is already open. While open, no
// other program that respects file locks (another viewer) can log into it. A file
// that cannot be opened, or that another program is logging into, is reported and
// the log stays closed. GUI thread only.
void CommsLoggingInit(const QString& fileName);
// Writes the closing line and closes the log, when it is open.
void CommsLoggingDestroy();
bool CommsLoggingActive();

// One line "yyyy-mm-dd hh:mm:ss.zzz: message", when the log is open.
void CommsLog(std::string_view message);
// One traffic line "<tag> in: <data>" or "<tag> out: <data>", data escaped.
void CommsLogData(std::string_view tag, bool isIn, std::string_view data);

// Every byte below 32 or above 126 as \xHH (upper-case hexadecimal).
std::string EscapeNonPrintable(std::string_view data);
