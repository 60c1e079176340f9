#pragma once
// The texts of the edits every page shares: settings travel as Latin-1, and a
// refused value or host name is told in the same words wherever it was typed.
#include <QString>
#include <string>

inline std::string Latin1(const QString& s) { return s.toLatin1().toStdString(); }
inline QString FromLatin1(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// "Out of Range: (min to max)", both written with decimals and the decimal character c.
QString OutOfRangeText(int min, int max, int decimals, QChar c);
// Why a host name cannot be used; empty when it can.
QString HostNameError(const QString& hostName);
